// Constant-level blend row kernels (RGBAlpha, RGBHalf), plain and MMX forms, and their tables.
#include "graphics/kernels/BlendKernels.h"

#include "graphics/kernels/BlendLevel.h"

#include "graphics/kernels/VectorLoops.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(XE_HAVE_AVX2)
#include <immintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

// a + floor((b - a) x level / 128); the result lies between a and b.
inline int BlendChannel(int a, int b, int level)
{
    return a + (((b - a) * level) >> 7);
}

// The same in 16-bit arithmetic, which the vectoriser keeps in 16-bit lanes: the difference times
// the level fits (|d| <= 255, level <= 128) and the arithmetic shift floors it.
inline std::int16_t BlendChannel16(std::int16_t a, std::int16_t b, std::int16_t level)
{
    const auto product = static_cast<std::int16_t>((b - a) * level);
    return static_cast<std::int16_t>(a + static_cast<std::int16_t>(product >> 7));
}

template <int Shift, int Bits> inline std::uint16_t BlendField(std::uint16_t x, std::uint16_t y, std::int16_t level)
{
    constexpr int mask = (1 << Bits) - 1;
    const auto cx = static_cast<std::int16_t>((x >> Shift) & mask);
    const auto cy = static_cast<std::int16_t>((y >> Shift) & mask);
    return static_cast<std::uint16_t>(BlendChannel16(cx, cy, level) << Shift);
}

inline std::uint16_t Load16(const Byte* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(Byte* p, std::uint16_t v)
{
    std::memcpy(p, &v, 2);
}

// Red, green and blue blended in their own widths; the fourth field is written 0.
template <TPixFormat F> XE_VECTOR_BODY void Blend16Row(Byte* d, const Byte* a, const Byte* b, unsigned count, int level)
{
    constexpr TLayout16 L = Layout16Of<F>();
    const auto lv = static_cast<std::int16_t>(level);
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t x = Load16(a + 2 * i), y = Load16(b + 2 * i);
        Store16(d + 2 * i, static_cast<std::uint16_t>(BlendField<L.rShift, L.rBits>(x, y, lv) |
                                                      BlendField<L.gShift, L.gBits>(x, y, lv) |
                                                      BlendField<L.bShift, L.bBits>(x, y, lv)));
    }
}

#if defined(XE_HAVE_AVX2)

// The change that one field of 16 pixels undergoes, in place: 2^Shift x floor(D x (level - 128k) / 128),
// D being the field of b minus that of a, k being 1 when the blend starts from b (level 64 and
// up) and 0 when it starts from a; both give a + floor(D x level / 128). `scaled` holds
// 512 x (level - 128k), which fits a signed 16-bit lane, so the high half of its product with the
// in-place difference is the change with some low bits below the field, masked away (masking a
// two's complement value floors it to the field's step). A field reaching bit 15 has a difference
// that does not fit 16 bits: it is taken from the bottom and multiplied by `top`,
// 2^(Shift - 7) x (level - 128k), keeping the bits from Shift up.
template <int Shift, int Bits> XE_AVX2 inline __m256i FieldChange16(__m256i a, __m256i b, __m256i scaled, __m256i top)
{
    const __m256i above = _mm256_set1_epi16(static_cast<short>(0xFFFF << Shift));
    if constexpr (Shift + Bits == 16) {
        static_assert(Shift == 11, "`top` is made for the red field of 565");
        const __m256i d = _mm256_sub_epi16(_mm256_srli_epi16(b, Shift), _mm256_srli_epi16(a, Shift));
        return _mm256_and_si256(_mm256_mullo_epi16(d, top), above);
    } else {
        const __m256i field = _mm256_set1_epi16(static_cast<short>(((1 << Bits) - 1) << Shift));
        const __m256i d = _mm256_sub_epi16(_mm256_and_si256(b, field), _mm256_and_si256(a, field));
        const __m256i change = _mm256_mulhi_epi16(d, scaled);
        return Shift == 0 ? change : _mm256_and_si256(change, above);
    }
}

