// The sub-screens' test bed: a headless main form in the adventure state with the mask pictures in
// its data folder, the real sub-windows, stage, yes/no dialog, configuration and save/load menus
// under a 640 x 480 screen panel, and a host that records what the sub-screens ask of the screen.
#pragma once

#include "scenario/adventure/AvgModes.h"
#include "scenario/adventure/AvgSubScreenHost.h"
#include "scenario/adventure/AvgSubScreens.h"
#include "scenario/adventure/AvgWaits.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/WindowTestSupport.h"
#include "base/util/TRandom.h"
#include "scenario/ScenarioTestSupport.h"
#include "shell/config/TUserConfig.h"
#include "shell/menus/TConfigMenu.h"
#include "shell/menus/TDlgUnit.h"
#include "tests/shell/FormTestSupport.h"
#include "tests/shell/menus/RecordingShellServices.h"

#include <memory>
#include <string>
#include <vector>

namespace AvgSubTest {

// The screen's side, recorded: "click" (a click no sub-screen took), "result N", "se NAME",
// "save config".
class RecordingHost : public AvgSubScreenHost {
public:
    AvgWaits& Waits() override { return waits; }
    AvgModes& Modes() override { return modes; }
    TSubWinUnit& Windows() override { return *windows; }
    TStageUnit& Stage() override { return *stage; }
    TScenarioRecords& Records() override { return records; }
    TXeRGBPanel* AvgPanel() override { return avgPanel; }
    void AttachPanel(TXeRGBPanel* panel) override { form->AttachPanel(panel); }
    void DetachPanel(TXeRGBPanel* panel) override { form->DetachPanel(panel); }
    TGameForm* Form() override { return form; }
    TDlgUnit* Dialog() override { return dialog; }
    TConfigMenu* ConfigMenu() override { return config; }
    TSaveMenu* SaveMenu() override { return save; }
    TUserConfig& Config() override { return userConfig; }
    void SaveConfig() override { calls.push_back("save config"); }
    AnsiString SaveFolder() override { return saveFolder; }
    void Click() override
    {
        if (!subs->TakeClick())
            calls.push_back("click");
    }
    void HandBack(int result) override { calls.push_back("result " + std::to_string(result)); }
    void PlaySystemSE(const AnsiString& name) override { calls.push_back("se " + name); }
    void UpdateCursor() override {}

    AvgWaits waits;
    AvgModes modes;
    TSubWinUnit* windows = nullptr;
    TStageUnit* stage = nullptr;
    TScenarioRecords records;
    TXeRGBPanel* avgPanel = nullptr;
    TGameForm* form = nullptr;
    TDlgUnit* dialog = nullptr;
    TConfigMenu* config = nullptr;
    TSaveMenu* save = nullptr;
    TUserConfig userConfig;
    AnsiString saveFolder;
    AvgSubScreens* subs = nullptr;
    std::vector<std::string> calls;
};

class AvgSubScreensFixture : public ShellTest::FormFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Everything closed at once and the screen's panel back on the root panel, the record's wait
    // and modes as a script start leaves them, no calls recorded.
    void ResetScreen();
    // Enters a wait state the way the screen does, telling the sub-screens.
    void Enter(WaitState state);
    // One frame of the screen: the windows' steps below level 3, then the sub-screens' own, then
    // the form's draw (which draws a running transition).
    void Frame();
    // Frames until the predicate holds; false after `limit` frames.
    template <typename Done> bool FramesUntil(Done done, int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }
    // Fills the backlog with `lines` lines, line i holding i in full-width digits, and a new empty
    // line after them when asked.
    void FillBacklog(int lines, bool emptyNewest);
    static std::string Line(int i);
    std::string BacklogRow(int row) const;
    TXeRGBPanel* SideMenuButton(int i) const;
    bool OnRoot(TXeRGBPanel* panel) const { return panel->Parent() == form->RootPanel(); }
    void TakeCalls() { host.calls.clear(); }

    WindowTest::WindowPictures pictures;
    ScenarioTest::TempFolder saves;
    menutest::RecordingShellServices services;
    TRandom random;
    TSystemState system;
    RecordingHost host;
    std::unique_ptr<TComponent> owner;
    std::unique_ptr<TSubWinUnit> windows;
    std::unique_ptr<TStageUnit> stage;
    std::unique_ptr<TDlgUnit> dialog;
    std::unique_ptr<TConfigMenu> config;
    std::unique_ptr<TSaveMenu> save;
    WindowTest::RecordingHost windowHost;
    std::unique_ptr<AvgSubScreens> subs;
};

} // namespace AvgSubTest
