#include "shell/helpers/AreaReduce.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

namespace {

// A source index and the part of it (in units of 1/dstSize of a source pixel) that one destination
// index covers.
struct Share {
    int index;
    std::uint32_t weight;
};

// Destination index j covers source units [j x srcSize, (j + 1) x srcSize) when each source index
// is dstSize units wide; the shares of every j, listed from `first[j]` to `first[j + 1]`.
void Shares(int srcSize, int dstSize, std::vector<Share>& shares, std::vector<std::size_t>& first)
{
    shares.clear();
    first.assign(1, 0);
    const std::int64_t src = srcSize, dst = dstSize;
    for (std::int64_t j = 0; j < dst; ++j) {
        const std::int64_t begin = j * src, end = begin + src;
        for (std::int64_t i = begin / dst; i * dst < end; ++i) {
            const std::int64_t covered = std::min(end, (i + 1) * dst) - std::max(begin, i * dst);
            shares.push_back({static_cast<int>(i), static_cast<std::uint32_t>(covered)});
        }
        first.push_back(shares.size());
    }
}

} // namespace

bool ReduceRect24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                  int dstWidth, int dstHeight, int dstPitch)
{
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return false;
    if (dstWidth > srcWidth || dstHeight > srcHeight)
        return false;
    std::vector<Share> columns, rows;
    std::vector<std::size_t> columnFirst, rowFirst;
    // Per channel of a source row, the weighted sum of the source rows one destination row covers.
    std::vector<std::uint32_t> sums;
    try {
        Shares(srcWidth, dstWidth, columns, columnFirst);
        Shares(srcHeight, dstHeight, rows, rowFirst);
        sums.resize(static_cast<std::size_t>(srcWidth) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Every destination pixel covers srcWidth x srcHeight units in all.
    const std::uint64_t total = static_cast<std::uint64_t>(srcWidth) * static_cast<std::uint64_t>(srcHeight);
    const std::size_t rowBytes = sums.size();
    for (int y = 0; y < dstHeight; ++y) {
        // Columns first: whole source rows into the sums, a loop the compiler vectorises.
        std::fill(sums.begin(), sums.end(), 0u);
        for (std::size_t r = rowFirst[static_cast<std::size_t>(y)]; r < rowFirst[static_cast<std::size_t>(y) + 1]; ++r) {
            const std::uint8_t* from = src + static_cast<std::ptrdiff_t>(srcPitch) * rows[r].index;
            const std::uint32_t weight = rows[r].weight;
            for (std::size_t i = 0; i < rowBytes; ++i)
                sums[i] += weight * from[i];
        }
        std::uint8_t* to = dst + static_cast<std::ptrdiff_t>(dstPitch) * y;
        for (int x = 0; x < dstWidth; ++x) {
            std::uint64_t channel[3] = {0, 0, 0};
            for (std::size_t k = columnFirst[static_cast<std::size_t>(x)]; k < columnFirst[static_cast<std::size_t>(x) + 1]; ++k) {
                const std::uint32_t* s = &sums[static_cast<std::size_t>(columns[k].index) * 3];
                for (int c = 0; c < 3; ++c)
                    channel[c] += static_cast<std::uint64_t>(columns[k].weight) * s[c];
            }
            for (int c = 0; c < 3; ++c)
                to[x * 3 + c] = static_cast<std::uint8_t>((channel[c] + total / 2) / total);
        }
    }
    return true;
}
