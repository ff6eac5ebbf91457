// TAvgUnit: the sub-screens (hidden text windows, backlog, side menu, yes/no dialog, configuration
// and save/load menus, quick save and quick load), kept by AvgSubScreens over this screen's parts.
#include "scenario/adventure/TAvgUnit.h"

#include "scenario/adventure/AvgHost.h"

// What the sub-screens reach of the screen.
class TAvgUnit::SubScreenHost final : public AvgSubScreenHost {
public:
    explicit SubScreenHost(TAvgUnit& unit) : unit_(unit) {}

    AvgWaits& Waits() override { return unit_.waits_; }
    AvgModes& Modes() override { return unit_.modes_; }
    TSubWinUnit& Windows() override { return *unit_.windows_; }
    TStageUnit& Stage() override { return *unit_.stage_; }
    TScenarioRecords& Records() override { return unit_.context_.records; }
    TXeRGBPanel* AvgPanel() override { return unit_.avgPanel_; }
    void AttachPanel(TXeRGBPanel* panel) override { unit_.context_.host.AttachPanel(panel); }
    void DetachPanel(TXeRGBPanel* panel) override { unit_.context_.host.DetachPanel(panel); }
    TGameForm* Form() override { return unit_.context_.host.Form(); }
    TDlgUnit* Dialog() override { return unit_.context_.dialog; }
    TConfigMenu* ConfigMenu() override { return unit_.context_.configMenu; }
    TSaveMenu* SaveMenu() override { return unit_.context_.saveMenu; }
    TUserConfig& Config() override { return unit_.context_.config; }
    void SaveConfig() override { unit_.context_.host.SaveConfig(unit_.context_.config); }
    AnsiString SaveFolder() override { return unit_.context_.host.SaveFolder(); }
    void Click() override { unit_.Click(); }
    void HandBack(int result) override { unit_.HandBack(result); }
    void PlaySystemSE(const AnsiString& name) override { unit_.context_.host.PlaySystemSE(name, unit_.dataFiles_); }
    void UpdateCursor() override { unit_.UpdateCursor(); }

private:
    TAvgUnit& unit_;
};

void TAvgUnit::CreateSubScreens()
{
    subHost_ = std::make_unique<SubScreenHost>(*this);
    subs_ = std::make_unique<AvgSubScreens>(*subHost_);
}

bool TAvgUnit::HideText() { return subs_->HideText(); }

bool TAvgUnit::OpenBacklog() { return subs_->OpenBacklog(); }

bool TAvgUnit::OpenSideMenu() { return subs_->OpenSideMenu(); }

bool TAvgUnit::OpenConfigMenu() { return subs_->OpenConfigMenu(); }

bool TAvgUnit::OpenSaveMenu(bool load) { return subs_->OpenSaveMenu(load); }

bool TAvgUnit::QuickSave() { return subs_->QuickSave(); }

bool TAvgUnit::QuickLoad() { return subs_->QuickLoad(); }

void TAvgUnit::BacklogEvent(int code) { subs_->BacklogCode(code); }

bool TAvgUnit::SubScreenClick() { return subs_->TakeClick(); }

void TAvgUnit::UpdateSideMenuButtons() { subs_->WaitStateChanged(); }

bool TAvgUnit::SubScreenKey(std::uint16_t key) { return subs_->KeyDown(key); }

bool TAvgUnit::SubScreenWheel(int notches) { return subs_->Wheel(notches); }

void TAvgUnit::StepSubScreens(int frames) { subs_->Update(frames); }

void TAvgUnit::OnConfigMenuClose(std::int32_t code) { subs_->OnConfigMenuClose(code); }

void TAvgUnit::OnSaveMenuClose(std::int32_t code) { subs_->OnSaveMenuClose(code); }
