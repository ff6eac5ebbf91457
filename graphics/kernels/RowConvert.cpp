// Row converters between the pixel formats and quad or triple rows, and palette expansion.
#include "graphics/kernels/RowConvert.h"

#include "base/memory/XeMem.h"
#include "graphics/kernels/PixelConvert.h"
#include "graphics/kernels/VectorLoops.h"

#include <cstdint>
#include <cstring>
#if defined(XE_HAVE_AVX2)
#include <immintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

// Converts count pixels of layout From into layout To through one pixel function; written for the
// vectoriser (the rows never overlap) and run in its AVX2 or baseline form.
template <TPixFormat From, TPixFormat To, std::uint32_t (*Convert)(std::uint32_t)>
XE_VECTOR_BODY void* ConvertPixels(void* dst, const void* src, unsigned count)
{
    constexpr int sb = PixFormatBytes(From);
    constexpr int db = PixFormatBytes(To);
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    XE_INDEPENDENT_ROWS
    for (std::size_t i = 0; i < count; ++i)
        StorePixel<To>(d + i * db, Convert(LoadPixel<From>(s + i * sb)));
    return dst;
}

inline std::uint32_t Word(const Byte* p, std::size_t k)
{
    std::uint32_t w;
    std::memcpy(&w, p + 4 * k, 4);
    return w;
}

inline void PutWord(Byte* p, std::size_t k, std::uint32_t w)
{
    std::memcpy(p + 4 * k, &w, 4);
}

#if defined(XE_HAVE_AVX2)

// Eight quads (blue, green, red, fourth byte) to eight pixels of 16-bit layout F, as RGBto<F> does
// (4444 takes its alpha nibble from the fourth byte, which a triple row fills with 0), one pixel in
// each 32-bit lane. Each byte keeps its channel's top bits c'; the pixel times 2^drop (drop being
// the bits blue loses) is B' + G' x 2^g + (R' + X' x 2^x) x 2^r, so one byte multiply-add forms
// the two words of each lane, one word multiply-add joins them and a shift drops the excess.
template <TPixFormat F> XE_AVX2 inline __m256i QuadsTo16(__m256i q)
{
    constexpr TLayout16 L = Layout16Of<F>();
    static_assert(L.bShift == 0, "blue is the lowest field");
    constexpr int drop = 8 - L.bBits;
    constexpr int g = drop + L.gShift - (8 - L.gBits);
    constexpr int r = drop + L.rShift - (8 - L.rBits);
    constexpr int x = F == pf16_4444 ? drop + 12 - 4 - r : -1;  // the alpha nibble's place above red
    constexpr auto top = [](int bits) { return (0xFFu << (8 - bits)) & 0xFFu; };
    static_assert(g < 7 && r < 15 && x < 7, "the weights fit signed bytes and words");
    constexpr std::uint32_t keptBytes = top(L.bBits) | top(L.gBits) << 8 | top(L.rBits) << 16 | (x < 0 ? 0 : 0xF0u << 24);
    constexpr std::uint32_t byteWeights = 1 | 1u << (8 + g) | 1u << 16 | (x < 0 ? 0 : 1u << (24 + x));
    constexpr std::uint32_t wordWeights = 1 | 1u << (16 + r);
    const __m256i words = _mm256_maddubs_epi16(_mm256_and_si256(q, _mm256_set1_epi32(static_cast<int>(keptBytes))),
                                                _mm256_set1_epi32(static_cast<int>(byteWeights)));
    return _mm256_srli_epi32(_mm256_madd_epi16(words, _mm256_set1_epi32(static_cast<int>(wordWeights))), drop);
}


// Eight triples (24 bytes, read as 32) spread to eight quads with a fourth byte 0.
XE_AVX2 inline __m256i TriplesToQuads8(const Byte* s)
{
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i halves = _mm256_permutevar8x32_epi32(raw, _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0));
    return _mm256_shuffle_epi8(halves, _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0, 1, 2, -1,
                                                        3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
}

// Eight quads or triples from pixel i on.
template <int SrcBytes> XE_AVX2 inline __m256i EightQuads(const Byte* s, std::size_t i)
{
    if constexpr (SrcBytes == 4)
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i * 4));
    else
        return TriplesToQuads8(s + i * 3);
}

