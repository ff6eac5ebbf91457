// Fuzzes the range decoder on outside bytes, and checks that the input itself survives a round trip.
#include "base/codecs/TRangeCoder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int n = static_cast<int>(size);
    std::vector<unsigned char> out(size * 4 + 16);
    TRangeDecode decoder;
    decoder.CreateBuffer();
    if (decoder.Decode(data, out.data(), static_cast<int>(out.size()), n) && decoder.OutSize() > static_cast<int>(out.size()))
        __builtin_trap();

    TRangeEncode encoder;
    encoder.CreateBuffer();
    if (!encoder.Encode(data, out.data(), static_cast<int>(out.size()), n))
        __builtin_trap();
    std::vector<unsigned char> back(size + 1);
    TRangeDecode fresh;
    fresh.CreateBuffer();
    if (!fresh.Decode(out.data(), back.data(), n, encoder.OutSize()) || fresh.OutSize() != n ||
        (n > 0 && std::memcmp(back.data(), data, size) != 0))
        __builtin_trap();
    return 0;
}
