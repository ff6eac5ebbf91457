// The callback contract shared by the block-sorting and LZ codecs: where input comes from, where
// output goes, and how progress is told.
#pragma once

#include <functional>

// Puts exactly `size` input bytes into `buffer`; false when they cannot be had.
using TCodecRead = std::function<bool(unsigned char* buffer, int size)>;
// Takes `size` output bytes from `buffer`; false when they cannot be stored.
using TCodecWrite = std::function<bool(const unsigned char* buffer, int size)>;
// Told the percentage of the input done; may be left empty.
using TCodecProgress = std::function<void(int percent)>;

// done × 100 / total without overflow; 100 when total is below 1.
inline int CodecPercent(long long done, long long total)
{
    return total < 1 ? 100 : static_cast<int>(done * 100 / total);
}
