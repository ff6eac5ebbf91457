// Shared body of the codec fuzz targets: decodes outside bytes (the first four give the plain size) and
// checks that the input itself survives a round trip through the encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace CodecFuzz {

using Bytes = std::vector<unsigned char>;

struct Reader {
    const std::uint8_t* data;
    int size;
    int at = 0;
    bool operator()(unsigned char* buffer, int n)
    {
        if (n < 0 || n > size - at)
            return false;
        std::memcpy(buffer, data + at, static_cast<std::size_t>(n));
        at += n;
        return true;
    }
};

struct Writer {
    Bytes* out;
    bool operator()(const unsigned char* buffer, int n)
    {
        out->insert(out->end(), buffer, buffer + n);
        return true;
    }
};

template <typename Decoder, typename Encoder>
int Run(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const int plainSize = static_cast<int>((data[0] | data[1] << 8 | data[2] << 16) & 0xFFFFF);
    Bytes out;
    Decoder decoder;
    if (decoder.Decode(static_cast<int>(size) - 4, plainSize, Reader{data + 4, static_cast<int>(size) - 4}, Writer{&out}, nullptr) &&
        static_cast<int>(out.size()) != plainSize)
        __builtin_trap();

    Bytes coded, back;
    Encoder encoder;
    const int n = static_cast<int>(size);
    if (!encoder.Encode(n, 2 * n + 64, Reader{data, n}, Writer{&coded}, nullptr))
        __builtin_trap();
    Decoder fresh;
    if (!fresh.Decode(static_cast<int>(coded.size()), n, Reader{coded.data(), static_cast<int>(coded.size())}, Writer{&back}, nullptr) ||
        back != Bytes(data, data + size))
        __builtin_trap();
    return 0;
}

} // namespace CodecFuzz
