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

// One loop per operation; the compiler turns it into saturating byte arithmetic 16 bytes at a time.
template <int (*Op)(int, int)> void* LevelRow(void* dst, const void* src, const int k, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const int k8 = k & 0xFF;
    for (unsigned i = 0; i < count; ++i)
        d[i] = static_cast<Byte>(Op(s[i], k8));
    return dst;
}

// The ramp is beyond the vectoriser (it widens every byte to 32 bits), so it is written out:
// v = s +sat k, t = v -sat 240 (0..15), and 17 t = t + (t << 4), which stays inside each byte of
// a 16-bit lane because t < 16. The rest of the row takes the plain rule.
void* ExtractRow(void* dst, const void* src, const int k, unsigned count)
{
    unsigned i = 0;
#if defined(__SSE2__)
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const __m128i level = _mm_set1_epi8(static_cast<char>(k & 0xFF));
    const __m128i base = _mm_set1_epi8(static_cast<char>(240));
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_adds_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), level);
        const __m128i t = _mm_subs_epu8(v, base);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_add_epi8(t, _mm_slli_epi16(t, 4)));
    }
#endif
    LevelRow<Extract>(static_cast<Byte*>(dst) + i, static_cast<const Byte*>(src) + i, k, count - i);
    return dst;
}

}  // namespace

void* RGBExtractAlpha(void* d, const void* s, const int k, unsigned n) { return ExtractRow(d, s, k, n); }
void* RGBSAddAlpha(void* d, const void* s, const int k, unsigned n) { return LevelRow<SAdd>(d, s, k, n); }
void* RGBSSubAlpha(void* d, const void* s, const int k, unsigned n) { return LevelRow<SSub>(d, s, k, n); }
void* RGBExtractAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return ExtractRow(d, s, k, n); }
void* RGBSAddAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return LevelRow<SAdd>(d, s, k, n); }
void* RGBSSubAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return LevelRow<SSub>(d, s, k, n); }
