// The adventure screen's test bed: a game folder made current with the stage's picture folders,
// the sound-effect folder, voice packs and the scripts; the sub-windows' pictures as the data
// files; the real sound channels on a recording device; a host that records thread results, panels
// and the cursor; and the records. Scripts are written in the assembler's text.
#pragma once

#include "shell/sound/RecordingSoundDevice.h"
#include "base/PackFixture.h"
#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/TRandom.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/adventure/TAvgUnit.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/windows/WindowTestSupport.h"
#include "shell/config/TUserConfig.h"
#include "shell/sound/GameSoundChannels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace AvgTest {

class RecordingHost final : public AvgHost {
public:
    void PlaySystemSE(const AnsiString& name, TFileMan*) override { systemSounds.push_back(name); }
    void SetMousePos(int x, int y) override { mouse.emplace_back(x, y); }
    GameSoundChannels* Sound() override { return sound; }
    void SetThreadResult(int value) override { results.push_back(value); }
    void AttachPanel(TXeRGBPanel* panel) override;
    void DetachPanel(TXeRGBPanel* panel) override;
    void SetCursorKind(int kind) override { cursor = kind; }
    void ResetFrameCounters() override { ++frameResets; }
    AnsiString SaveFolder() const override { return saveFolder; }
    TGameForm* Form() override { return nullptr; }
    void SaveConfig(const TUserConfig&) override { ++configSaves; }

    GameSoundChannels* sound = nullptr;
    AnsiString saveFolder;
    std::vector<std::string> systemSounds;
    std::vector<std::pair<int, int>> mouse;
    std::vector<int> results;
    std::vector<std::string> rootPanels; // names of the panels on the root panel, in order
    int cursor = 0;
    int frameResets = 0;
    int configSaves = 0;
};

class AvgFixture : public ::testing::Test {
protected:
    AvgFixture();
    ~AvgFixture() override;

    // Assembles the text and writes its scripts and scene table into the script folder.
    void WriteScenario(const std::string& text);
    // A script 1 with one scene "s" running `code` and then halting.
    void WriteScene(const std::string& code) { WriteScenario(".script 1\n.scene \"s\" main\nmain:\n" + code + "\nhalt\n"); }
    // A file of the game folder holding `text` (the recording device names a sound by it).
    void WriteText(const std::string& relative, const std::string& text);
    // Voice pack `pack` holding each voice as a sound named "v" + number.
    void WriteVoicePack(int pack, const std::vector<std::int32_t>& voices);
    // Backgrounds and characters of one colour.
    void PlainBackground(int number, std::uint32_t colour);
    void PlainCharacter(int number, std::uint32_t colour);

    // Makes and initialises the screen; then starts scene "s" as a new game when asked.
    void Start(bool startScene = true);
    void Frames(int n);
    // Single frames until `done` holds; the number of frames run, or -1 after `limit` frames.
    int FramesUntil(const std::function<bool()>& done, int limit = 2000);
    WaitState Wait() const { return unit_->GetWaitState(); }
    TGameState& Record() { return records_.current; }
    std::vector<std::string> SoundLog() { return device_.TakeLog(); }
    bool Playing(const std::string& sound) const { return device_.Live(sound) != nullptr && device_.Live(sound)->playing; }
    // The rows of the message window's text as the window holds them.
    std::vector<std::string> MessageRows() const;
    // The ink on the message window's text layer in the cell of `column` in `row`.
    int Coverage(int column, int row) const;

    PackFixture::ScratchFolder folder_;
    std::filesystem::path savedFolder_;
    TMemMan registry_{nullptr};
    TMemMan* savedRegistry_;
    TBitDepth savedDisplay_;
    TBitDepth savedGame_;
    WindowTest::WindowPictures pictures_;
    TFileMan scripts_{nullptr};
    TFileMan bgmFiles_{nullptr};
    shelltest::RecordingSoundDevice device_;
    std::unique_ptr<GameSoundChannels> sound_;
    RecordingHost host_;
    TScenarioRecords records_;
    TSystemState system_;
    TReadMesTable readMes_;
    TUserConfig config_;
    TRandom random_;
    TMovieUnit* movie_ = nullptr;
    // The system menus given to the screen (none unless a test makes them).
    TDlgUnit* dialog_ = nullptr;
    TConfigMenu* configMenu_ = nullptr;
    TSaveMenu* saveMenu_ = nullptr;
    std::unique_ptr<TAvgUnit> unit_;
};

} // namespace AvgTest
