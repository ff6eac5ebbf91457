// Row converters between the pixel formats and quad or triple rows, and palette expansion.
#include "graphics/RowConvert.h"

#include "base/XeMem.h"
#include "graphics/PixelConvert.h"
#include "graphics/VectorLoops.h"

#include <cstdint>
#include <cstring>

namespace {

using Byte = std::uint8_t;

// Converts count pixels of layout From into layout To through one pixel function; written for the
// vectoriser (the rows never overlap) and compiled for AVX2 as well.
template <TPixFormat From, TPixFormat To, std::uint32_t (*Convert)(std::uint32_t)>
XE_VECTOR_CLONES void* ConvertPixels(void* dst, const void* src, unsigned count)
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

// Quads to triples (fourth byte dropped): four pixels, four words in and three out, per step; the
// vectoriser interleaves the groups. The last count mod 4 pixels go one at a time.
XE_VECTOR_CLONES void* QuadsToTriples(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
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
    return dst;
}

// Triples to quads with a fourth byte 0: three words in and four out per step.
XE_VECTOR_CLONES void* TriplesToQuads(void* dst, const void* src, unsigned count)
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

template <TPixFormat F> void* RGBQUADcpyTo(void* dst, const void* src, unsigned count)
{
    if constexpr (PixFormatBytes(F) == 4)
        return XeMemcpy(dst, src, std::size_t{count} * 4);
    else if constexpr (F == pf24_888)
        return QuadsToTriples(dst, src, count);
    else
        return ConvertPixels<pf32_8888, F, RGBto<F>>(dst, src, count);
}

template <TPixFormat F> void* RGBQUADcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (PixFormatBytes(F) == 4)
        return XeMemcpy(dst, src, std::size_t{count} * 4);
    else if constexpr (F == pf24_888)
        return TriplesToQuads(dst, src, count);
    else
        return ConvertPixels<F, pf32_8888, RGBfrom<F>>(dst, src, count);
}

template <TPixFormat F> void* RGBTRIPLEcpyTo(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return TriplesToQuads(dst, src, count);
    else
        return ConvertPixels<pf24_888, F, RGBto<F>>(dst, src, count);
}

template <TPixFormat F> void* RGBTRIPLEcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return QuadsToTriples(dst, src, count);
    else
        return ConvertPixels<F, pf24_888, RGBfrom<F>>(dst, src, count);
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
