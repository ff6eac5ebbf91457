// TAvgUnit: the codes the sub-windows, the stage and the extra selection send, and the keys and
// the wheel on AvgPanel.
#include "scenario/adventure/TAvgUnit.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/choice/TExSelUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"

namespace {

// One notch of the mouse wheel.
constexpr int kWheelNotch = 120;
// The extra selection's requests for quick save, quick load and the configuration menu.
constexpr int kExSelQuickSave = 7;
constexpr int kExSelQuickLoad = 8;
constexpr int kExSelConfig = 9;

} // namespace

void TAvgUnit::OnEvent(int code)
{
    const WaitState state = waits_.State();
    switch (code) {
    case 2:
        RightClick();
        break;
    case 3:
        CodeOrClick(HideText());
        break;
    case 14:
        if (modes_.SubScreen() == 0)
            CodeOrClick(HideText());
        break;
    case 15:
    case 16:
        CodeOrClick(code == 15 ? modes_.ToggleAuto(state) : modes_.ToggleSkip(state));
        SelectButtons();
        break;
    case 17:
        CodeOrClick(waits_.MenuAllowed() && waits_.MayOpenBacklog() && OpenBacklog());
        break;
    case 18:
        CodeOrClick(QuickSave());
        break;
    case 19:
        CodeOrClick(QuickLoad());
        break;
    case 20:
        CodeOrClick(OpenConfigMenu());
        break;
    case 5:
        if (state == WaitState::Choice)
            ChoiceDecide();
        break;
    default:
        Click();
        break;
    }
}

void TAvgUnit::RightClick()
{
    bool opened = false;
    switch (context_.config.RightClickType) {
    case 1: opened = HideText(); break;
    case 2: opened = OpenConfigMenu(); break;
    case 3: opened = OpenSaveMenu(false); break;
    case 4: opened = OpenSaveMenu(true); break;
    default: opened = OpenSideMenu(); break;
    }
    CodeOrClick(opened);
}

void TAvgUnit::OnExSelEvent(int code)
{
    const WaitState state = waits_.State();
    switch (code) {
    case TExSelUnit::kCodeLeftClick:
        if (state == WaitState::ExSelOpening || state == WaitState::ExSel)
            ExSelDecide();
        break;
    case TExSelUnit::kCodeRightClick:
        RightClick();
        break;
    case TExSelUnit::kCodeShown:
        if (state == WaitState::ExSelDecided)
            ExSelClosed();
        break;
    case kExSelQuickSave:
        QuickSave();
        break;
    case kExSelQuickLoad:
        QuickLoad();
        break;
    case kExSelConfig:
        OpenConfigMenu();
        break;
    default:
        break;
    }
}

bool TAvgUnit::ChoiceKey(std::uint16_t key)
{
    if (waits_.State() != WaitState::Choice)
        return false;
    switch (key) {
    case VK_RETURN: ChoiceDecide(); return true;
    case VK_SPACE: return true;
    case VK_UP: windows_->SelWinCursorUp(); return true;
    case VK_DOWN: windows_->SelWinCursorDown(); return true;
    default: return false;
    }
}

void TAvgUnit::AvgPanelKeyDown(TObject*, std::uint16_t& key, TShiftState)
{
    if (key == VK_CONTROL) {
        modes_.SetCtrl(true);
        return;
    }
    if (SubScreenKey(key) || ChoiceKey(key))
        return;
    if (key == VK_ESCAPE)
        RightClick();
    else if (key == VK_RETURN || key == VK_SPACE)
        Click();
}

void TAvgUnit::AvgPanelKeyUp(TObject*, std::uint16_t& key, TShiftState)
{
    if (key == VK_CONTROL)
        modes_.SetCtrl(false);
}

void TAvgUnit::AvgPanelMouseWheel(TObject*, TShiftState, int wheelDelta, TPoint, bool& handled)
{
    handled = true;
    if (SubScreenWheel(wheelDelta / kWheelNotch))
        return;
    if (modes_.SubScreen() == 0 && waits_.MenuAllowed() && waits_.MayOpenBacklog())
        OpenBacklog();
}