// Quad or triple rows to 16-bit layout F, sixteen pixels per step and then eight; returns the
// pixels done (the rest is left to the portable loop; a triple step reads 8 bytes past its end,
// so it stops while those lie in the row).
template <TPixFormat F, int SrcBytes> XE_AVX2 std::size_t To16Avx2(Byte* d, const Byte* s, unsigned count)
{
    constexpr std::size_t overread = SrcBytes == 4 ? 0 : 8;
    const std::size_t rowBytes = std::size_t{count} * SrcBytes;
    std::size_t i = 0;
    for (; (i + 16) * SrcBytes + overread <= rowBytes; i += 16) {
        // The pack works per 128-bit half: pixels 0-3, 8-11, 4-7, 12-15, put in order by the permute.
        const __m256i packed = _mm256_packus_epi32(QuadsTo16<F>(EightQuads<SrcBytes>(s, i)),
                                                   QuadsTo16<F>(EightQuads<SrcBytes>(s, i + 8)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i * 2), _mm256_permute4x64_epi64(packed, 0xD8));
    }
    for (; (i + 8) * SrcBytes + overread <= rowBytes; i += 8) {
        const __m256i p = QuadsTo16<F>(EightQuads<SrcBytes>(s, i));
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(p, p), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2), _mm256_castsi256_si128(packed));
    }
    return i;
}

// Quads to triples, eight pixels per step: the fourth bytes squeezed out of each half, the halves
// joined; returns the pixels done.
XE_AVX2 std::size_t QuadsToTriplesAvx2(Byte* d, const Byte* s, unsigned count)
{
    const __m256i squeeze = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6,
                                             8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i * 4));
        const __m256i t = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(q, squeeze), join);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 3), _mm256_castsi256_si128(t));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + i * 3 + 16), _mm256_extracti128_si256(t, 1));
    }
    return i;
}

#endif

// Quads to triples (fourth byte dropped): four pixels, four words in and three out, per step; the
// vectoriser interleaves the groups. The last count mod 4 pixels go one at a time.
XE_VECTOR_BODY void QuadsToTriplesFrom(Byte* d, const Byte* s, unsigned count)
{
    const std::size_t groups = count / 4;
    XE_INDEPENDENT_ROWS
    for (std::size_t j = 0; j < groups; ++j) {
        const std::uint32_t q0 = Word(s, 4 * j), q1 = Word(s, 4 * j + 1), q2 = Word(s, 4 * j + 2), q3 = Word(s, 4 * j + 3);
        PutWord(d, 3 * j, (q0 & 0xFFFFFF) | (q1 << 24));
        PutWord(d, 3 * j + 1, ((q1 >> 8) & 0xFFFF) | (q2 << 16));
        PutWord(d, 3 * j + 2, ((q2 >> 16) & 0xFF) | (q3 << 8));
    }
    for (std::size_t i = groups * 4; i < count; ++i)
        StorePixel<pf24_888>(d + 3 * i, LoadPixel<pf32_888>(s + 4 * i));
}

void* QuadsToTriples(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    std::size_t done = 0;
#if defined(XE_HAVE_AVX2)
    if (XeHasAvx2())
        done = QuadsToTriplesAvx2(d, s, count);
#endif
    XeVectorRun<&QuadsToTriplesFrom>(d + done * 3, s + done * 4, static_cast<unsigned>(count - done));
    return dst;
}

// Triples to quads with a fourth byte 0: three words in and four out per step.
XE_VECTOR_BODY void* TriplesToQuads(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const std::size_t groups = count / 4;
    XE_INDEPENDENT_ROWS
    for (std::size_t j = 0; j < groups; ++j) {
        const std::uint32_t w0 = Word(s, 3 * j), w1 = Word(s, 3 * j + 1), w2 = Word(s, 3 * j + 2);
        PutWord(d, 4 * j, w0 & 0xFFFFFF);
        PutWord(d, 4 * j + 1, (w0 >> 24) | ((w1 & 0xFFFF) << 8));
        PutWord(d, 4 * j + 2, (w1 >> 16) | ((w2 & 0xFF) << 16));
        PutWord(d, 4 * j + 3, w2 >> 8);
    }
    for (std::size_t i = groups * 4; i < count; ++i)
        StorePixel<pf32_888>(d + 4 * i, LoadPixel<pf24_888>(s + 3 * i));
    return dst;
}

}  // namespace

// Quad or triple rows to a 16-bit layout: AVX2 steps where the processor has them, the portable
// loop for the rest.
template <TPixFormat F, TPixFormat From> void* To16(void* dst, const void* src, unsigned count)
{
    std::size_t done = 0;
#if defined(XE_HAVE_AVX2)
    if (XeHasAvx2())
        done = To16Avx2<F, PixFormatBytes(From)>(static_cast<Byte*>(dst), static_cast<const Byte*>(src), count);
#endif
    XeVectorRun<&ConvertPixels<From, F, RGBto<F>>>(static_cast<Byte*>(dst) + done * 2,
                                                   static_cast<const Byte*>(src) + done * PixFormatBytes(From),
                                                   static_cast<unsigned>(count - done));
    return dst;
}

