// TTitleMenu: the title screen: the title picture with nine buttons, keyboard navigation that moves
// the mouse onto the chosen button, an idle count that starts the demo, the exit question through
// the yes/no dialog, and the title call (two logo pictures with two voices, shown once per run).
// Every choice becomes a thread result for the game's main program; the menu decides nothing more.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"
#include "shell/helpers/PanelLayout.h"

#include <array>
#include <cstdint>

class ShellServices;
class TDlgUnit;
class TFileMan;
class TitleCallHost;
class TUserConfig;
class TXeRGBBtn;

// Logic thread: the handlers run inside frames, the title call's step is the thread's per-frame
// handler.
class TTitleMenu : public TComponent {
public:
    // Thread results.
    static constexpr std::int32_t kResultNone = 0; // the title call ended
    static constexpr std::int32_t kResultStart = 1;
    static constexpr std::int32_t kResultLoad = 2;
    static constexpr std::int32_t kResultFreePlay = 3;
    static constexpr std::int32_t kResultScore = 4;
    static constexpr std::int32_t kResultRanking = 5;
    static constexpr std::int32_t kResultAlbum = 6;
    static constexpr std::int32_t kResultSound = 7;
    static constexpr std::int32_t kResultConfig = 8;
    static constexpr std::int32_t kResultDemo = 9;
    static constexpr std::int32_t kResultExit = 10;

    // The buttons in key order, top to bottom; each button's Tag is its index here.
    enum TTitleButton : int { tbStart, tbLoad, tbAlbum, tbSound, tbFreePlay, tbScore, tbRanking, tbConfig, tbExit };
    static constexpr int kButtons = 9;
    // Pulses the menu waits untouched before it hands out the demo (30 s).
    static constexpr std::int32_t kIdlePulses = 900;

    // The services, the host, the settings (ExitConfirm) and the dialog must outlive the menu.
    TTitleMenu(TComponent* owner, ShellServices& services, TitleCallHost& host, const TUserConfig& config,
               TDlgUnit& dialog);
    // Finalizes when created, then releases the title call.
    ~TTitleMenu() override;

    // Stores the data files and creates the title's panel tree, which loads every picture; a picture
    // that does not load leaves its panel blank. True.
    bool Initialize(TFileMan* files);
    // Takes the exit question's dialog off the title (detached, its close method cleared) and
    // releases the title's panel tree.
    void Finalize();
    // No focus, the three unused buttons hidden, the idle count started.
    void Show();
    void StartIdle() { FIdle = 0; }
    void StopIdle() { FIdle = -1; }

    // The title call: starts the fade from black to the first logo; false (and the call ended, step
    // -1) when the transition does not start.
    bool TitleCallStart();
    // The per-frame step with the pulses elapsed; hands out kResultNone once the call has ended.
    void TitleCallStep(int dp);
    // Ends a title call still running (its hooks cleared, its transition reset), frees the logo
    // picture and releases the title call's panel tree.
    void Release();

    bool Created() const { return FCreated; }
    // The 640 x 480 panel the opener attaches to the root panel while the menu waits.
    TXeRGBPanel* TitleMenuPanel() const { return FTitleMenuPanel; }
    // The 640 x 480 panel attached alone during the title call.
    TXeRGBPanel* TitleCallPanel() const { return FTitleCallPanel; }
    // The panel of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* FindPanel(const AnsiString& name) const { return FLayout[name]; }
    TXeRGBBtn* Button(int index) const { return FButtons[static_cast<std::size_t>(index)]; }
    // The button under the mouse or chosen by the keys, -1 for none.
    std::int32_t FocusIndex() const { return FFocus; }
    // 0 to 4 while the title call runs, -1 when it has ended or never started.
    std::int32_t CallStep() const { return FCallStep; }
    // Pulses since the menu began waiting, -1 when stopped.
    std::int32_t IdleCount() const { return FIdle; }

private:
    void WireEvents();
    void PanelCreate(TXeRGBPanel* panel);
    void PanelRelease(TXeRGBPanel* panel);
    void InfoTextCreate(TXeRGBPanel* panel);
    void InfoTextRelease(TXeRGBPanel* panel);
    void ButtonClick(std::int32_t result);
    void BtnExitClick();
    void DialogClose(std::int32_t code);
    void TakeDownDialog();
    void TitleMenuPanelKeyDown(std::uint16_t key);
    void StepFocus(bool up);
    void MoveMouseOnto(int index);
    void TitleMenuPanelAnime();
    void HandOut(std::int32_t result);

    // The title call's parts.
    bool StartCallTransition(TXeRGBBits* from, TXeRGBBits* to);
    void EndCallTransition();
    TXeRGBBits* PanelPicture();
    void StartNextLogo();

    ShellServices& FServices;
    TitleCallHost& FHost;
    const TUserConfig& FConfig;
    TDlgUnit& FDialog;
    PanelLayout FLayout;
    TXeRGBPanel* FTitleMenuPanel;
    TXeRGBPanel* FTitleCallPanel;
    std::array<TXeRGBBtn*, kButtons> FButtons{};
    bool FCreated = false;
    TFileMan* FFiles = nullptr;
    std::int32_t FFocus = -1;
    std::int32_t FCallStep = -1;
    std::int32_t FIdle = -1;
    // The form's hooks draw the title call's transition.
    bool FHooksSet = false;
};
