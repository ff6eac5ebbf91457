// ShellServices: what the system menus and screens ask of the main form and the logic thread (system
// sounds, the mouse warp, the thread result, the sound volumes, the frame-rate mode, the window-mode
// request and the program's folder), so that their tests drive the panel tree with a recording fake
// and no threads, display or audio.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>

class TGameForm;

// The four sound-channel volumes the player sets.
enum TVolumeKind : std::uint8_t { vkBGM, vkVoice, vkSE, vkRear };

// Logic thread: the calls come from panel handlers during a frame.
class ShellServices {
public:
    virtual ~ShellServices() = default;

    // Plays a system sound: name + ".ogg" from the data files.
    virtual void PlaySystemSE(const AnsiString& name) = 0;
    // Moves the mouse pointer to (x, y) of the form's client area.
    virtual void SetMousePos(int x, int y) = 0;
    // Hands a result to the running logic thread.
    virtual void SetThreadResult(int value) = 0;
    // 0 to 100.
    virtual std::int32_t Volume(TVolumeKind kind) const = 0;
    virtual void SetVolume(TVolumeKind kind, std::int32_t volume) = 0;
    // The frame-rate mode: 0 15FPS, 1 30FPS, 2 FULL, 3 NOSYNC.
    virtual std::uint8_t FPSMode() const = 0;
    virtual void SetFPSMode(std::uint8_t mode) = 0;
    // True in a window, false full screen.
    virtual bool WindowMode() const = 0;
    // Posts the switch to the UI thread: true asks for a window, false for full screen.
    virtual void RequestWindowMode(bool toWindow) = 0;
    // The folder of the program and of the save files, ending in "\".
    virtual AnsiString ProgramFolder() const = 0;
};

// The game's services: the main form, its sound channels with the data files, the running logic
// thread and the window-mode flag.
class FormShellServices final : public ShellServices {
public:
    explicit FormShellServices(TGameForm& form) : form_(form) {}

    void PlaySystemSE(const AnsiString& name) override;
    void SetMousePos(int x, int y) override;
    void SetThreadResult(int value) override;
    std::int32_t Volume(TVolumeKind kind) const override;
    void SetVolume(TVolumeKind kind, std::int32_t volume) override;
    std::uint8_t FPSMode() const override;
    void SetFPSMode(std::uint8_t mode) override;
    bool WindowMode() const override;
    void RequestWindowMode(bool toWindow) override;
    AnsiString ProgramFolder() const override;

private:
    TGameForm& form_;
};
