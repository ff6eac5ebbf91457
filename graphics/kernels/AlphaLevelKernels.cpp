// Level row kernels on 8-bit alpha rows (saturating add and subtract, extraction ramp).
#include "graphics/kernels/AlphaLevelKernels.h"

#include <algorithm>
#include <cstdint>

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

}  // namespace

void* RGBExtractAlpha(void* d, const void* s, const int k, unsigned n) { return LevelRow<Extract>(d, s, k, n); }
void* RGBSAddAlpha(void* d, const void* s, const int k, unsigned n) { return LevelRow<SAdd>(d, s, k, n); }
void* RGBSSubAlpha(void* d, const void* s, const int k, unsigned n) { return LevelRow<SSub>(d, s, k, n); }
void* RGBExtractAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return LevelRow<Extract>(d, s, k, n); }
void* RGBSAddAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return LevelRow<SAdd>(d, s, k, n); }
void* RGBSSubAlpha_MMX(void* d, const void* s, const int k, unsigned n) { return LevelRow<SSub>(d, s, k, n); }
