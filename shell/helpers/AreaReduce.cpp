#include "shell/helpers/AreaReduce.h"

#include "graphics/kernels/VectorLoops.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <memory>
#include <numeric>
#include <type_traits>
#include <vector>

namespace {

// A source index and the part of it that one destination index covers, in units of gcd / dstSize
// of a source pixel (so that every destination index covers srcSize / gcd units in all).
struct Share {
    int index;
    std::uint32_t weight;
};

// The shares of every destination index j, listed from first[j] to first[j + 1]. Destination j
// covers [j x srcSize, (j + 1) x srcSize) when each source index is dstSize wide; both are
// multiples of the gcd, so the overlaps divide by it exactly.
struct Shares {
    std::vector<Share> list;
    std::vector<std::size_t> first;
    std::uint32_t total = 0; // units one destination index covers

    Shares(int srcSize, int dstSize)
    {
        const std::int64_t src = srcSize, dst = dstSize, unit = std::gcd(src, dst);
        total = static_cast<std::uint32_t>(src / unit);
        first.push_back(0);
        for (std::int64_t j = 0; j < dst; ++j) {
            const std::int64_t begin = j * src, end = begin + src;
            for (std::int64_t i = begin / dst; i * dst < end; ++i) {
                const std::int64_t covered = std::min(end, (i + 1) * dst) - std::max(begin, i * dst);
                list.push_back({static_cast<int>(i), static_cast<std::uint32_t>(covered / unit)});
            }
            first.push_back(list.size());
        }
    }
};

// Rounded division by a fixed divisor through a 64-bit reciprocal: the product's high half is
// the quotient or one short of it, which one comparison mends.
class RoundedDivision {
public:
    explicit RoundedDivision(std::uint64_t divisor) : divisor_(divisor), reciprocal_(~std::uint64_t{0} / divisor) {}
    std::uint8_t operator()(std::int64_t sum) const
    {
        const std::uint64_t n = static_cast<std::uint64_t>(sum) + divisor_ / 2;
        std::uint64_t q = static_cast<std::uint64_t>((static_cast<unsigned __int128>(n) * reciprocal_) >> 64);
        if ((q + 1) * divisor_ <= n)
            ++q;
        return static_cast<std::uint8_t>(q);
    }

private:
    std::uint64_t divisor_;
    std::uint64_t reciprocal_;
};

// Sets (the first row) or adds weight x row into sums; whole rows of bytes at once, loops the
// compiler vectorises, run in their AVX2 form where the processor has it.
template <typename Sum>
XE_VECTOR_BODY void SetRow(Sum* __restrict sums, const std::uint8_t* __restrict row, std::size_t bytes, Sum weight)
{
    for (std::size_t i = 0; i < bytes; ++i)
        sums[i] = static_cast<Sum>(weight * row[i]);
}

template <typename Sum>
XE_VECTOR_BODY void AddRow(Sum* __restrict sums, const std::uint8_t* __restrict row, std::size_t bytes, Sum weight)
{
    for (std::size_t i = 0; i < bytes; ++i)
        sums[i] = static_cast<Sum>(sums[i] + weight * row[i]);
}

// The column pass of one row of sums: per destination pixel, its blue, green and red sums
// weighted by the column shares.
template <typename Sum>
void Columns(const Sum* sums, const Shares& columns, int pixelBytes, int dstWidth, std::int64_t* out)
{
    for (int x = 0; x < dstWidth; ++x) {
        std::int64_t blue = 0, green = 0, red = 0;
        for (std::size_t k = columns.first[static_cast<std::size_t>(x)]; k < columns.first[static_cast<std::size_t>(x) + 1]; ++k) {
            const Sum* s = sums + static_cast<std::size_t>(columns.list[k].index) * static_cast<std::size_t>(pixelBytes);
            const std::int64_t weight = columns.list[k].weight;
            blue += weight * s[0];
            green += weight * s[1];
            red += weight * s[2];
        }
        out[x * 3] = blue;
        out[x * 3 + 1] = green;
        out[x * 3 + 2] = red;
    }
}

// The column pass for sums and weights below 2^15 and results below 2^31 (the usual sizes), straight
// to bytes: every destination pixel takes the same number of shares (the most any takes, the rest
// padded with weight 0), each multiplying a source pixel's four sums at once (one past the pixel is
// read, so the row has a spare sum).
class PackedColumns {
public:
    PackedColumns(const Shares& columns, int pixelBytes, std::uint64_t divisor)
        : half_(static_cast<double>(divisor / 2) + 0.5), reciprocal_(1.0 / static_cast<double>(divisor))
    {
        for (std::size_t x = 0; x + 1 < columns.first.size(); ++x)
            count_ = std::max(count_, columns.first[x + 1] - columns.first[x]);
        for (std::size_t x = 0; x + 1 < columns.first.size(); ++x)
            for (std::size_t k = 0; k < count_; ++k) {
                const std::size_t share = std::min(columns.first[x] + k, columns.first[x + 1] - 1);
                const bool real = columns.first[x] + k < columns.first[x + 1];
                offset_.push_back(static_cast<std::size_t>(columns.list[share].index) * static_cast<std::size_t>(pixelBytes));
                const auto weight = real ? static_cast<std::int32_t>(columns.list[share].weight) : 0;
                weight_.push_back({{weight, weight, weight, weight}});
            }
    }

