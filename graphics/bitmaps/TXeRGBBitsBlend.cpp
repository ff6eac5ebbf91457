// TXeRGBBits conversion and blend primitives: kernels chosen by format and MMX flag, edge
// clipping, mixed layouts routed through 32-bit quad rows.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "base/memory/XeMem.h"
#include "graphics/kernels/AlphaMapKernels.h"
#include "graphics/kernels/BlendKernels.h"
#include "graphics/kernels/BlendLevel.h"
#include "graphics/kernels/RowConvert.h"
#include "graphics/kernels/SaturateKernels.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

using Row = std::vector<std::uint8_t>;

// Temporary rows are made before locking; false without memory.
bool MakeRow(Row& row, std::size_t bytes)
{
    try {
        row.resize(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool Is32(TPixFormat f)
{
    return f == pf32_888 || f == pf32_8888;
}

}  // namespace

bool TXeRGBBits::ClipEdges(int& x, int& y, int& w, int& h, std::initializer_list<TBlock*> blocks) const
{
    const std::int64_t cutLeft = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t cutTop = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t left = std::int64_t{x} + cutLeft, top = std::int64_t{y} + cutTop;
    const std::int64_t visibleW = std::min<std::int64_t>(std::int64_t{w} - cutLeft, FWidth - left);
    const std::int64_t visibleH = std::min<std::int64_t>(std::int64_t{h} - cutTop, FHeight - top);
    if (visibleW <= 0 || visibleH <= 0)
        return false;
    for (TBlock* b : blocks)
        b->p += cutLeft * b->bytes + cutTop * b->pitch;
    x = static_cast<int>(left);
    y = static_cast<int>(top);
    w = static_cast<int>(visibleW);
    h = static_cast<int>(visibleH);
    return true;
}

bool TXeRGBBits::XeConvert(int x, int y, int w, int h, const void* src, TPixFormat srcFormat, int srcPitch)
{
    if (!FCreated || srcFormat >= kPixFormatCount)
        return false;
    // One kernel from the source's layout to the bitmap's where one exists, else two through triples.
    const bool copy = srcFormat == FPixFormat;
    TRowConvert* direct = nullptr;
    TRowConvert* toTriples = nullptr;
    TRowConvert* fromTriples = nullptr;
    if (copy) {
        // the rows are copied as they are
    } else if (srcFormat == pf24_888) {
        direct = KernelFor(RGBTRIPLEcpyToTable, FPixFormat);
    } else if (Is32(srcFormat)) {
        direct = KernelFor(RGBQUADcpyToTable, FPixFormat);
    } else if (FPixFormat == pf24_888) {
        direct = KernelFor(RGBTRIPLEcpyFromTable, srcFormat);
    } else if (Is32(FPixFormat)) {
        direct = KernelFor(RGBQUADcpyFromTable, srcFormat);
    } else {
        toTriples = KernelFor(RGBTRIPLEcpyFromTable, srcFormat);
        fromTriples = KernelFor(RGBTRIPLEcpyToTable, FPixFormat);
        if (!toTriples || !fromTriples)
            return false;
    }
    if (!copy && !direct && !toTriples)
        return false;

    TBlock s{static_cast<const std::uint8_t*>(src), srcPitch, PixFormatBytes(srcFormat)};
    if (!ClipEdges(x, y, w, h, {&s}))
        return true;
    const auto n = static_cast<unsigned>(w);
    Row triples;
    if (toTriples && !MakeRow(triples, std::size_t{n} * 3))
        return false;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, s.p += s.pitch) {
            std::uint8_t* d = PixelAt(x, y + j);
            if (copy)
                XeMemcpy(d, s.p, std::size_t{n} * FBitDepth);
            else if (direct)
                direct(d, s.p, n);
            else
                fromTriples(d, toTriples(triples.data(), s.p, n), n);
        }
        return true;
    });
}

