// Constant-level blend row kernels (RGBAlpha, RGBHalf), plain and MMX forms, and their tables.
#include "graphics/BlendKernels.h"

#include "graphics/BlendLevel.h"

#include <cstddef>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

// a + floor((b - a) x level / 128); the result lies between a and b.
inline int BlendChannel(int a, int b, int level)
{
    return a + (((b - a) * level) >> 7);
}

template <TPixFormat F> inline std::uint32_t Blend16(std::uint32_t a, std::uint32_t b, int level)
{
    constexpr TLayout16 L = Layout16Of<F>();
    const auto channel = [=](int shift, int bits) {
        const int mask = (1 << bits) - 1;
        const int ca = static_cast<int>(a >> shift) & mask;
        const int cb = static_cast<int>(b >> shift) & mask;
        return static_cast<std::uint32_t>(BlendChannel(ca, cb, level)) << shift;
    };
    return channel(L.rShift, L.rBits) | channel(L.gShift, L.gBits) | channel(L.bShift, L.bBits);
}

template <TPixFormat F> constexpr std::uint32_t HalfMask16()
{
    if constexpr (F == pf16_565)
        return 0xF7DE;
    else if constexpr (F == pf16_4444)
        return 0xEEEE;
    else
        return 0x7BDE;
}

void BlendBytes(Byte* d, const Byte* a, const Byte* b, std::size_t n, int level)
{
    for (std::size_t i = 0; i < n; ++i)
        d[i] = static_cast<Byte>(BlendChannel(a[i], b[i], level));
}

void HalfBytes(Byte* d, const Byte* a, const Byte* b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        d[i] = static_cast<Byte>((a[i] + b[i]) >> 1);
}

// 16 bytes per step in 16-bit lanes: the difference times the level fits in 16 bits signed and the
// arithmetic shift floors it as the plain form does; the rest of the row goes through the plain form.
void BlendBytesFast(Byte* d, const Byte* a, const Byte* b, std::size_t n, int level)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i lv = _mm_set1_epi16(static_cast<short>(level));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i alo = _mm_unpacklo_epi8(va, zero);
        const __m128i ahi = _mm_unpackhi_epi8(va, zero);
        const __m128i dlo = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(vb, zero), alo), lv);
        const __m128i dhi = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(vb, zero), ahi), lv);
        const __m128i rlo = _mm_add_epi16(alo, _mm_srai_epi16(dlo, 7));
        const __m128i rhi = _mm_add_epi16(ahi, _mm_srai_epi16(dhi, 7));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(rlo, rhi));
    }
#endif
    BlendBytes(d + i, a + i, b + i, n - i, level);
}

// avg_epu8 rounds up; taking back the low bit of a ^ b makes it floor.
void HalfBytesFast(Byte* d, const Byte* a, const Byte* b, std::size_t n)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i one = _mm_set1_epi8(1);
    for (; i + 16 <= n; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i odd = _mm_and_si128(_mm_xor_si128(va, vb), one);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_sub_epi8(_mm_avg_epu8(va, vb), odd));
    }
#endif
    HalfBytes(d + i, a + i, b + i, n - i);
}

template <TPixFormat F> std::size_t RowBytes(unsigned count)
{
    return std::size_t{count} * PixFormatBytes(F);
}

}  // namespace

template <TPixFormat F> void* RGBAlpha(void* dst, const void* a, const void* b, unsigned count)
{
    const int level = AlphaParam();
    auto* d = static_cast<Byte*>(dst);
    const auto* pa = static_cast<const Byte*>(a);
    const auto* pb = static_cast<const Byte*>(b);
    if constexpr (PixFormatBytes(F) == 2) {
        for (unsigned i = 0; i < count; ++i)
            StorePixel<F>(d + 2 * i, Blend16<F>(LoadPixel<F>(pa + 2 * i), LoadPixel<F>(pb + 2 * i), level));
    } else {
        BlendBytes(d, pa, pb, RowBytes<F>(count), level);
    }
    return dst;
}

template <TPixFormat F> void* RGBAlpha_MMX(void* dst, const void* a, const void* b, unsigned count)
{
    static_assert(PixFormatBytes(F) >= 3, "16-bit formats blend with the plain kernel");
    BlendBytesFast(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b),
                   RowBytes<F>(count), AlphaParam());
    return dst;
}

