// Row converters between the pixel formats and quad or triple rows, and palette expansion.
#include "graphics/RowConvert.h"

#include "base/XeMem.h"
#include "graphics/PixelConvert.h"

#include <cstdint>

namespace {

using Byte = std::uint8_t;

// Converts count pixels of layout From into layout To through one pixel function, one pixel at a
// time; the compiler unrolls and vectorises the loop where the layouts allow it.
template <TPixFormat From, TPixFormat To, typename Convert>
void* ConvertPixels(void* dst, const void* src, unsigned count, Convert convert)
{
    constexpr int sb = PixFormatBytes(From);
    constexpr int db = PixFormatBytes(To);
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    for (unsigned i = 0; i < count; ++i)
        StorePixel<To>(d + std::size_t{i} * db, convert(LoadPixel<From>(s + std::size_t{i} * sb)));
    return dst;
}

// Triples to quads with a fourth byte 0, four pixels (three words) per step.
void* TriplesToQuads(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    unsigned i = 0;
    for (; i + 4 <= count; i += 4, s += 12, d += 16) {
        std::uint32_t w[3];
        std::memcpy(w, s, 12);
        const std::uint32_t q[4] = {w[0] & 0xFFFFFF, (w[0] >> 24) | ((w[1] & 0xFFFF) << 8),
                                    (w[1] >> 16) | ((w[2] & 0xFF) << 16), w[2] >> 8};
        std::memcpy(d, q, 16);
    }
    for (; i < count; ++i, s += 3, d += 4)
        StorePixel<pf32_888>(d, LoadPixel<pf24_888>(s));
    return dst;
}

// Quads to triples (fourth byte dropped), four pixels (three words) per step.
void* QuadsToTriples(void* dst, const void* src, unsigned count)
{
    auto* d = static_cast<Byte*>(dst);
    const auto* s = static_cast<const Byte*>(src);
    unsigned i = 0;
    for (; i + 4 <= count; i += 4, s += 16, d += 12) {
        std::uint32_t q[4];
        std::memcpy(q, s, 16);
        const std::uint32_t w[3] = {(q[0] & 0xFFFFFF) | (q[1] << 24), ((q[1] >> 8) & 0xFFFF) | (q[2] << 16),
                                    ((q[2] >> 16) & 0xFF) | (q[3] << 8)};
        std::memcpy(d, w, 12);
    }
    for (; i < count; ++i, s += 4, d += 3)
        StorePixel<pf24_888>(d, LoadPixel<pf32_888>(s));
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
        return ConvertPixels<pf32_8888, F>(dst, src, count, RGBto<F>);
}

template <TPixFormat F> void* RGBQUADcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (PixFormatBytes(F) == 4)
        return XeMemcpy(dst, src, std::size_t{count} * 4);
    else if constexpr (F == pf24_888)
        return TriplesToQuads(dst, src, count);
    else
        return ConvertPixels<F, pf32_8888>(dst, src, count, RGBfrom<F>);
}

template <TPixFormat F> void* RGBTRIPLEcpyTo(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return TriplesToQuads(dst, src, count);
    else
        return ConvertPixels<pf24_888, F>(dst, src, count, RGBto<F>);
}

template <TPixFormat F> void* RGBTRIPLEcpyFrom(void* dst, const void* src, unsigned count)
{
    if constexpr (F == pf24_888)
        return XeMemcpy(dst, src, std::size_t{count} * 3);
    else if constexpr (PixFormatBytes(F) == 4)
        return QuadsToTriples(dst, src, count);
    else
        return ConvertPixels<F, pf24_888>(dst, src, count, RGBfrom<F>);
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
