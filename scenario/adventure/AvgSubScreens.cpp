#include "scenario/adventure/AvgSubScreens.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/adventure/AvgModes.h"
#include "scenario/adventure/AvgSubScreenHost.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"
#include "shell/menus/TDlgUnit.h"

#include <algorithm>

void AvgSubScreens::Reset()
{
    hidden_ = backlog_ = menu_ = dialog_ = config_ = saveLoad_ = Phase::Closed;
    movie_ = transition_ = loaded_ = false;
    timeHidden_ = dateHidden_ = false;
    backlogView_ = 0;
    shown_ = Menu::None;
    Recompute();
}

int AvgSubScreens::Bits() const
{
    int bits = 0;
    if (hidden_ != Phase::Closed || backlog_ != Phase::Closed)
        bits |= 1;
    if (menu_ != Phase::Closed || dialog_ != Phase::Closed)
        bits |= 2;
    if (config_ != Phase::Closed || saveLoad_ != Phase::Closed || movie_)
        bits |= 4;
    return bits;
}

int AvgSubScreens::Level() const
{
    const int bits = Bits();
    return (bits & 4) != 0 ? 3 : (bits & 2) != 0 ? 2 : (bits & 1) != 0 ? 1 : 0;
}

void AvgSubScreens::Recompute() { host_.Modes().SetSubScreen(Level()); }

void AvgSubScreens::SetMoviePlaying(bool playing)
{
    movie_ = playing;
    Recompute();
}

// ---- what may open now ----

bool AvgSubScreens::CanHideText() const { return host_.Modes().SubScreen() == 0 && host_.Waits().MayHideText(); }

bool AvgSubScreens::CanOpenBacklog() const
{
    return host_.Modes().SubScreen() == 0 && host_.Waits().MenuAllowed() && host_.Waits().MayOpenBacklog();
}

bool AvgSubScreens::CanOpenSideMenu() const { return host_.Waits().MenuAllowed() && host_.Modes().SubScreen() < 2; }

bool AvgSubScreens::CanOpenMenu(Menu menu) const
{
    const AvgWaits& waits = host_.Waits();
    if (!waits.MenuAllowed() || host_.Modes().SubScreen() >= 2 || MenuPanel(menu) == nullptr)
        return false;
    return menu == Menu::Config ? waits.MayConfigure() : waits.MaySaveOrLoad();
}

bool AvgSubScreens::CanQuickSaveOrLoad() const
{
    return host_.Modes().SubScreen() == 0 && host_.Waits().MenuAllowed() && host_.Waits().MaySaveOrLoad();
}

// ---- clicks, keys and the wheel ----

bool AvgSubScreens::TakeClick()
{
    if (menu_ != Phase::Closed || dialog_ != Phase::Closed)
        return true;
    // Reading the backlog never moves the scenario on beneath it.
    if (backlog_ != Phase::Closed)
        return true;
    if (hidden_ == Phase::Open)
        ShowText();
    return hidden_ != Phase::Closed;
}

void AvgSubScreens::BacklogCode(int code)
{
    switch (code) {
    case 1:
    case 3:
        host_.Click(); // the backlog takes it
        break;
    case 4:
        if (backlog_ == Phase::Open) {
            backlogView_ = host_.Windows().LogWinGetScrollPos();
            FillBacklogPage();
        }
        break;
    case 6:
        CloseBacklog();
        break;
    default:
        break;
    }
}

bool AvgSubScreens::KeyDown(std::uint16_t key)
{
    const bool arrow = key == VK_UP || key == VK_DOWN;
    const bool press = key == VK_RETURN || key == VK_SPACE;
    if (!arrow && !press && key != VK_ESCAPE)
        return false;
    TSubWinUnit& windows = host_.Windows();
    if (dialog_ != Phase::Closed) {
        // Escape answers no even while the dialog has not been made the active panel.
        if (key == VK_ESCAPE)
            host_.Dialog()->DlgWin()->KeyDown(key, 0);
        return true;
    }
    if (menu_ != Phase::Closed) {
        if (key == VK_UP)
            windows.MenuWinMoveMouseToButton();
        else if (key == VK_DOWN)
            windows.MenuWinMoveMouseTo();
        else if (press)
            windows.MenuWinPressSelected();
        else
            windows.MenuWinCancel();
        return true;
    }
    if (key == VK_ESCAPE)
        return false; // the right button's part, also over the backlog and hidden text
    if (backlog_ == Phase::Open) {
        if (arrow)
            ScrollBacklog(key == VK_UP ? -1 : 1);
        else
            CloseBacklog();
        return true;
    }
    if (hidden_ != Phase::Closed) {
        if (press)
            TakeClick();
        return true; // the hidden choice keeps its cursor
    }
    return false;
}

