#include "shell/helpers/StretchRect.h"

#include "graphics/kernels/VectorLoops.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>
#if defined(XE_HAVE_AVX2)
#include <immintrin.h>
#endif

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

// A row of 4-byte pixels blended with a row of source pixels.
XE_VECTOR_BODY void QuarterRunRow32(Pixel32* __restrict dst, const Pixel32* __restrict src, int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = Quarter32(dst[x], src[x]);
}

// The same for a later pass, in which only the columns whose `takes` word is all ones take part.
XE_VECTOR_BODY void QuarterPassRow32(Pixel32* __restrict dst, const Pixel32* __restrict src,
                                     const std::uint32_t* __restrict takes, int count)
{
    for (int x = 0; x < count; ++x)
        dst[x] = (Quarter32(dst[x], src[x]) & takes[x]) | (dst[x] & ~takes[x]);
}

// out[x] = src[columns[x]] for x from first to count - 1.
void GatherColumnsPlain(Pixel32* __restrict out, const Pixel32* __restrict src, const int* __restrict columns,
                        int first, int count)
{
    for (int x = first; x < count; ++x)
        out[x] = src[columns[x]];
}

#if defined(XE_HAVE_AVX2)
// Eight pixels at a time whose columns lie within 16 of the first: picked out of two plain loads
// by lane permutes. The processor's gather would do, but it is microcoded and several times slower
// on some processors; the zooms' columns always lie this close, as they stretch by less than 2.
XE_AVX2 void GatherColumnsAvx2(Pixel32* out, const Pixel32* src, const int* columns, int count, int srcWidth)
{
    const __m256i outside = _mm256_set1_epi32(~15);
    const __m256i seven = _mm256_set1_epi32(7);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const int first = columns[x];
        const __m256i index = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + x)),
                                               _mm256_set1_epi32(first));
        if (first + 16 > srcWidth || !_mm256_testz_si256(index, outside)) {
            GatherColumnsPlain(out, src, columns, x, x + 8);
            continue;
        }
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + first));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + first + 8));
        const __m256i picked = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(lo, index),
                                                  _mm256_permutevar8x32_epi32(hi, index),
                                                  _mm256_cmpgt_epi32(index, seven));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), picked);
    }
    GatherColumnsPlain(out, src, columns, x, count);
}
#endif

