// Device: the video service's entry point, bound to a host window, that makes surfaces and lists display modes.
#include "platform/video/VideoDevice.h"

#include "platform/video/DeviceCore.h"
#include "platform/video/VideoBackEnd.h"

#include <array>
#include <new>

namespace video {

std::unique_ptr<Device> Device::Create(BackEnd& backEnd)
{
    if (!backEnd.Start())
        return nullptr;
    return std::make_unique<Device>(backEnd);
}

Device::Device(BackEnd& backEnd) : core_(std::make_shared<DeviceCore>(backEnd)) {}

Device::~Device()
{
    if (core_->exclusive && core_->window != nullptr)
        core_->window->SetFullScreen(false, 0, 0);
    core_->released = true;
}

BackEnd& Device::Back() const
{
    return core_->backEnd;
}

Result Device::SetCooperativeLevel(VideoWindow* window, bool fullScreen)
{
    if (window == nullptr && fullScreen)
        return Result::WrongMode;
    if (core_->exclusive && !fullScreen && core_->window != nullptr)
        core_->window->SetFullScreen(false, 0, 0);
    core_->window = window;
    core_->levelSet = true;
    core_->exclusive = fullScreen;
    core_->modeSet = false;
    return Result::Ok;
}

Result Device::SetDisplayMode(int width, int height, int bitCount, int)
{
    if (!core_->exclusive)
        return Result::WrongMode;
    for (const DisplayModeDesc& mode : core_->backEnd.DisplayModes())
        if (mode.width == width && mode.height == height && mode.layout.bitCount == bitCount && bitCount != 8) {
            core_->modeSet = true;
            core_->modeSize = {width, height};
            core_->modeLayout = mode.layout;
            core_->window->SetFullScreen(true, width, height);
            return Result::Ok;
        }
    return Result::Refused;
}

Result Device::CreatePrimary(int backBuffers, std::shared_ptr<Surface>& primary)
{
    primary.reset();
    if (!core_->levelSet || core_->window == nullptr || backBuffers < 0)
        return Result::WrongMode;
    if (!core_->primary.expired())
        return Result::Refused;
    VideoWindow& window = *core_->window;
    const bool windowed = !core_->exclusive;
    if (windowed && backBuffers > 0)
        return Result::WrongMode;
    if (!windowed && !core_->modeSet)
        return Result::WrongMode;
    if (backBuffers > core_->backEnd.MaxBackBuffers())
        return Result::Refused;
    const Size size = windowed ? window.ScreenSize() : core_->modeSize;
    const PixelLayout layout = core_->DisplayLayout();
    const std::uint64_t bytes = PictureBytes(size.width, size.height, layout) * static_cast<std::uint64_t>(backBuffers + 1);
    if (bytes == 0)
        return Result::Failed;
    // The window's primary is the desktop's own memory; a full-screen chain takes video memory.
    if (!windowed && !core_->TakeVideoMemory(bytes))
        return Result::OutOfVideoMemory;
    try {
        auto chain = std::make_shared<FlipChain>(core_, backBuffers + 1, size, layout, windowed);
        chain->videoBytes = windowed ? 0 : bytes;
        const Size picture = windowed ? window.ClientSize() : size;
        window.Front().Reset(picture.width, picture.height, layout);
        window.FrontChanged();
        core_->primary = chain;
        primary = std::make_shared<Surface>(core_, std::move(chain), 0);
        return Result::Ok;
    } catch (const std::bad_alloc&) {
        if (!windowed)
            core_->GiveVideoMemory(bytes);
        return Result::Failed;
    }
}

Result Device::CreateOffScreen(int width, int height, const PixelLayout* layout, bool videoMemory,
                               std::shared_ptr<Surface>& surface)
{
    surface.reset();
    const PixelLayout chosen = layout != nullptr ? *layout : core_->DisplayLayout();
    const std::uint64_t bytes = PictureBytes(width, height, chosen);
    if (bytes == 0)
        return Result::InvalidFormat;
    if (videoMemory && !core_->TakeVideoMemory(bytes))
        return Result::OutOfVideoMemory;
    try {
        surface = std::make_shared<Surface>(core_, std::make_unique<Storage>(width, height, chosen), videoMemory);
        return Result::Ok;
    } catch (const std::bad_alloc&) {
        if (videoMemory)
            core_->GiveVideoMemory(bytes);
        return Result::Failed;
    }
}

std::shared_ptr<Clipper> Device::CreateClipper()
{
    return std::make_shared<Clipper>();
}

std::shared_ptr<Palette> Device::CreatePalette(std::span<const std::uint32_t, 256> entries)
{
    return std::make_shared<Palette>(entries);
}

std::vector<DisplayModeDesc> Device::EnumDisplayModes() const
{
    return core_->backEnd.DisplayModes();
}

void Device::GetAvailableVidMem(std::uint64_t& total, std::uint64_t& free) const
{
    total = core_->backEnd.VideoMemoryBytes();
    free = total - std::min(total, core_->videoUsed);
}

DeviceCaps Device::GetCaps() const
{
    DeviceCaps caps;
    GetAvailableVidMem(caps.videoMemoryTotal, caps.videoMemoryFree);
    caps.maxBackBuffers = core_->backEnd.MaxBackBuffers();
    return caps;
}

PixelLayout Device::DisplayLayout() const
{
    return core_->DisplayLayout();
}

std::span<const std::uint32_t, 20> DefaultPaletteColors()
{
    // The system's static colours: the first ten and the last ten entries of its default palette.
    static constexpr std::array<std::uint32_t, 20> colors{
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
        0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return colors;
}

} // namespace video
