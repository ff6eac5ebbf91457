// Fuzzes the block-sorting decoder on outside bytes, and the round trip of the input through its encoder.
#include "base/codecs/TBrisane.h"

#include "CodecFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return CodecFuzz::Run<TBrisaneDecode, TBrisaneMiniEncode>(data, size);
}