bool TXeRGBBits::XeIndexColor(int x, int y, int w, int h, const std::uint8_t* indices, const tagRGBQUAD* palette,
                              int indexPitch)
{
    TRowConvert* fromQuads = FCreated ? KernelFor(RGBQUADcpyToTable, FPixFormat) : nullptr;
    if (!fromQuads || !indices || !palette)
        return false;
    TBlock s{indices, indexPitch, 1};
    if (!ClipEdges(x, y, w, h, {&s}))
        return true;
    const auto n = static_cast<unsigned>(w);
    Row quads;
    if (FBitDepth == bd16 && !MakeRow(quads, std::size_t{n} * 4))
        return false;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, s.p += s.pitch) {
            std::uint8_t* d = PixelAt(x, y + j);
            if (FBitDepth == bd24)
                RGBTRIPLEcpyFrom8(d, s.p, palette, n);
            else if (FBitDepth == bd32)
                RGBQUADcpyFrom8(d, s.p, palette, n);
            else
                fromQuads(d, RGBQUADcpyFrom8(quads.data(), s.p, palette, n), n);
        }
        return true;
    });
}

bool TXeRGBBits::XeAlphaBlend(int x, int y, int w, int h, const void* srcA, int srcAPitch, const void* srcB,
                              int srcBPitch, int level)
{
    if (!FCreated)
        return false;
    // At level 64 the average equals the blend, without touching the shared level.
    TBlendRow* kernel = nullptr;
    if (level == 64) {
        kernel = KernelFor(RGBHalfTable, FPixFormat);
    } else {
        SetAlphaParam(level);
        kernel = KernelFor(FMMX ? RGBAlphaTableMMX : RGBAlphaTable, FPixFormat);
    }
    if (!kernel)
        return false;
    TBlock a{static_cast<const std::uint8_t*>(srcA), srcAPitch, FBitDepth};
    TBlock b{static_cast<const std::uint8_t*>(srcB), srcBPitch, FBitDepth};
    if (!ClipEdges(x, y, w, h, {&a, &b}))
        return true;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, a.p += a.pitch, b.p += b.pitch)
            kernel(PixelAt(x, y + j), a.p, b.p, static_cast<unsigned>(w));
        return true;
    });
}

bool TXeRGBBits::XeSaturationAdd(int x, int y, int w, int h, const void* src, int srcPitch)
{
    return SaturateRows(x, y, w, h, src, srcPitch, FMMX ? RGBAddTableMMX : RGBAddTable);
}

bool TXeRGBBits::XeSaturationSub(int x, int y, int w, int h, const void* src, int srcPitch)
{
    return SaturateRows(x, y, w, h, src, srcPitch, FMMX ? RGBSubTableMMX : RGBSubTable);
}

bool TXeRGBBits::SaturateRows(int x, int y, int w, int h, const void* src, int srcPitch,
                              const TPixFormatTable<TSaturateRow>& table)
{
    TSaturateRow* kernel = FCreated ? KernelFor(table, FPixFormat) : nullptr;
    if (!kernel)
        return false;
    TBlock s{static_cast<const std::uint8_t*>(src), srcPitch, FBitDepth};
    if (!ClipEdges(x, y, w, h, {&s}))
        return true;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, s.p += s.pitch)
            kernel(PixelAt(x, y + j), s.p, static_cast<unsigned>(w));
        return true;
    });
}

bool TXeRGBBits::XeAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat,
                             const std::uint8_t* alpha, int alphaPitch)
{
    return AlphaMapBlend(x, y, w, h, nullptr, 0, src, srcPitch, srcFormat, alpha, alphaPitch, false);
}

bool TXeRGBBits::XeAlphaMask(int x, int y, int w, int h, const void* srcA, int srcAPitch, const void* srcB,
                             int srcBPitch, TPixFormat srcFormat, const std::uint8_t* alpha, int alphaPitch)
{
    return AlphaMapBlend(x, y, w, h, srcA, srcAPitch, srcB, srcBPitch, srcFormat, alpha, alphaPitch, false);
}

bool TXeRGBBits::XeDoubleAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat,
                                   const std::uint8_t* alpha, int alphaPitch, int level)
{
    SetDoubleAlphaParam(level);
    return AlphaMapBlend(x, y, w, h, nullptr, 0, src, srcPitch, srcFormat, alpha, alphaPitch, true);
}