bool AvgSubScreens::Wheel(int notches)
{
    if (backlog_ == Phase::Open)
        ScrollBacklog(-notches);
    return Level() != 0;
}

// ---- hidden text ----

bool AvgSubScreens::HideText()
{
    if (!CanHideText())
        return false;
    TSubWinUnit& windows = host_.Windows();
    if (windows.MesWinIsReady())
        windows.MesWinClose(false);
    if (windows.NovelWinIsReady())
        windows.NovelWinClose(false);
    if (windows.SelWinIsReady())
        windows.SelWinClose(false);
    timeHidden_ = windows.TimeWinIsReady();
    dateHidden_ = windows.DateWinIsReady();
    if (timeHidden_)
        windows.TimeWinClose(false);
    if (dateHidden_)
        windows.DateWinClose(false);
    hidden_ = Phase::Opening;
    Recompute();
    return true;
}

void AvgSubScreens::ShowText()
{
    TSubWinUnit& windows = host_.Windows();
    const TGameState& record = host_.Records().current;
    if (record.GetTextWindow()) {
        if (record.GetNovel())
            windows.NovelWinOpen(false);
        else
            windows.MesWinOpen(false);
    }
    if (host_.Waits().State() == WaitState::Choice)
        windows.SelWinOpen(false);
    if (timeHidden_)
        windows.TimeWinOpen(false);
    if (dateHidden_)
        windows.DateWinOpen(false);
    timeHidden_ = dateHidden_ = false;
    hidden_ = Phase::Closing;
}

// ---- backlog ----

int AvgSubScreens::BacklogLines() const
{
    const TGameState& record = host_.Records().current;
    int lines = record.GetBacklogCount();
    // The newest line is still empty after a new page; it has nothing to show.
    if (lines > 0 && record.GetBacklogLine(lines - 1).empty())
        --lines;
    return lines;
}

bool AvgSubScreens::OpenBacklog()
{
    if (!CanOpenBacklog())
        return false;
    TSubWinUnit& windows = host_.Windows();
    const int range = std::max(0, BacklogLines() - kPageLines);
    windows.LogWinSetRange(range);
    backlogView_ = range;
    FillBacklogPage();
    windows.LogWinOpen(false);
    backlog_ = Phase::Opening;
    Recompute();
    return true;
}

void AvgSubScreens::CloseBacklog()
{
    if (backlog_ != Phase::Open)
        return;
    host_.Windows().LogWinClose(false);
    backlog_ = Phase::Closing;
}

void AvgSubScreens::ScrollBacklog(int lines)
{
    TSubWinUnit& windows = host_.Windows();
    windows.LogWinScrollTo(windows.LogWinGetScrollPos() + lines);
    backlogView_ = windows.LogWinGetScrollPos();
    FillBacklogPage();
}

void AvgSubScreens::FillBacklogPage()
{
    TSubWinUnit& windows = host_.Windows();
    const TGameState& record = host_.Records().current;
    const int lines = BacklogLines();
    windows.LogWinClearText();
    for (int row = 0; row < kPageLines && backlogView_ + row < lines; ++row) {
        if (row > 0)
            windows.LogWinNewLine();
        windows.LogWinSetText(record.GetBacklogLine(backlogView_ + row));
    }
}

// ---- side menu and dialog ----

bool AvgSubScreens::OpenSideMenu()
{
    if (!CanOpenSideMenu())
        return false;
    TSubWinUnit& windows = host_.Windows();
    windows.MenuWinSetOnEvent([this] { OnSideMenuEvent(); });
    windows.MenuWinOpen(false);
    menu_ = Phase::Opening;
    Recompute();
    EnableSideMenuButtons();
    host_.UpdateCursor();
    return true;
}

void AvgSubScreens::OnSideMenuEvent()
{
    if (menu_ != Phase::Open)
        return;
    host_.Windows().MenuWinClose(false);
    menu_ = Phase::Closing;
}

void AvgSubScreens::WaitStateChanged()
{
    if (menu_ != Phase::Closed)
        EnableSideMenuButtons();
}

