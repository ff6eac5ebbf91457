// AvgHost: what the adventure screen asks of the main form and the logic thread: the sound
// channels, the thread result, the root panel, the cursor, the frame counters and a full repaint,
// plus the sub-windows' system sounds and mouse moves. FormAvgHost reaches the running game's form;
// tests use a recording one over real sound channels on a recording device.
#pragma once

#include "scenario/windows/SubWinHost.h"

class GameSoundChannels;
class TGameForm;
class TUserConfig;
class TXeRGBPanel;

class AvgHost : public SubWinHost {
public:
    // The game's sound channels; null when there are none (nothing sounds then).
    virtual GameSoundChannels* Sound() = 0;
    // Hands a result to the running logic thread.
    virtual void SetThreadResult(int value) = 0;
    // Puts a panel on the root panel or takes it off.
    virtual void AttachPanel(TXeRGBPanel* panel) = 0;
    virtual void DetachPanel(TXeRGBPanel* panel) = 0;
    // -1 hides the mouse cursor, 0 shows the arrow.
    virtual void SetCursorKind(int kind) = 0;
    // The frame pulse starts counting afresh, so a long step is not followed by a burst of frames.
    virtual void ResetFrameCounters() = 0;
    // The folder of the save files, ending in a backslash.
    virtual AnsiString SaveFolder() const = 0;
    // The main form, whose transitions lead into and out of the system menus; null when there is
    // none (the menus then appear at once).
    virtual TGameForm* Form() = 0;
    // Writes the user settings file (after the configuration menu).
    virtual void SaveConfig(const TUserConfig& config) = 0;
};

// The host of the running game: the main form (GameForm) and the logic thread's result; nothing
// happens where there is no form.
class FormAvgHost final : public AvgHost {
public:
    void PlaySystemSE(const AnsiString& name, TFileMan* files) override;
    void SetMousePos(int x, int y) override;
    GameSoundChannels* Sound() override;
    void SetThreadResult(int value) override;
    void AttachPanel(TXeRGBPanel* panel) override;
    void DetachPanel(TXeRGBPanel* panel) override;
    void SetCursorKind(int kind) override;
    void ResetFrameCounters() override;
    AnsiString SaveFolder() const override;
    TGameForm* Form() override;
    void SaveConfig(const TUserConfig& config) override;
};
