// Fuzzes the ZTMp3Stream reader: every input is refused or decoded to its end without a fault.
#include "sound/ZTMp3Stream.h"

#include "SoundFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecoder<ZTMp3Stream>(data, size);
}
