// The headless video back end: displays and windows in memory, with settings tests turn and a log of operations.
//
// Nothing here reads the clock or shows anything: a headless window keeps its front buffer for
// the test to read (or write as PNG). The settings stand for the machine: how many back buffers a
// flip chain may have, the video-memory budget, the desktop's layout and size, the display modes,
// and whether a lost surface can be restored. LoseSurfaces (on the base class) takes surfaces away.
#pragma once

#include "platform/video/VideoBackEnd.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace video {

class HeadlessVideo;

class HeadlessWindow : public VideoWindow {
public:
    HeadlessWindow(HeadlessVideo& owner, Size client, Point origin);

    BackEnd& Back() const override;
    Size ScreenSize() const override;
    Point ClientOrigin() const override { return origin_; }
    Size ClientSize() const override { return client_; }
    void SetFullScreen(bool on, int width, int height) override;
    bool FullScreen() const override { return fullScreen_; }
    void FrontChanged() override { ++frontChanges_; }

    // How often the device said the front buffer changed.
    int FrontChanges() const { return frontChanges_; }
    // Writes the front buffer as an 8-bit RGB PNG file; false when it cannot.
    bool WritePng(const std::filesystem::path& path) const;

private:
    HeadlessVideo& owner_;
    Size client_;
    Point origin_;
    bool fullScreen_ = false;
    int frontChanges_ = 0;
};

class HeadlessVideo : public BackEnd {
public:
    struct Settings {
        bool startFails = false;
        int maxBackBuffers = 2;
        std::uint64_t videoMemoryBytes = std::uint64_t{64} << 20;
        PixelLayout desktopLayout = kLayoutX888;
        Size desktopSize{1024, 768};
        std::vector<DisplayModeDesc> modes = StandardModes();
        bool restoreFails = false;
        std::uint8_t restoreFill = 0xA5;
        bool keepLog = true;
    };

    // The seven screen sizes from 320x240 to 1280x1024 at 8, 16 (565), 24 and 32 bits, and two
    // sizes the display never opens (640x400 and 1600x1200).
    static std::vector<DisplayModeDesc> StandardModes();

    const char* Name() const override { return "headless"; }
    bool Start() override { return !settings.startFails; }
    std::vector<DisplayModeDesc> DisplayModes() const override { return settings.modes; }
    PixelLayout DesktopLayout() const override { return settings.desktopLayout; }
    std::uint64_t VideoMemoryBytes() const override { return settings.videoMemoryBytes; }
    int MaxBackBuffers() const override { return settings.maxBackBuffers; }
    bool CanRestore() const override { return !settings.restoreFails; }
    std::uint8_t RestoreFill() const override { return settings.restoreFill; }
    void Record(const LogEntry& entry) override;

    // A window whose client area of `client` pixels lies at `origin` on the desktop.
    std::unique_ptr<HeadlessWindow> CreateWindow(Size client = {640, 480}, Point origin = {64, 48});

    const std::vector<LogEntry>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    Settings settings;

private:
    std::vector<LogEntry> log_;
};

} // namespace video