void AvgSubScreens::EnableSideMenuButtons()
{
    const AvgWaits& waits = host_.Waits();
    const WaitState state = waits.State();
    // Hidden text, the backlog and the menus all keep the text-side buttons off.
    const bool free = hidden_ == Phase::Closed && backlog_ == Phase::Closed && (Bits() & 4) == 0;
    const bool toggles = state == WaitState::Timed || state == WaitState::Click || state == WaitState::TextPrinting;
    const bool belowMenus = Level() < 3;
    TSubWinUnit& windows = host_.Windows();
    windows.MenuWinEnableButton(kHideText, free && waits.MayHideText());
    windows.MenuWinEnableButton(kSkip, free && toggles);
    windows.MenuWinEnableButton(kAuto, free && toggles);
    windows.MenuWinEnableButton(kBacklog, free && waits.MayOpenBacklog());
    windows.MenuWinEnableButton(kSave, belowMenus && waits.MaySaveOrLoad());
    windows.MenuWinEnableButton(kLoad, belowMenus && waits.MaySaveOrLoad());
    windows.MenuWinEnableButton(kConfig, belowMenus && waits.MayConfigure());
    windows.MenuWinEnableButton(kTitle, true);
    windows.MenuWinEnableButton(kExit, true);
}

void AvgSubScreens::ActOnButton(int button)
{
    AvgModes& modes = host_.Modes();
    const WaitState state = host_.Waits().State();
    switch (button) {
    case kHideText:
        HideText();
        break;
    case kSkip:
    case kAuto:
        if (button == kSkip ? modes.ToggleSkip(state) : modes.ToggleAuto(state))
            host_.Windows().MesWinSelectButtons(modes.Auto(), modes.Skip());
        break;
    case kBacklog:
        OpenBacklog();
        break;
    case kSave:
    case kLoad:
        OpenSaveMenu(button == kLoad);
        break;
    case kConfig:
        OpenConfigMenu();
        break;
    case kTitle:
        host_.HandBack(0);
        break;
    case kExit:
        if (host_.Config().ExitConfirm != 0 && host_.Dialog() != nullptr)
            AskExit();
        else
            host_.HandBack(5);
        break;
    default:
        break;
    }
}

void AvgSubScreens::AskExit()
{
    TDlgUnit& dialog = *host_.Dialog();
    dialog.SetKind(TDlgUnit::kKindExit);
    dialog.SetOnClose([this](std::int32_t code) { OnDialogClose(code); });
    dialog.Attach(host_.AvgPanel());
    dialog.Open();
    dialog_ = Phase::Open;
    Recompute();
    host_.UpdateCursor();
}

void AvgSubScreens::OnDialogClose(std::int32_t code)
{
    if (code != TDlgUnit::kYes && code != TDlgUnit::kNo)
        return; // clicks beside the buttons, and the close's own call
    TDlgUnit& dialog = *host_.Dialog();
    dialog.Close();
    dialog.Detach();
    dialog.SetOnClose({});
    dialog_ = Phase::Closed;
    Recompute();
    host_.UpdateCursor();
    if (code == TDlgUnit::kYes)
        host_.HandBack(5);
}

// ---- the frame ----

void AvgSubScreens::Update(int frames)
{
    switch (Level()) {
    case 1:
        StepTextPhases();
        break;
    case 2:
        StepSideMenu();
        break;
    case 3:
        StepMenus(frames);
        break;
    default:
        break;
    }
}

void AvgSubScreens::StepTextPhases()
{
    const TSubWinUnit& windows = host_.Windows();
    if (windows.MesWinIsActive() || windows.NovelWinIsActive() || windows.LogWinIsActive() || windows.SelWinIsActive())
        return;
    for (Phase* phase : {&hidden_, &backlog_}) {
        if (*phase == Phase::Opening) {
            *phase = Phase::Open;
            host_.UpdateCursor();
        } else if (*phase == Phase::Closing) {
            *phase = Phase::Closed;
            Recompute();
        }
    }
}

void AvgSubScreens::StepSideMenu()
{
    if (menu_ == Phase::Closed || host_.Windows().MenuWinIsActive())
        return;
    if (menu_ == Phase::Opening) {
        menu_ = Phase::Open;
        host_.UpdateCursor();
        return;
    }
    if (menu_ != Phase::Closing)
        return;
    menu_ = Phase::Closed;
    Recompute();
    host_.UpdateCursor();
    ActOnButton(host_.Windows().MenuWinGetSelected());
}
