// Fuzzes the LZ decoder on outside bytes, and the round trip of the input through its encoder.
#include "base/codecs/TTovanu.h"

#include "CodecFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return CodecFuzz::Run<TTovanuDecode, TTovanuEncode>(data, size);
}
