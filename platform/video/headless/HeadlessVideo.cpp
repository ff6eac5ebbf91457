// The headless video back end: displays and windows in memory, with settings tests turn and a log of operations.
#include "platform/video/headless/HeadlessVideo.h"

#include "platform/video/headless/PngFile.h"

namespace video {

HeadlessWindow::HeadlessWindow(HeadlessVideo& owner, Size client, Point origin)
    : owner_(owner), client_(client), origin_(origin)
{
    Front().Reset(client.width, client.height, owner.settings.desktopLayout);
}

BackEnd& HeadlessWindow::Back() const
{
    return owner_;
}

Size HeadlessWindow::ScreenSize() const
{
    return owner_.settings.desktopSize;
}

void HeadlessWindow::SetFullScreen(bool on, int, int)
{
    fullScreen_ = on;
}

bool HeadlessWindow::WritePng(const std::filesystem::path& path) const
{
    return WritePngFile(Front().Copy(), path);
}

std::vector<DisplayModeDesc> HeadlessVideo::StandardModes()
{
    static constexpr Size kSizes[] = {{320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1152, 864},
                                      {1280, 960}, {1280, 1024}, {640, 400}, {1600, 1200}};
    static constexpr PixelLayout kLayouts[] = {kLayout8, kLayout565, kLayout888, kLayoutX888};
    std::vector<DisplayModeDesc> modes;
    for (const Size& size : kSizes)
        for (const PixelLayout& layout : kLayouts)
            modes.push_back({size.width, size.height, layout, 60});
    return modes;
}

void HeadlessVideo::Record(const LogEntry& entry)
{
    if (settings.keepLog)
        log_.push_back(entry);
}

std::unique_ptr<HeadlessWindow> HeadlessVideo::CreateWindow(Size client, Point origin)
{
    return std::make_unique<HeadlessWindow>(*this, client, origin);
}

} // namespace video
