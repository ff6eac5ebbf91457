// Fuzzes the range decoder on outside bytes, and checks that the input itself survives a round trip
// and codes to the same stream whatever room the encoder is given.
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
    // Room for exactly the stream, or one byte less, takes the encoder's careful path: the same
    // bytes, or a refusal.
    if (n > 0) {
        const int length = encoder.OutSize();
        std::vector<unsigned char> exact(static_cast<std::size_t>(length));
        TRangeEncode tight;
        tight.CreateBuffer();
        if (tight.Encode(data, exact.data(), length - 1, n))
            __builtin_trap();
        tight.Initialize();
        if (!tight.Encode(data, exact.data(), length, n) || std::memcmp(exact.data(), out.data(), exact.size()) != 0)
            __builtin_trap();
    }
    std::vector<unsigned char> back(size + 1);
    TRangeDecode fresh;
    fresh.CreateBuffer();
    if (!fresh.Decode(out.data(), back.data(), n, encoder.OutSize()) || fresh.OutSize() != n ||
        (n > 0 && std::memcmp(back.data(), data, size) != 0))
        __builtin_trap();
    return 0;
}
