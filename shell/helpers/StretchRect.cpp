#include "shell/helpers/StretchRect.h"

#include "graphics/kernels/VectorLoops.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Pixels of 4 bytes read and written in place, whatever the bytes' declared type.
using Pixel32 [[gnu::may_alias]] = std::uint32_t;

// The source indices a destination index meets, in step order: they are consecutive, from `first`.
struct Span {
    int first = 0;
    int count = 0;
};

// Walks max(source, destination) steps; each visits the pair (source index, destination index) and
// then advances either index when its accumulator reaches the step count. Enlarging meets each
// destination index once; reducing meets it with a run of consecutive source indices.
std::vector<Span> Spans(int srcSize, int dstSize)
{
    const int steps = std::max(srcSize, dstSize);
    std::vector<Span> spans(static_cast<std::size_t>(dstSize));
    int s = 0, d = 0, srcAcc = 0, dstAcc = 0;
    for (int i = 0; i < steps; ++i) {
        Span& span = spans[static_cast<std::size_t>(d)];
        if (span.count++ == 0)
            span.first = s;
        srcAcc += srcSize;
        if (srcAcc >= steps) {
            srcAcc -= steps;
            ++s;
        }
        dstAcc += dstSize;
        if (dstAcc >= steps) {
            dstAcc -= steps;
            ++d;
        }
    }
    return spans;
}

// The last source index each destination index meets: the one a copy keeps.
std::vector<int> Lasts(const std::vector<Span>& spans)
{
    std::vector<int> lasts(spans.size());
    for (std::size_t i = 0; i < spans.size(); ++i)
        lasts[i] = spans[i].first + spans[i].count - 1;
    return lasts;
}

// Stretches close to 1:1 pick long runs of consecutive source columns; such a row is worked run by
// run with plain loads, which beats gathering pixel by pixel once runs average this many pixels.
constexpr int kRunWorthwhile = 8;

struct Run {
    int dst;
    int src;
    int count;
};

std::vector<Run> RunsOf(const std::vector<int>& columns)
{
    std::vector<Run> runs;
    for (int x = 0; x < static_cast<int>(columns.size()); ++x) {
        const int s = columns[static_cast<std::size_t>(x)];
        if (!runs.empty() && runs.back().src + runs.back().count == s)
            ++runs.back().count;
        else
            runs.push_back({x, s, 1});
    }
    return runs;
}

const std::uint8_t* Row(const std::uint8_t* first, int pitch, int y)
{
    return first + static_cast<std::ptrdiff_t>(pitch) * y;
}

std::uint8_t* Row(std::uint8_t* first, int pitch, int y)
{
    return first + static_cast<std::ptrdiff_t>(pitch) * y;
}

bool Empty(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
{
    return srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0;
}

// (3 x d + s) >> 2 in each byte of a 4-byte pixel, the fourth byte made 0: the even and the odd
// bytes are worked in 16-bit lanes, which cannot carry into each other.
inline std::uint32_t Quarter32(std::uint32_t d, std::uint32_t s)
{
    constexpr std::uint32_t kLanes = 0x00FF00FF;
    const std::uint32_t even = ((d & kLanes) * 3 + (s & kLanes)) >> 2 & kLanes;
    const std::uint32_t odd = (((d >> 8) & kLanes) * 3 + ((s >> 8) & kLanes)) >> 2 & kLanes;
    return (even | odd << 8) & 0x00FFFFFF;
}

// One destination row of 4-byte pixels blended with the source pixels the indices pick.
XE_VECTOR_BODY void QuarterGatherRow32(Pixel32* __restrict dst, const Pixel32* __restrict src,
                                       const int* __restrict columns, int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = Quarter32(dst[x], src[columns[x]]);
}

// The same for a later pass, in which only the columns whose `takes` word is all ones take part.
XE_VECTOR_BODY void QuarterGatherPassRow32(Pixel32* __restrict dst, const Pixel32* __restrict src,
                                           const int* __restrict columns, const std::uint32_t* __restrict takes,
                                           int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = (Quarter32(dst[x], src[columns[x]]) & takes[x]) | (dst[x] & ~takes[x]);
}

// A run of destination pixels whose source pixels follow each other: blended with plain loads.
XE_VECTOR_BODY void QuarterRunRow32(Pixel32* __restrict dst, const Pixel32* __restrict src, int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = Quarter32(dst[x], src[x]);
}

XE_VECTOR_BODY void CopyGatherRow32(Pixel32* __restrict dst, const Pixel32* __restrict src,
                                    const int* __restrict columns, int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = src[columns[x]];
}

// 3-byte pixels: the source pixels gathered into a row first, then blended byte by byte.
XE_VECTOR_BODY void QuarterRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        dst[i] = static_cast<std::uint8_t>((3 * dst[i] + src[i]) >> 2);
}

void Quarter24(std::uint8_t* d, const std::uint8_t* s)
{
    for (int c = 0; c < 3; ++c)
        d[c] = static_cast<std::uint8_t>((3 * d[c] + s[c]) >> 2);
}

