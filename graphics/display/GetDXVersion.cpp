// GetDXVersion: which display generation the machine offers, asked before the display is opened.
#include "graphics/display/GetDXVersion.h"

#include "platform/video/VideoDevice.h"

namespace {

// The generation whose display interface the library is written against.
constexpr unsigned long kDisplayVersion = 0x700;

} // namespace

unsigned long GetDXVersion(video::BackEnd& backEnd)
{
    return video::Device::Create(backEnd) != nullptr ? kDisplayVersion : 0;
}

unsigned long GetDXVersion()
{
    return GetDXVersion(video::DefaultBackEnd());
}
