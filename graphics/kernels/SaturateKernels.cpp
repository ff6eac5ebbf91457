// Saturating add and subtract row kernels (RGBAdd, RGBSub), plain and MMX forms, and their tables.
#include "graphics/kernels/SaturateKernels.h"

#include "graphics/kernels/VectorLoops.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

enum class TOp { Add, Sub };

template <TOp Op, typename T> inline T SaturateChannel(T d, T s, int maximum)
{
    if constexpr (Op == TOp::Add)
        return static_cast<T>(std::min<int>(d + s, maximum));
    else
        return static_cast<T>(std::max<int>(d - s, 0));
}

template <int Shift, int Bits, TOp Op> inline std::uint16_t SaturateField(std::uint16_t d, std::uint16_t s)
{
    constexpr int mask = (1 << Bits) - 1;
    const auto cd = static_cast<std::int16_t>((d >> Shift) & mask);
    const auto cs = static_cast<std::int16_t>((s >> Shift) & mask);
    return static_cast<std::uint16_t>(SaturateChannel<Op>(cd, cs, mask) << Shift);
}

// Red, green and blue held at their maximum or at 0; the fourth field wraps when adding (the carry
// out of bit 15 is dropped) and is written 0 when subtracting. Written for the vectoriser.
template <TPixFormat F, TOp Op> XE_VECTOR_BODY void Saturate16Row(Byte* d, const Byte* s, unsigned count)
{
    constexpr TLayout16 L = Layout16Of<F>();
    constexpr auto xMask = static_cast<std::uint16_t>(((1u << L.xBits) - 1) << L.xShift);
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t x, y;
        std::memcpy(&x, d + 2 * i, 2);
        std::memcpy(&y, s + 2 * i, 2);
        auto r = static_cast<std::uint16_t>(SaturateField<L.rShift, L.rBits, Op>(x, y) |
                                            SaturateField<L.gShift, L.gBits, Op>(x, y) |
                                            SaturateField<L.bShift, L.bBits, Op>(x, y));
        if constexpr (Op == TOp::Add && L.xBits != 0)
            r = static_cast<std::uint16_t>(r | (((x & xMask) + (y & xMask)) & xMask));
        std::memcpy(d + 2 * i, &r, 2);
    }
}

template <TOp Op> void SaturateBytes(Byte* d, const Byte* s, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        d[i] = static_cast<Byte>(SaturateChannel<Op, int>(d[i], s[i], 255));
}

// Unsigned saturating byte arithmetic, 16 bytes per step; the rest through the plain form.
template <TOp Op> void SaturateBytesFast(Byte* d, const Byte* s, std::size_t n)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i r = Op == TOp::Add ? _mm_adds_epu8(vd, vs) : _mm_subs_epu8(vd, vs);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), r);
    }
#endif
    SaturateBytes<Op>(d + i, s + i, n - i);
}

template <TPixFormat F, TOp Op> void* SaturateRow(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    if constexpr (PixFormatBytes(F) == 2) {
        XeVectorRun<&Saturate16Row<F, Op>>(d, s, count);
    } else {
        SaturateBytes<Op>(d, s, std::size_t{count} * PixFormatBytes(F));
    }
    return dst;
}

template <TPixFormat F, TOp Op> void* SaturateRowFast(void* dst, const void* src, unsigned count)
{
    static_assert(PixFormatBytes(F) >= 3, "16-bit formats saturate with the plain kernel");
    SaturateBytesFast<Op>(static_cast<Byte*>(dst), static_cast<const Byte*>(src), std::size_t{count} * PixFormatBytes(F));
    return dst;
}

}  // namespace

template <TPixFormat F> void* RGBAdd(void* dst, const void* src, unsigned count)
{
    return SaturateRow<F, TOp::Add>(dst, src, count);
}

template <TPixFormat F> void* RGBAdd_MMX(void* dst, const void* src, unsigned count)
{
    return SaturateRowFast<F, TOp::Add>(dst, src, count);
}

template <TPixFormat F> void* RGBSub(void* dst, const void* src, unsigned count)
{
    return SaturateRow<F, TOp::Sub>(dst, src, count);
}

template <TPixFormat F> void* RGBSub_MMX(void* dst, const void* src, unsigned count)
{
    return SaturateRowFast<F, TOp::Sub>(dst, src, count);
}

#define XE_SATURATE_KERNELS(F)                                         \
    template void* RGBAdd<F>(void*, const void*, unsigned);            \
    template void* RGBSub<F>(void*, const void*, unsigned);
XE_SATURATE_KERNELS(pf16_565)
XE_SATURATE_KERNELS(pf16_555)
XE_SATURATE_KERNELS(pf16_5551)
XE_SATURATE_KERNELS(pf16_4444)
XE_SATURATE_KERNELS(pf24_888)
XE_SATURATE_KERNELS(pf32_888)
XE_SATURATE_KERNELS(pf32_8888)
#undef XE_SATURATE_KERNELS
#define XE_SATURATE_KERNELS_MMX(F)                                     \
    template void* RGBAdd_MMX<F>(void*, const void*, unsigned);        \
    template void* RGBSub_MMX<F>(void*, const void*, unsigned);
XE_SATURATE_KERNELS_MMX(pf24_888)
XE_SATURATE_KERNELS_MMX(pf32_888)
XE_SATURATE_KERNELS_MMX(pf32_8888)
#undef XE_SATURATE_KERNELS_MMX

const TPixFormatTable<TSaturateRow> RGBAddTable = {
    nullptr, &RGBAdd<pf16_565>, &RGBAdd<pf16_555>, &RGBAdd<pf16_5551>, &RGBAdd<pf16_4444>,
    &RGBAdd<pf24_888>, &RGBAdd<pf32_888>, &RGBAdd<pf32_8888>};
const TPixFormatTable<TSaturateRow> RGBAddTableMMX = {
    nullptr, &RGBAdd<pf16_565>, &RGBAdd<pf16_555>, &RGBAdd<pf16_5551>, &RGBAdd<pf16_4444>,
    &RGBAdd_MMX<pf24_888>, &RGBAdd_MMX<pf32_888>, &RGBAdd_MMX<pf32_8888>};
const TPixFormatTable<TSaturateRow> RGBSubTable = {
    nullptr, &RGBSub<pf16_565>, &RGBSub<pf16_555>, &RGBSub<pf16_5551>, &RGBSub<pf16_4444>,
    &RGBSub<pf24_888>, &RGBSub<pf32_888>, &RGBSub<pf32_8888>};
const TPixFormatTable<TSaturateRow> RGBSubTableMMX = {
    nullptr, &RGBSub<pf16_565>, &RGBSub<pf16_555>, &RGBSub<pf16_5551>, &RGBSub<pf16_4444>,
    &RGBSub_MMX<pf24_888>, &RGBSub_MMX<pf32_888>, &RGBSub_MMX<pf32_8888>};