template <int Bytes>
void StretchCopy(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst, int dstWidth,
                 int dstHeight, int dstPitch)
{
    if (Empty(srcWidth, srcHeight, dstWidth, dstHeight))
        return;
    const std::vector<int> columns = Lasts(Spans(srcWidth, dstWidth));
    const std::vector<int> rows = Lasts(Spans(srcHeight, dstHeight));
    for (int y = 0; y < dstHeight; ++y) {
        const std::uint8_t* from = Row(src, srcPitch, rows[static_cast<std::size_t>(y)]);
        std::uint8_t* to = Row(dst, dstPitch, y);
        if constexpr (Bytes == 4) {
            XeVectorRun<&CopyGatherRow32>(reinterpret_cast<Pixel32*>(to), reinterpret_cast<const Pixel32*>(from),
                                           columns.data(), dstWidth);
        } else {
            for (int x = 0; x < dstWidth; ++x)
                std::memcpy(to + x * Bytes, from + columns[static_cast<std::size_t>(x)] * Bytes, Bytes);
        }
    }
}

// The source columns of a blend in passes: pass j blends each destination column with the (j + 1)-th
// source column it meets, so that every pixel takes its source pixels in their order. The first pass
// takes every column; a later one only those whose `takes` word is all ones (the others read their
// last source column and leave the pixel as it was).
struct ColumnPasses {
    std::vector<std::vector<int>> columns;
    std::vector<std::vector<std::uint32_t>> takes;
};

ColumnPasses PassesOf(const std::vector<Span>& spans)
{
    int passes = 0;
    for (const Span& span : spans)
        passes = std::max(passes, span.count);
    ColumnPasses out;
    for (int j = 0; j < passes; ++j) {
        std::vector<int> columns;
        std::vector<std::uint32_t> takes;
        for (const Span& span : spans) {
            columns.push_back(span.first + std::min(j, span.count - 1));
            takes.push_back(j < span.count ? ~0u : 0u);
        }
        out.columns.push_back(std::move(columns));
        out.takes.push_back(std::move(takes));
    }
    return out;
}

// Every destination row is blended with each source row it meets, in order, a whole row at a time.
void StretchBlend32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                    int dstWidth, int dstHeight, int dstPitch)
{
    const ColumnPasses passes = PassesOf(Spans(srcWidth, dstWidth));
    const std::vector<Run> runs = RunsOf(passes.columns[0]);
    const bool byRuns = static_cast<int>(runs.size()) * kRunWorthwhile <= dstWidth;
    const std::vector<Span> rowSpans = Spans(srcHeight, dstHeight);
    for (int y = 0; y < dstHeight; ++y) {
        auto* to = reinterpret_cast<Pixel32*>(Row(dst, dstPitch, y));
        const Span rows = rowSpans[static_cast<std::size_t>(y)];
        for (int r = rows.first; r < rows.first + rows.count; ++r) {
            const auto* from = reinterpret_cast<const Pixel32*>(Row(src, srcPitch, r));
            if (byRuns)
                for (const Run& run : runs)
                    XeVectorRun<&QuarterRunRow32>(to + run.dst, from + run.src, run.count);
            else
                XeVectorRun<&QuarterGatherRow32>(to, from, passes.columns[0].data(), dstWidth);
            for (std::size_t j = 1; j < passes.columns.size(); ++j)
                XeVectorRun<&QuarterGatherPassRow32>(to, from, passes.columns[j].data(), passes.takes[j].data(),
                                                     dstWidth);
        }
    }
}

// 3-byte pixels: each source row's first source pixels are gathered into a row and blended in one
// run; the few destination pixels that meet more (reductions) then take the others, in their order.
void StretchBlend24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                    int dstWidth, int dstHeight, int dstPitch)
{
    const std::vector<Span> columnSpans = Spans(srcWidth, dstWidth);
    std::vector<int> repeated;
    for (int x = 0; x < dstWidth; ++x)
        if (columnSpans[static_cast<std::size_t>(x)].count > 1)
            repeated.push_back(x);
    std::vector<std::uint8_t> gathered(static_cast<std::size_t>(dstWidth) * 3);
    const std::vector<Span> rowSpans = Spans(srcHeight, dstHeight);
    for (int y = 0; y < dstHeight; ++y) {
        std::uint8_t* to = Row(dst, dstPitch, y);
        const Span rows = rowSpans[static_cast<std::size_t>(y)];
        for (int r = rows.first; r < rows.first + rows.count; ++r) {
            const std::uint8_t* from = Row(src, srcPitch, r);
            for (int x = 0; x < dstWidth; ++x)
                std::memcpy(&gathered[static_cast<std::size_t>(x) * 3],
                            from + columnSpans[static_cast<std::size_t>(x)].first * 3, 3);
            XeVectorRun<&QuarterRow>(to, gathered.data(), dstWidth * 3);
            for (const int x : repeated) {
                const Span span = columnSpans[static_cast<std::size_t>(x)];
                for (int s = span.first + 1; s < span.first + span.count; ++s)
                    Quarter24(to + x * 3, from + s * 3);
            }
        }
    }
}

} // namespace

void StretchRect8(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst, int dstWidth,
                  int dstHeight, int dstPitch)
{
    StretchCopy<1>(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void StretchRect16(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                   int dstWidth, int dstHeight, int dstPitch)
{
    StretchCopy<3>(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void StretchRect32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                   int dstWidth, int dstHeight, int dstPitch)
{
    StretchCopy<4>(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void StretchBlendRect24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                        int dstWidth, int dstHeight, int dstPitch)
{
    if (!Empty(srcWidth, srcHeight, dstWidth, dstHeight))
        StretchBlend24(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void StretchBlendRect32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                        int dstWidth, int dstHeight, int dstPitch)
{
    if (!Empty(srcWidth, srcHeight, dstWidth, dstHeight))
        StretchBlend32(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}
