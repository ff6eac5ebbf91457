// A recording fake of the shell services for the menu tests: it keeps the volumes, the frame-rate
// mode and the window-mode flag it is given, lists every call that asks for something, and can
// hand each mouse warp on.
#pragma once

#include "shell/menus/ShellServices.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace menutest {

class RecordingShellServices final : public ShellServices {
public:
    void PlaySystemSE(const AnsiString& name) override { calls.push_back("se " + name); }
    void SetMousePos(int x, int y) override
    {
        calls.push_back("mouse " + std::to_string(x) + "," + std::to_string(y));
        if (onMouse)
            onMouse(x, y);
    }
    void SetThreadResult(int value) override { calls.push_back("result " + std::to_string(value)); }
    std::int32_t Volume(TVolumeKind kind) const override { return volumes[kind]; }
    void SetVolume(TVolumeKind kind, std::int32_t volume) override
    {
        calls.push_back(std::string("volume ") + kVolumeNames[kind] + " " + std::to_string(volume));
        volumes[kind] = volume;
    }
    std::uint8_t FPSMode() const override { return fps; }
    void SetFPSMode(std::uint8_t mode) override
    {
        calls.push_back("fps " + std::to_string(mode));
        fps = mode;
    }
    bool WindowMode() const override { return window; }
    void RequestWindowMode(bool toWindow) override { calls.push_back(toWindow ? "window 1" : "window 0"); }
    AnsiString ProgramFolder() const override { return folder; }

    static constexpr const char* kVolumeNames[] = {"bgm", "voice", "se", "rear"};

    std::vector<std::string> calls;
    // Called after a warp is recorded: a test delivers the mouse-move the form queues after it.
    std::function<void(int x, int y)> onMouse;
    std::array<std::int32_t, 4> volumes{70, 100, 100, 90};
    std::uint8_t fps = 2;
    bool window = true;
    AnsiString folder;
};

} // namespace menutest
