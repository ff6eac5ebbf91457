// Fuzzes the ZTOggStream reader: every input is refused or decoded to its end without a fault.
#include "sound/ZTOggStream.h"

#include "SoundFuzzInput.h"

// libvorbisfile 1.3.7 drops its list of stream serial numbers when it refuses a stream whose
// headers break off after the first page (a 16-byte block per refusal, inside the library).
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecoder<ZTOggStream>(data, size);
}
