// Level row kernels on 8-bit alpha rows (saturating add and subtract, extraction ramp).
#include "graphics/kernels/AlphaLevelKernels.h"

#include <algorithm>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

inline int SAdd(int s, int k) { return std::min(s + k, 255); }
inline int SSub(int s, int k) { return std::max(s - k, 0); }
inline int Extract(int s, int k)
{
    const int v = SAdd(s, k);
    return v >= 240 ? 17 * (v - 240) : 0;
}

// The plain rule, byte by byte.
template <int (*Op)(int, int)> void* LevelRow(void* dst, const void* src, const int k, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const int k8 = k & 0xFF;
    for (unsigned i = 0; i < count; ++i)
        d[i] = static_cast<Byte>(Op(s[i], k8));
    return dst;
}

#if defined(__SSE2__)
// The same on 16 bytes in unsigned saturating byte arithmetic, which the vectoriser does not find
// for these rules (it widens every byte to 32 bits). For the ramp, t = v -sat 240 is 0..15, and
// 17 t = t + (t << 4) stays inside each byte of a 16-bit lane.
inline __m128i SAdd16(__m128i s, __m128i k) { return _mm_adds_epu8(s, k); }
inline __m128i SSub16(__m128i s, __m128i k) { return _mm_subs_epu8(s, k); }
inline __m128i Extract16(__m128i s, __m128i k)
{
    const __m128i t = _mm_subs_epu8(_mm_adds_epu8(s, k), _mm_set1_epi8(static_cast<char>(240)));
    return _mm_add_epi8(t, _mm_slli_epi16(t, 4));
}

// 16 bytes at a time, the rest of the row by the plain rule.
template <int (*Op)(int, int), __m128i (*Op16)(__m128i, __m128i)>
void* LevelRowFast(void* dst, const void* src, const int k, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const __m128i k16 = _mm_set1_epi8(static_cast<char>(k & 0xFF));
    unsigned i = 0;
    for (; i + 16 <= count; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         Op16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), k16));
    LevelRow<Op>(d + i, s + i, k, count - i);
    return dst;
}

void* SAddRow(void* d, const void* s, const int k, unsigned n) { return LevelRowFast<SAdd, SAdd16>(d, s, k, n); }
void* SSubRow(void* d, const void* s, const int k, unsigned n) { return LevelRowFast<SSub, SSub16>(d, s, k, n); }
void* ExtractRow(void* d, const void* s, const int k, unsigned n) { return LevelRowFast<Extract, Extract16>(d, s, k, n); }
#else
void* SAddRow(void* d, const void* s, const int k, unsigned n) { return LevelRow<SAdd>(d, s, k, n); }
void* SSubRow(void* d, const void* s, const int k, unsigned n) { return LevelRow<SSub>(d, s, k, n); }
void* ExtractRow(void* d, const void* s, const int k, unsigned n) { return LevelRow<Extract>(d, s, k, n); }
#endif

}  // namespace

void* RGBExtractAlpha(void* d, const void* s, const int k, unsigned n) { return ExtractRow(d, s, k, n); }
void* RGBSAddAlpha(void* d, const void* s, const int k, unsigned n) { return SAddRow(d, s, k, n); }
void* RGBSSubAlpha(void* d, const void* s, const int k, unsigned n) { return SSubRow(d, s, k, n); }
void* RGBExtractAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return ExtractRow(d, s, k, n); }
void* RGBSAddAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return SAddRow(d, s, k, n); }
void* RGBSSubAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return SSubRow(d, s, k, n); }