// Lays `over` onto the destination row through the alpha map; with `under` (two sources) the row
// first receives `under` instead of keeping the old destination. Rows of equal layouts (or of the
// two 32-bit ones) are blended directly; any other pair is blended in quad rows and converted back.
bool TXeRGBBits::AlphaMapBlend(int x, int y, int w, int h, const void* under, int underPitch, const void* over,
                               int overPitch, TPixFormat srcFormat, const std::uint8_t* alpha, int alphaPitch,
                               bool doubleAlpha)
{
    if (!FCreated || srcFormat >= kPixFormatCount || !alpha)
        return false;
    TRowConvert* srcToQuads = KernelFor(RGBQUADcpyFromTable, srcFormat);
    TRowConvert* dstToQuads = KernelFor(RGBQUADcpyFromTable, FPixFormat);
    TRowConvert* quadsToDst = KernelFor(RGBQUADcpyToTable, FPixFormat);
    if (!srcToQuads || !dstToQuads || !quadsToDst)
        return false;
    const int srcBytes = PixFormatBytes(srcFormat);
    const int dstBytes = FBitDepth;
    // Equal 16-bit layouts have kernels of their own that give the quad route's result.
    const bool direct = srcBytes == dstBytes && (dstBytes != 2 || srcFormat == FPixFormat);
    const auto& table = doubleAlpha ? (FMMX ? RGBDoubleAlphaOutChannelTableMMX : RGBDoubleAlphaOutChannelTable)
                                    : (FMMX ? RGBAlphaOutChannelTableMMX : RGBAlphaOutChannelTable);
    TAlphaMapRow* kernel = KernelFor(table, direct ? FPixFormat : pf32_8888);

    TBlock a{static_cast<const std::uint8_t*>(under), underPitch, srcBytes};
    TBlock b{static_cast<const std::uint8_t*>(over), overPitch, srcBytes};
    TBlock m{alpha, alphaPitch, 1};
    const bool twoSources = under != nullptr;
    if (!(twoSources ? ClipEdges(x, y, w, h, {&a, &b, &m}) : ClipEdges(x, y, w, h, {&b, &m})))
        return true;
    const auto n = static_cast<unsigned>(w);
    const std::size_t quadBytes = std::size_t{n} * 4;
    Row overQuads, work;
    if (!direct && srcBytes != 4 && !MakeRow(overQuads, quadBytes))
        return false;
    if (!direct && dstBytes != 4 && !MakeRow(work, quadBytes))
        return false;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, a.p += a.pitch, b.p += b.pitch, m.p += m.pitch) {
            std::uint8_t* d = PixelAt(x, y + j);
            if (direct) {
                if (twoSources)
                    XeMemcpy(d, a.p, std::size_t{n} * dstBytes);
                kernel(d, b.p, m.p, n);
                continue;
            }
            std::uint8_t* row = dstBytes == 4 ? d : work.data();
            if (twoSources)
                srcToQuads(row, a.p, n);
            else if (dstBytes != 4)
                dstToQuads(row, d, n);
            const void* source = srcBytes == 4 ? b.p : srcToQuads(overQuads.data(), b.p, n);
            kernel(row, source, m.p, n);
            if (dstBytes != 4)
                quadsToDst(d, row, n);
        }
        return true;
    });
}

bool TXeRGBBits::XeAlphaMask(int x, int y, int w, int h, const void* src, int srcPitch, TPixFormat srcFormat)
{
    if (srcFormat != pf32_8888)
        return XeConvert(x, y, w, h, src, srcFormat, srcPitch);
    TRowConvert* dstToQuads = FCreated ? KernelFor(RGBQUADcpyFromTable, FPixFormat) : nullptr;
    TRowConvert* quadsToDst = FCreated ? KernelFor(RGBQUADcpyToTable, FPixFormat) : nullptr;
    if (!dstToQuads || !quadsToDst)
        return false;
    TAlphaInRow* kernel = FMMX ? RGBAlphaInChannel_MMX : RGBAlphaInChannel;
    TBlock s{static_cast<const std::uint8_t*>(src), srcPitch, 4};
    if (!ClipEdges(x, y, w, h, {&s}))
        return true;
    const auto n = static_cast<unsigned>(w);
    Row work;
    if (FBitDepth != bd32 && !MakeRow(work, std::size_t{n} * 4))
        return false;
    return WithLock([&] {
        for (int j = 0; j < h; ++j, s.p += s.pitch) {
            std::uint8_t* d = PixelAt(x, y + j);
            if (FBitDepth == bd32) {
                kernel(d, s.p, n);
            } else {
                kernel(dstToQuads(work.data(), d, n), s.p, n);
                quadsToDst(d, work.data(), n);
            }
        }
        return true;
    });
}