// out[x] = src[columns[x]] for x < count, the columns lying inside a source row of srcWidth pixels.
void GatherColumns(Pixel32* out, const Pixel32* src, const int* columns, int count, int srcWidth)
{
#if defined(XE_HAVE_AVX2)
    if (XeHasAvx2()) {
        GatherColumnsAvx2(out, src, columns, count, srcWidth);
        return;
    }
#endif
    GatherColumnsPlain(out, src, columns, 0, count);
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
            GatherColumns(reinterpret_cast<Pixel32*>(to), reinterpret_cast<const Pixel32*>(from), columns.data(),
                          dstWidth, srcWidth);
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

// Destination pixels first..end - 1 blended with one source row, its columns in pass order.
void BlendPixels32(Pixel32* to, const Pixel32* from, const ColumnPasses& passes, int first, int end)
{
    for (int x = first; x < end; ++x) {
        const auto i = static_cast<std::size_t>(x);
        for (std::size_t j = 0; j < passes.columns.size(); ++j)
            if (j == 0 || passes.takes[j][i] != 0)
                to[x] = Quarter32(to[x], from[passes.columns[j][i]]);
    }
}

#if defined(XE_HAVE_AVX2)
// Quarter32 on eight pixels.
XE_AVX2 inline __m256i Quarter8(__m256i d, __m256i s)
{
    const __m256i lanes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i de = _mm256_and_si256(d, lanes);
    const __m256i dodd = _mm256_and_si256(_mm256_srli_epi32(d, 8), lanes);
    const __m256i even = _mm256_add_epi32(_mm256_add_epi32(de, _mm256_add_epi32(de, de)), _mm256_and_si256(s, lanes));
    const __m256i odd = _mm256_add_epi32(_mm256_add_epi32(dodd, _mm256_add_epi32(dodd, dodd)),
                                         _mm256_and_si256(_mm256_srli_epi32(s, 8), lanes));
    const __m256i e = _mm256_and_si256(_mm256_srli_epi32(even, 2), lanes);
    const __m256i o = _mm256_and_si256(_mm256_srli_epi32(odd, 2), lanes);
    return _mm256_and_si256(_mm256_or_si256(e, _mm256_slli_epi32(o, 8)), _mm256_set1_epi32(0x00FFFFFF));
}

// A reduction by less than 2 in one go per source row: each destination pixel meets one source
// pixel, or two neighbours (where `takes`), both picked from one window of sixteen. Returns the
// first pixel not done, from which the row-at-a-time passes go on.
XE_AVX2 int BlendPairsAvx2(Pixel32* to, const Pixel32* from, const int* columns, const std::uint32_t* takes,
                           int count, int srcWidth)
{
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i seven = _mm256_set1_epi32(7);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const int first = columns[x];
        const __m256i index = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns + x)),
                                               _mm256_set1_epi32(first));
        const __m256i next = _mm256_add_epi32(index, one);
        if (first + 16 > srcWidth || !_mm256_testz_si256(_mm256_or_si256(index, next), _mm256_set1_epi32(~15)))
            break;
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + first));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + first + 8));
        const __m256i s0 = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(lo, index),
                                              _mm256_permutevar8x32_epi32(hi, index), _mm256_cmpgt_epi32(index, seven));
        const __m256i s1 = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(lo, next),
                                              _mm256_permutevar8x32_epi32(hi, next), _mm256_cmpgt_epi32(next, seven));
        const __m256i d = Quarter8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(to + x)), s0);
        const __m256i take = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(takes + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x), _mm256_blendv_epi8(d, Quarter8(d, s1), take));
    }
    return x;
}
#endif

// Every destination row is blended with each source row it meets, in order, a whole row at a time.
void StretchBlend32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                    int dstWidth, int dstHeight, int dstPitch)
{
    const ColumnPasses passes = PassesOf(Spans(srcWidth, dstWidth));
    const std::vector<Run> runs = RunsOf(passes.columns[0]);
    const bool byRuns = static_cast<int>(runs.size()) * kRunWorthwhile <= dstWidth;
    const std::vector<Span> rowSpans = Spans(srcHeight, dstHeight);
    std::vector<std::uint32_t> gathered(static_cast<std::size_t>(dstWidth));
#if defined(XE_HAVE_AVX2)
    const bool pairs = passes.columns.size() == 2 && XeHasAvx2();
#endif
    for (int y = 0; y < dstHeight; ++y) {
        auto* to = reinterpret_cast<Pixel32*>(Row(dst, dstPitch, y));
        const Span rows = rowSpans[static_cast<std::size_t>(y)];
        for (int r = rows.first; r < rows.first + rows.count; ++r) {
            const auto* from = reinterpret_cast<const Pixel32*>(Row(src, srcPitch, r));
#if defined(XE_HAVE_AVX2)
            if (pairs) {
                const int done = BlendPairsAvx2(to, from, passes.columns[0].data(), passes.takes[1].data(), dstWidth,
                                                srcWidth);
                BlendPixels32(to, from, passes, done, dstWidth);
                continue;
            }
#endif
            if (byRuns) {
                for (const Run& run : runs)
                    XeVectorRun<&QuarterRunRow32>(to + run.dst, from + run.src, run.count);
            } else {
                GatherColumns(gathered.data(), from, passes.columns[0].data(), dstWidth, srcWidth);
                XeVectorRun<&QuarterRunRow32>(to, gathered.data(), dstWidth);
            }
            for (std::size_t j = 1; j < passes.columns.size(); ++j) {
                GatherColumns(gathered.data(), from, passes.columns[j].data(), dstWidth, srcWidth);
                XeVectorRun<&QuarterPassRow32>(to, gathered.data(), passes.takes[j].data(), dstWidth);
            }
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
