// Fuzzes the ZTWaveStream reader: every input is refused or decoded to its end without a fault.
#include "sound/ZTWaveStream.h"

#include "SoundFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecoder<ZTWaveStream>(data, size);
}
