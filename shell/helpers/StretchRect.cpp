#include "shell/helpers/StretchRect.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// One step of the walk: the source and destination index it visits.
struct StepPair {
    int src;
    int dst;
};

// The pairs a row (or the rows) of the stretch visit, in order.
std::vector<StepPair> StepPairs(int srcSize, int dstSize)
{
    const int steps = std::max(srcSize, dstSize);
    std::vector<StepPair> pairs(static_cast<std::size_t>(steps));
    int s = 0, d = 0, srcAcc = 0, dstAcc = 0;
    for (StepPair& pair : pairs) {
        pair = {s, d};
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
    return pairs;
}

// For a copy only the last source index visited with each destination index counts.
std::vector<int> LastSourceOf(int srcSize, int dstSize)
{
    std::vector<int> last(static_cast<std::size_t>(dstSize));
    for (const StepPair& pair : StepPairs(srcSize, dstSize))
        last[static_cast<std::size_t>(pair.dst)] = pair.src;
    return last;
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

template <int Bytes>
void StretchCopy(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst, int dstWidth,
                 int dstHeight, int dstPitch)
{
    if (Empty(srcWidth, srcHeight, dstWidth, dstHeight))
        return;
    const std::vector<int> columns = LastSourceOf(srcWidth, dstWidth);
    const std::vector<int> rows = LastSourceOf(srcHeight, dstHeight);
    for (int y = 0; y < dstHeight; ++y) {
        const std::uint8_t* from = Row(src, srcPitch, rows[static_cast<std::size_t>(y)]);
        std::uint8_t* to = Row(dst, dstPitch, y);
        for (int x = 0; x < dstWidth; ++x)
            std::memcpy(to + x * Bytes, from + columns[static_cast<std::size_t>(x)] * Bytes, Bytes);
    }
}

template <int Bytes>
void StretchBlend(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst, int dstWidth,
                  int dstHeight, int dstPitch)
{
    if (Empty(srcWidth, srcHeight, dstWidth, dstHeight))
        return;
    const std::vector<StepPair> columns = StepPairs(srcWidth, dstWidth);
    for (const StepPair& row : StepPairs(srcHeight, dstHeight)) {
        const std::uint8_t* from = Row(src, srcPitch, row.src);
        std::uint8_t* to = Row(dst, dstPitch, row.dst);
        for (const StepPair& column : columns) {
            const std::uint8_t* s = from + column.src * Bytes;
            std::uint8_t* d = to + column.dst * Bytes;
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<std::uint8_t>((3 * d[c] + s[c]) >> 2);
            if constexpr (Bytes == 4)
                d[3] = 0;
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
    StretchBlend<3>(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}

void StretchBlendRect32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                        int dstWidth, int dstHeight, int dstPitch)
{
    StretchBlend<4>(src, srcWidth, srcHeight, srcPitch, dst, dstWidth, dstHeight, dstPitch);
}
