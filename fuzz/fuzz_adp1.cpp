// Fuzzes the ZTAdpStream reader: every input is refused or decoded to its end without a fault.
#include "sound/ZTAdpStream.h"

#include "SoundFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecoder<ZTAdpStream>(data, size);
}