template <TPixFormat F> void* RGBHalf(void* dst, const void* a, const void* b, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* pa = static_cast<const Byte*>(a);
    const auto* pb = static_cast<const Byte*>(b);
    if constexpr (PixFormatBytes(F) == 2) {
        constexpr std::uint32_t mask = HalfMask16<F>();
        for (unsigned i = 0; i < count; ++i) {
            const std::uint32_t x = LoadPixel<F>(pa + 2 * i);
            const std::uint32_t y = LoadPixel<F>(pb + 2 * i);
            StorePixel<F>(d + 2 * i, (((x ^ y) & mask) >> 1) + (x & y));
        }
    } else {
        HalfBytes(d, pa, pb, RowBytes<F>(count));
    }
    return dst;
}

template <TPixFormat F> void* RGBHalf_MMX(void* dst, const void* a, const void* b, unsigned count)
{
    static_assert(PixFormatBytes(F) >= 3, "16-bit formats average with the plain kernel");
    HalfBytesFast(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b),
                  RowBytes<F>(count));
    return dst;
}

void* RGBAlpha8(void* dst, const void* a, const void* b, unsigned count)
{
    BlendBytes(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b), count,
               AlphaParam());
    return dst;
}

void* RGBAlpha8_MMX(void* dst, const void* a, const void* b, unsigned count)
{
    BlendBytesFast(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b), count,
                   AlphaParam());
    return dst;
}

void* RGBHalf8(void* dst, const void* a, const void* b, unsigned count)
{
    HalfBytes(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b), count);
    return dst;
}

void* RGBHalf8_MMX(void* dst, const void* a, const void* b, unsigned count)
{
    HalfBytesFast(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b), count);
    return dst;
}

template void* RGBAlpha<pf16_565>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf16_555>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf16_5551>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf16_4444>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf24_888>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf32_888>(void*, const void*, const void*, unsigned);
template void* RGBAlpha<pf32_8888>(void*, const void*, const void*, unsigned);
template void* RGBAlpha_MMX<pf24_888>(void*, const void*, const void*, unsigned);
template void* RGBAlpha_MMX<pf32_888>(void*, const void*, const void*, unsigned);
template void* RGBAlpha_MMX<pf32_8888>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf16_565>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf16_555>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf16_5551>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf16_4444>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf24_888>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf32_888>(void*, const void*, const void*, unsigned);
template void* RGBHalf<pf32_8888>(void*, const void*, const void*, unsigned);
template void* RGBHalf_MMX<pf24_888>(void*, const void*, const void*, unsigned);
template void* RGBHalf_MMX<pf32_888>(void*, const void*, const void*, unsigned);
template void* RGBHalf_MMX<pf32_8888>(void*, const void*, const void*, unsigned);

const TPixFormatTable<TBlendRow> RGBAlphaTable = {
    nullptr, &RGBAlpha<pf16_565>, &RGBAlpha<pf16_555>, &RGBAlpha<pf16_5551>, &RGBAlpha<pf16_4444>,
    &RGBAlpha<pf24_888>, &RGBAlpha<pf32_888>, &RGBAlpha<pf32_8888>};
const TPixFormatTable<TBlendRow> RGBAlphaTableMMX = {
    nullptr, &RGBAlpha<pf16_565>, &RGBAlpha<pf16_555>, &RGBAlpha<pf16_5551>, &RGBAlpha<pf16_4444>,
    &RGBAlpha_MMX<pf24_888>, &RGBAlpha_MMX<pf32_888>, &RGBAlpha_MMX<pf32_8888>};
const TPixFormatTable<TBlendRow> RGBHalfTable = {
    nullptr, &RGBHalf<pf16_565>, &RGBHalf<pf16_555>, &RGBHalf<pf16_5551>, &RGBHalf<pf16_4444>,
    &RGBHalf<pf24_888>, &RGBHalf<pf32_888>, &RGBHalf<pf32_8888>};
const TPixFormatTable<TBlendRow> RGBHalfTableMMX = {
    nullptr, &RGBHalf<pf16_565>, &RGBHalf<pf16_555>, &RGBHalf<pf16_5551>, &RGBHalf<pf16_4444>,
    &RGBHalf_MMX<pf24_888>, &RGBHalf_MMX<pf32_888>, &RGBHalf_MMX<pf32_8888>};