template <TPixFormat F> void* RGBQUADcpyTo(void* dst, const void* src, unsigned count)
{
    if constexpr (PixFormatBytes(F) == 4)
        return XeMemcpy(dst, src, std::size_t{count} * 4);
    else if constexpr (F == pf24_888)
        return QuadsToTriples(dst, src, count);
    else
        return To16<F, pf32_8888>(dst, src, count);
}

template <TPixFormat F> void* RGBQUADcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (PixFormatBytes(F) == 4)
        return XeMemcpy(dst, src, std::size_t{count} * 4);
    else if constexpr (F == pf24_888)
        return XeVectorRun<&TriplesToQuads>(dst, src, count);
    else
        return XeVectorRun<&ConvertPixels<F, pf32_8888, RGBfrom<F>>>(dst, src, count);
}

template <TPixFormat F> void* RGBTRIPLEcpyTo(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return XeVectorRun<&TriplesToQuads>(dst, src, count);
    else
        return To16<F, pf24_888>(dst, src, count);
}

template <TPixFormat F> void* RGBTRIPLEcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return QuadsToTriples(dst, src, count);
    else
        return XeVectorRun<&ConvertPixels<F, pf24_888, RGBfrom<F>>>(dst, src, count);
}

#define XE_ROW_CONVERTERS(F)                                                  \
    template void* RGBQUADcpyTo<F>(void*, const void*, unsigned);            \
    template void* RGBQUADcpyFrom<F>(void*, const void*, unsigned);          \
    template void* RGBTRIPLEcpyTo<F>(void*, const void*, unsigned);          \
    template void* RGBTRIPLEcpyFrom<F>(void*, const void*, unsigned);
XE_ROW_CONVERTERS(pf16_565)
XE_ROW_CONVERTERS(pf16_555)
XE_ROW_CONVERTERS(pf16_5551)
XE_ROW_CONVERTERS(pf16_4444)
XE_ROW_CONVERTERS(pf24_888)
XE_ROW_CONVERTERS(pf32_888)
XE_ROW_CONVERTERS(pf32_8888)
#undef XE_ROW_CONVERTERS

const TPixFormatTable<TRowConvert> RGBQUADcpyToTable = {
    nullptr, &RGBQUADcpyTo<pf16_565>, &RGBQUADcpyTo<pf16_555>, &RGBQUADcpyTo<pf16_5551>, &RGBQUADcpyTo<pf16_4444>,
    &RGBQUADcpyTo<pf24_888>, &RGBQUADcpyTo<pf32_888>, &RGBQUADcpyTo<pf32_8888>};
const TPixFormatTable<TRowConvert> RGBQUADcpyFromTable = {
    nullptr, &RGBQUADcpyFrom<pf16_565>, &RGBQUADcpyFrom<pf16_555>, &RGBQUADcpyFrom<pf16_5551>,
    &RGBQUADcpyFrom<pf16_4444>, &RGBQUADcpyFrom<pf24_888>, &RGBQUADcpyFrom<pf32_888>, &RGBQUADcpyFrom<pf32_8888>};
const TPixFormatTable<TRowConvert> RGBTRIPLEcpyToTable = {
    nullptr, &RGBTRIPLEcpyTo<pf16_565>, &RGBTRIPLEcpyTo<pf16_555>, &RGBTRIPLEcpyTo<pf16_5551>,
    &RGBTRIPLEcpyTo<pf16_4444>, &RGBTRIPLEcpyTo<pf24_888>, &RGBTRIPLEcpyTo<pf32_888>, &RGBTRIPLEcpyTo<pf32_8888>};
const TPixFormatTable<TRowConvert> RGBTRIPLEcpyFromTable = {
    nullptr, &RGBTRIPLEcpyFrom<pf16_565>, &RGBTRIPLEcpyFrom<pf16_555>, &RGBTRIPLEcpyFrom<pf16_5551>,
    &RGBTRIPLEcpyFrom<pf16_4444>, &RGBTRIPLEcpyFrom<pf24_888>, &RGBTRIPLEcpyFrom<pf32_888>,
    &RGBTRIPLEcpyFrom<pf32_8888>};

void* RGBQUADcpyFrom8(void* dst, const void* src, const void* palette, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const auto* p = static_cast<const Byte*>(palette);
    for (unsigned i = 0; i < count; ++i)
        std::memcpy(d + std::size_t{i} * 4, p + std::size_t{s[i]} * 4, 4);
    return dst;
}

void* RGBTRIPLEcpyFrom8(void* dst, const void* src, const void* palette, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    const auto* p = static_cast<const Byte*>(palette);
    for (unsigned i = 0; i < count; ++i)
        std::memcpy(d + std::size_t{i} * 3, p + std::size_t{s[i]} * 4, 3);
    return dst;
}