    // Division in doubles: (sum + divisor / 2) / divisor is a whole number or lies at least
    // 1 / divisor below the next one, so adding 0.5 / divisor (the 0.5 in half_) and cutting off the
    // fraction gives its floor in both cases; the product's error (quotients below 256) is below
    // 2^-44, far under that margin (divisors below 2^31).
    void Run(const std::uint16_t* sums, std::uint8_t* out) const
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128d half = _mm_set1_pd(half_), reciprocal = _mm_set1_pd(reciprocal_);
        for (std::size_t first = 0; first < offset_.size(); first += count_, out += 3) {
            __m128i total = zero;
            for (std::size_t k = first; k < first + count_; ++k) {
                const __m128i four = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + offset_[k])), zero);
                const __m128i weight = _mm_load_si128(reinterpret_cast<const __m128i*>(weight_[k].lanes));
                total = _mm_add_epi32(total, _mm_madd_epi16(four, weight));
            }
            const __m128d lo = _mm_mul_pd(_mm_add_pd(_mm_cvtepi32_pd(total), half), reciprocal);
            const __m128d hi = _mm_mul_pd(_mm_add_pd(_mm_cvtepi32_pd(_mm_srli_si128(total, 8)), half), reciprocal);
            const __m128i quotients = _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
            alignas(16) std::int32_t lanes[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), quotients);
            out[0] = static_cast<std::uint8_t>(lanes[0]);
            out[1] = static_cast<std::uint8_t>(lanes[1]);
            out[2] = static_cast<std::uint8_t>(lanes[2]);
        }
    }

private:
    struct Lanes {
        alignas(16) std::int32_t lanes[4];
    };
    std::size_t count_ = 0;
    std::vector<std::size_t> offset_;
    std::vector<Lanes> weight_;
    double half_;
    double reciprocal_;
};

template <typename Sum>
bool Reduce(const std::uint8_t* src, int srcWidth, int srcPitch, int pixelBytes, std::uint8_t* dst, int dstWidth,
            int dstHeight, int dstPitch, const Shares& columns, const Shares& rows)
{
    const std::size_t rowBytes = static_cast<std::size_t>(srcWidth) * static_cast<std::size_t>(pixelBytes);
    const std::uint64_t largest = 255u * static_cast<std::uint64_t>(rows.total);
    const bool packed = std::is_same_v<Sum, std::uint16_t> && largest < 0x8000 && columns.total < 0x8000 &&
                        largest * columns.total < 0x80000000u;
    const std::uint64_t divisor = static_cast<std::uint64_t>(columns.total) * rows.total;
    std::vector<Sum> sums;
    std::vector<std::int64_t> channels;
    std::unique_ptr<PackedColumns> packedColumns;
    try {
        sums.resize(rowBytes + 4);
        if (packed)
            packedColumns = std::make_unique<PackedColumns>(columns, pixelBytes, divisor);
        else
            channels.resize(static_cast<std::size_t>(dstWidth) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const RoundedDivision divide(divisor);
    for (int y = 0; y < dstHeight; ++y) {
        // Rows first: the source rows one destination row covers into per-byte sums.
        const std::size_t firstRow = rows.first[static_cast<std::size_t>(y)];
        for (std::size_t r = firstRow; r < rows.first[static_cast<std::size_t>(y) + 1]; ++r) {
            const std::uint8_t* row = src + static_cast<std::ptrdiff_t>(srcPitch) * rows.list[r].index;
            const Sum weight = static_cast<Sum>(rows.list[r].weight);
            if (r == firstRow)
                XeVectorRun<&SetRow<Sum>>(sums.data(), row, rowBytes, weight);
            else
                XeVectorRun<&AddRow<Sum>>(sums.data(), row, rowBytes, weight);
        }
        // Then the columns of that one row.
        std::uint8_t* to = dst + static_cast<std::ptrdiff_t>(dstPitch) * y;
        if constexpr (std::is_same_v<Sum, std::uint16_t>) {
            if (packedColumns) {
                packedColumns->Run(sums.data(), to);
                continue;
            }
        }
        Columns<Sum>(sums.data(), columns, pixelBytes, dstWidth, channels.data());
        for (std::size_t i = 0; i < channels.size(); ++i)
            to[i] = divide(channels[i]);
    }
    return true;
}

bool ReduceFrom(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, int pixelBytes, std::uint8_t* dst,
                int dstWidth, int dstHeight, int dstPitch)
{
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return false;
    if (dstWidth > srcWidth || dstHeight > srcHeight)
        return false;
    try {
        const Shares columns(srcWidth, dstWidth);
        const Shares rows(srcHeight, dstHeight);
        // The row sums of a byte reach 255 x rows.total: 16 bits hold them for common sizes.
        if (255u * static_cast<std::uint64_t>(rows.total) <= 0xFFFF)
            return Reduce<std::uint16_t>(src, srcWidth, srcPitch, pixelBytes, dst, dstWidth, dstHeight, dstPitch,
                                         columns, rows);
        return Reduce<std::uint32_t>(src, srcWidth, srcPitch, pixelBytes, dst, dstWidth, dstHeight, dstPitch, columns,
                                     rows);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool ReduceRect24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                  int dstWidth, int dstHeight, int dstPitch)
{
    return ReduceFrom(src, srcWidth, srcHeight, srcPitch, 3, dst, dstWidth, dstHeight, dstPitch);
}

bool ReduceRect32To24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                      int dstWidth, int dstHeight, int dstPitch)
{
    return ReduceFrom(src, srcWidth, srcHeight, srcPitch, 4, dst, dstWidth, dstHeight, dstPitch);
}
