// AvgSubScreens: the adventure screen's sub-screens laid over the running scenario: the hidden text
// windows, the backlog, the side menu with its yes/no dialog, the configuration and save/load menus
// brought in by a mask transition, and quick save and load. It keeps the sub-screen level (0 none,
// 1 hidden text or backlog, 2 side menu or dialog, 3 menus or a playing movie) in the screen's modes, opens what the screen asks for, takes the clicks, keys and wheel notches meant
// for it, and advances its phases once a frame.
#pragma once

#include <cstdint>

class AvgSubScreenHost;
class TXeRGBBits;
class TXeRGBPanel;
template <typename T> class RegistryHold;

// Logic thread only.
class AvgSubScreens {
public:
    enum class Phase : std::uint8_t { Closed, Opening, Open, Closing };
    // The side menu's buttons.
    enum Button : int { kHideText, kSkip, kAuto, kBacklog, kSave, kLoad, kConfig, kTitle, kExit };
    // Lines of the backlog page.
    static constexpr int kPageLines = 16;

    explicit AvgSubScreens(AvgSubScreenHost& host) : host_(host) {}

    // Everything closed, as a script (re)start leaves it (the panels are the caller's to reset).
    void Reset();

    // Bit 0 hidden text or backlog, bit 1 side menu or dialog, bit 2 menus or a movie.
    int Bits() const;
    int Level() const;
    Phase HiddenText() const { return hidden_; }
    Phase Backlog() const { return backlog_; }
    Phase SideMenu() const { return menu_; }
    Phase Dialog() const { return dialog_; }
    Phase ConfigMenu() const { return config_; }
    Phase SaveLoadMenu() const { return saveLoad_; }
    // The screen plays a movie (it starts and ends it; the level follows).
    bool MoviePlaying() const { return movie_; }
    void SetMoviePlaying(bool playing);
    // The first backlog line on the page.
    int BacklogView() const { return backlogView_; }

    // The click's first steps: true when a sub-screen took it (the side menu or dialog is open, the
    // backlog is up, or the hidden text windows came back).
    bool TakeClick();
    // Codes of the backlog window (1, 3, 4, 6).
    void BacklogCode(int code);
    // Keys on the screen's panel; true when a sub-screen used the key (Esc only in the side menu).
    bool KeyDown(std::uint16_t key);
    // Wheel notches (towards the player negative) scroll the open backlog a line each; true, taken,
    // whenever a sub-screen is open.
    bool Wheel(int notches);
    // The wait state changed: the open side menu shows what may be used now.
    void WaitStateChanged();
    // The per-frame steps of the sub-screens (phases, the side menu's choice, the menus' transitions).
    void Update(int frames);

    // Close handlers of the configuration and save/load menus.
    void OnConfigMenuClose(std::int32_t code);
    void OnSaveMenuClose(std::int32_t code);

    // The openers: each false, doing nothing, when it cannot open now (a click is then due).
    // Hiding the text windows needs the click or choice wait; the backlog also the menu allowed; the
    // side menu and the menus need the menu allowed and no side menu, dialog, menu or movie, and the
    // menus a wait that allows them.
    bool HideText();
    bool OpenBacklog();
    bool OpenSideMenu();
    bool OpenConfigMenu();
    bool OpenSaveMenu(bool load);
    // Quick save to and quick load from slot 0, which also need no sub-screen.
    bool QuickSave();
    bool QuickLoad();

private:
    enum class Menu : std::uint8_t { None, Config, Save, Load };

    void Recompute();
    bool CanHideText() const;
    bool CanOpenBacklog() const;
    bool CanOpenSideMenu() const;
    bool CanOpenMenu(Menu menu) const;
    bool CanQuickSaveOrLoad() const;
    void ShowText();
    void CloseBacklog();
    void ScrollBacklog(int lines);
    void FillBacklogPage();
    int BacklogLines() const;
    void OnSideMenuEvent();
    void EnableSideMenuButtons();
    void ActOnButton(int button);
    void AskExit();
    void OnDialogClose(std::int32_t code);
    void StepTextPhases();
    void StepSideMenu();

    // The menus (in AvgSubScreensMenus.cpp).
    bool OpenMenu(Menu menu);
    void CloseMenu(bool loaded);
    Phase& MenuPhase(Menu menu);
    TXeRGBPanel* MenuPanel(Menu menu) const;
    bool StartTransition(Menu menu, TXeRGBPanel* from, TXeRGBPanel* to);
    void StepMenus(int frames);
    void EndTransition();
    // The picture a quick save's thumbnail is made of; `drawn` keeps one drawn for it.
    TXeRGBBits* ThumbnailScreen(RegistryHold<TXeRGBBits>& drawn);

    AvgSubScreenHost& host_;
    Phase hidden_ = Phase::Closed;
    Phase backlog_ = Phase::Closed;
    Phase menu_ = Phase::Closed;
    Phase dialog_ = Phase::Closed;
    Phase config_ = Phase::Closed;
    Phase saveLoad_ = Phase::Closed;
    bool movie_ = false;
    // The time and date plates the hidden text took away.
    bool timeHidden_ = false;
    bool dateHidden_ = false;
    int backlogView_ = 0;
    Menu shown_ = Menu::None;
    bool transition_ = false;
    // A load in the load menu hands back its result once the way back has been shown.
    bool loaded_ = false;
};