// Blend16Row for 16 pixels per step, as the starting pixel plus the three fields' changes (no field
// leaves its range, so nothing carries into the next) with the fourth field then cleared. Returns
// the pixels done.
template <TPixFormat F, bool FromB>
XE_AVX2 std::size_t Blend16Avx2(Byte* d, const Byte* a, const Byte* b, unsigned count, int level)
{
    constexpr TLayout16 L = Layout16Of<F>();
    constexpr auto colour = static_cast<short>(((1 << L.rBits) - 1) << L.rShift | ((1 << L.gBits) - 1) << L.gShift |
                                               ((1 << L.bBits) - 1) << L.bShift);
    const int weight = FromB ? level - 128 : level;
    const __m256i scaled = _mm256_set1_epi16(static_cast<short>(weight * 512));
    const __m256i top = _mm256_set1_epi16(static_cast<short>(weight * 16));
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 2 * i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 2 * i));
        const __m256i sum = _mm256_add_epi16(
            _mm256_add_epi16(FromB ? vb : va, FieldChange16<L.rShift, L.rBits>(va, vb, scaled, top)),
            _mm256_add_epi16(FieldChange16<L.gShift, L.gBits>(va, vb, scaled, top),
                             FieldChange16<L.bShift, L.bBits>(va, vb, scaled, top)));
        const __m256i r = colour == -1 ? sum : _mm256_and_si256(sum, _mm256_set1_epi16(colour));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 2 * i), r);
    }
    return i;
}

#endif

// Blend16Row with AVX2 steps where the processor has them.
template <TPixFormat F> void Blend16RowFast(Byte* d, const Byte* a, const Byte* b, unsigned count, int level)
{
    std::size_t done = 0;
#if defined(XE_HAVE_AVX2)
    if (XeHasAvx2())
        done = level >= 64 ? Blend16Avx2<F, true>(d, a, b, count, level) : Blend16Avx2<F, false>(d, a, b, count, level);
#endif
    XeVectorRun<&Blend16Row<F>>(d + 2 * done, a + 2 * done, b + 2 * done, static_cast<unsigned>(count - done), level);
}

// ((a ^ b) & mask) >> 1 + (a & b): every field averaged, rounding down, without carries between them.
template <TPixFormat F> XE_VECTOR_BODY void Half16Row(Byte* d, const Byte* a, const Byte* b, unsigned count)
{
    constexpr std::uint16_t mask = F == pf16_565 ? 0xF7DE : F == pf16_4444 ? 0xEEEE : 0x7BDE;
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t x = Load16(a + 2 * i), y = Load16(b + 2 * i);
        Store16(d + 2 * i, static_cast<std::uint16_t>((((x ^ y) & mask) >> 1) + (x & y)));
    }
}

// The plain byte forms, one channel at a time.
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

// The fast byte forms, written for the vectoriser (16-bit lanes for the blend, byte lanes for the
// average) and run in their AVX2 or baseline form.
XE_VECTOR_BODY void BlendBytesPortable(Byte* d, const Byte* a, const Byte* b, std::size_t n, int level)
{
    const auto lv = static_cast<std::int16_t>(level);
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < n; ++i)
        d[i] = static_cast<Byte>(BlendChannel16(a[i], b[i], lv));
}

#if defined(XE_HAVE_AVX2)

// 32 bytes per step for a level of 1..127, as (a x (128 - level) + b x level) >> 7, which equals
// a + floor((b - a) x level / 128): one multiply-add of the interleaved bytes by the two weights
// (each fits a signed byte; the sum stays under 2^15). Returns the bytes done.
XE_AVX2 std::size_t BlendBytesAvx2(Byte* d, const Byte* a, const Byte* b, std::size_t n, int level)
{
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(level << 8 | (128 - level)));
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(va, vb), weights);
        const __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(va, vb), weights);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_packus_epi16(_mm256_srli_epi16(lo, 7), _mm256_srli_epi16(hi, 7)));
    }
    return i;
}

#endif

void BlendBytesFast(Byte* d, const Byte* a, const Byte* b, std::size_t n, int level)
{
    std::size_t done = 0;
#if defined(XE_HAVE_AVX2)
    if (level > 0 && level < 128 && XeHasAvx2())
        done = BlendBytesAvx2(d, a, b, n, level);
#endif
    XeVectorRun<&BlendBytesPortable>(d + done, a + done, b + done, n - done, level);
}

XE_VECTOR_BODY void HalfBytesFast(Byte* d, const Byte* a, const Byte* b, std::size_t n)
{
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < n; ++i)
        d[i] = static_cast<Byte>((a[i] & b[i]) + ((a[i] ^ b[i]) >> 1));
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
        Blend16RowFast<F>(d, pa, pb, count, level);
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
        XeVectorRun<&Half16Row<F>>(d, pa, pb, count);
    } else {
        HalfBytes(d, pa, pb, RowBytes<F>(count));
    }
    return dst;
}

template <TPixFormat F> void* RGBHalf_MMX(void* dst, const void* a, const void* b, unsigned count)
{
    static_assert(PixFormatBytes(F) >= 3, "16-bit formats average with the plain kernel");
    XeVectorRun<&HalfBytesFast>(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b),
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
    XeVectorRun<&HalfBytesFast>(static_cast<Byte*>(dst), static_cast<const Byte*>(a), static_cast<const Byte*>(b), count);
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
