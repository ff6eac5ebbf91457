// The audio buffer contract's shared write.
#include "platform/audio/AudioBuffer.h"

#include <cstring>

namespace audio {

bool WriteWrapped(Buffer& buffer, std::uint32_t offset, const unsigned char* data, std::uint32_t size)
{
    LockedRegion first, second;
    if (!buffer.Lock(offset, size, first, second))
        return false;
    std::memcpy(first.data, data, first.bytes);
    if (second.bytes != 0)
        std::memcpy(second.data, data + first.bytes, second.bytes);
    buffer.Unlock(first, second);
    return true;
}

} // namespace audio
