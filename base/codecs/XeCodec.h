// The callback contract shared by the block-sorting and LZ codecs: where input comes from, where
// output goes, how progress is told, and the frame every call runs in.
#pragma once

#include <exception>
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

// The frame of every codec call: a call made on an object whose call is still running (from one of
// its callbacks) fails, and an exception from a callback (or a lack of memory) fails the call
// instead of leaving it. `pass` does the work; `finish` runs after it whatever happened.
template <typename Pass, typename Finish> bool RunCodecCall(bool& busy, Pass&& pass, Finish&& finish)
{
    if (busy)
        return false;
    busy = true;
    bool ok = false;
    try {
        ok = pass();
    } catch (const std::exception&) {
        ok = false;
    }
    finish();
    busy = false;
    return ok;
}
