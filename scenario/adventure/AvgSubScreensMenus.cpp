// AvgSubScreens: the configuration and save/load menus, which replace the screen's panel on the
// root panel behind a mask transition and come back the same way, and quick save and load.
#include "scenario/adventure/AvgSubScreens.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Exception.h"
#include "scenario/adventure/AvgSubScreenHost.h"
#include "scenario/adventure/AvgWaits.h"
#include "scenario/adventure/QuickSave.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"
#include "shell/form/TGameForm.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/helpers/RegistryHold.h"
#include "shell/menus/TConfigMenu.h"

namespace {

// The mask transition and its masks.
constexpr int kMaskTransition = 14;
constexpr const char* kSaveLoadMask = "FadeMask07_Swirl.bmp";
constexpr const char* kConfigMask = "FadeMask11_Star.bmp";

} // namespace

AvgSubScreens::Phase& AvgSubScreens::MenuPhase(Menu menu) { return menu == Menu::Config ? config_ : saveLoad_; }

TXeRGBPanel* AvgSubScreens::MenuPanel(Menu menu) const
{
    if (menu == Menu::Config)
        return host_.ConfigMenu() != nullptr ? host_.ConfigMenu()->ConfigPanel() : nullptr;
    return host_.SaveMenu() != nullptr ? host_.SaveMenu()->SaveMenuWin() : nullptr;
}

bool AvgSubScreens::OpenConfigMenu() { return OpenMenu(Menu::Config); }

bool AvgSubScreens::OpenSaveMenu(bool load) { return OpenMenu(load ? Menu::Load : Menu::Save); }

bool AvgSubScreens::OpenMenu(Menu menu)
{
    if (!CanOpenMenu(menu))
        return false;
    if (menu == Menu::Config)
        host_.ConfigMenu()->Refresh();
    else
        host_.SaveMenu()->Open(menu == Menu::Load ? TSaveMenu::kModeLoad : TSaveMenu::kModeSave);
    shown_ = menu;
    loaded_ = false;
    MenuPhase(menu) = Phase::Opening;
    Recompute();
    if (!StartTransition(menu, host_.AvgPanel(), MenuPanel(menu)))
        EndTransition();
    host_.UpdateCursor();
    return true;
}

void AvgSubScreens::CloseMenu(bool loaded)
{
    if (shown_ == Menu::None || MenuPhase(shown_) == Phase::Closing)
        return;
    if (transition_)
        EndTransition(); // closed while still coming in
    const Menu menu = shown_;
    MenuPhase(menu) = Phase::Closing;
    loaded_ = loaded;
    if (menu == Menu::Config) {
        host_.SaveConfig();
        host_.Windows().MesWinSetTransparency(host_.Config().MesBoxTrans);
        host_.Stage().ResetCharacterStates();
        host_.Windows().PlaceWinClose();
    }
    const bool running = StartTransition(menu, MenuPanel(menu), host_.AvgPanel());
    if (menu != Menu::Config)
        host_.SaveMenu()->Close(); // its pictures are on the transition's first picture by now
    if (!running)
        EndTransition();
}

// Swaps the panels on the root panel and starts the mask transition from the screen now shown to
// the new panels; false when it cannot run (the panels are swapped all the same).
bool AvgSubScreens::StartTransition(Menu menu, TXeRGBPanel* from, TXeRGBPanel* to)
{
    host_.DetachPanel(from);
    host_.AttachPanel(to);
    TGameForm* form = host_.Form();
    if (form == nullptr)
        return false;
    try {
        // The screen keeps the last frame drawn until the transition draws over it.
        RegistryHold<TXeRGBBits> source(CreateScreenBits());
        form->CopyScreen(source.get());
        RegistryHold<TXeRGBBits> target(CreateScreenBits());
        form->DrawPanelTo(target.get());
        form->LoadMaskEffect(menu == Menu::Config ? kConfigMask : kSaveLoadMask);
        if (!form->StartTransitionDefault(kMaskTransition, source.get(), target.get())) {
            form->ReleaseMaskEffect();
            return false;
        }
        source.release();
        target.release();
    } catch (const Exception&) {
        return false; // no picture or mask: the menu simply appears
    }
    form->SetOnDraw([form](TXeRGBBits* into, TXeRectSet* set) { form->DrawTransition(into, set); });
    form->SetOnRedraw([form](TXeRGBBits* into) { form->DrawTransition(into, nullptr); });
    transition_ = true;
    return true;
}

void AvgSubScreens::StepMenus(int frames)
{
    if (!transition_)
        return;
    TGameForm& form = *host_.Form();
    if (form.IsTransitionDone())
        EndTransition();
    else
        form.AdvanceTransition(frames);
}

// Ends the transition (when one runs) and settles the menu's phase: open after coming in, closed
// after going back, where a load in the load menu hands back its result.
void AvgSubScreens::EndTransition()
{
    if (transition_) {
        TGameForm& form = *host_.Form();
        form.SetOnDraw({});
        form.SetOnRedraw({});
        form.ResetTransition();
        form.ReleaseMaskEffect();
        form.RootPanel()->SetModify();
        transition_ = false;
    }
    if (shown_ == Menu::None)
        return;
    Phase& phase = MenuPhase(shown_);
    if (phase == Phase::Opening) {
        phase = Phase::Open;
    } else if (phase == Phase::Closing) {
        phase = Phase::Closed;
        shown_ = Menu::None;
        Recompute();
        if (loaded_) {
            loaded_ = false;
            host_.HandBack(4);
        }
    }
    host_.UpdateCursor();
}

void AvgSubScreens::OnConfigMenuClose(std::int32_t code)
{
    if (shown_ == Menu::Config && code == TConfigMenu::kClosed)
        CloseMenu(false);
}

void AvgSubScreens::OnSaveMenuClose(std::int32_t code)
{
    if (shown_ != Menu::Save && shown_ != Menu::Load)
        return;
    if (code == TSaveMenu::kDone || code == TSaveMenu::kClosed)
        CloseMenu(code == TSaveMenu::kDone && shown_ == Menu::Load);
}

// ---- quick save and load ----

// The extra selection as the player sees it while it waits for a choice, else the stage's picture.
TXeRGBBits* AvgSubScreens::ThumbnailScreen(RegistryHold<TXeRGBBits>& drawn)
{
    if (host_.Waits().State() != WaitState::ExSel)
        return host_.Stage().StagePanel()->Image();
    try {
        drawn = RegistryHold<TXeRGBBits>(CreateScreenBits());
    } catch (const Exception&) {
        return nullptr; // saved without a thumbnail
    }
    if (drawn.get()->Lock()) {
        host_.AvgPanel()->Draw(drawn.get());
        drawn.get()->Unlock();
    }
    return drawn.get();
}

bool AvgSubScreens::QuickSave()
{
    if (!CanQuickSaveOrLoad())
        return false;
    RegistryHold<TXeRGBBits> drawn(nullptr);
    const bool saved = WriteQuickSave(host_.SaveFolder(), host_.Records(), ThumbnailScreen(drawn));
    host_.PlaySystemSE(saved ? "SysSEOK" : "SysSEErr");
    return true;
}

bool AvgSubScreens::QuickLoad()
{
    if (!CanQuickSaveOrLoad())
        return false;
    if (!LoadGameSlot(host_.SaveFolder(), kQuickSaveSlot, host_.Records())) {
        host_.PlaySystemSE("SysSEErr");
        return true;
    }
    host_.PlaySystemSE("SysSEOK");
    host_.HandBack(4);
    return true;
}
