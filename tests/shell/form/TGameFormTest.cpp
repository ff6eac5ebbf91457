#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/TXeTimer.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/IniFile.h"
#include "platform/font/LogicalFont.h"
#include "shell/sound/GameSoundChannels.h"
#include "sound/TDSound.h"
#include "tests/shell/FormTestSupport.h"

#include <fstream>

namespace {

using namespace ShellTest;
using TGameFormTest = FormFixture;

const std::string kInitFailed = "初期化に失敗しました。";

TEST_F(TGameFormTest, CreatesEveryDeviceAndFreesThemAtDestruction)
{
    Make();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(quits, 0);
    ASSERT_NE(MemMan, nullptr);
    ASSERT_NE(DataFileMan, nullptr);
    EXPECT_NE(BGMFileMan, nullptr);
    EXPECT_NE(ScriptFileMan, nullptr);
    EXPECT_NE(form->FrameTimer(), nullptr);
    EXPECT_EQ(form->FrameTimer()->GetInterval(), 10u);
    EXPECT_FALSE(form->FrameTimer()->GetEnabled());
    ASSERT_NE(form->SoundDevice(), nullptr);
    EXPECT_EQ(form->SoundDevice()->SamplesPerSec(), 44100u);
    EXPECT_EQ(form->SoundDevice()->BitsPerSample(), 16);
    EXPECT_TRUE(form->SoundDevice()->Use3D());
    EXPECT_FALSE(form->SoundDevice()->Enabled());
    ASSERT_NE(form->Display(), nullptr);
    EXPECT_FALSE(form->Display()->Enabled());
    EXPECT_EQ(DisplayBitDepth, bd32) << "the headless machine offers 640 x 480 at 32 bits";
    EXPECT_EQ(GameBitDepth, bd32);
    ASSERT_NE(form->RootPanel(), nullptr);
    EXPECT_EQ(form->RootPanel()->SizeX(), 640);
    EXPECT_EQ(form->RootPanel()->SizeY(), 480);
    EXPECT_NE(form->SoundChannels(), nullptr);
    for (auto* lock : {form->StateLock(), form->DisplayLock(), form->FrameLock()})
        EXPECT_NE(lock, nullptr);
    EXPECT_NE(form->DrawGuard(), nullptr);
    ASSERT_NE(form->SmallFont(), nullptr);
    EXPECT_EQ(form->SmallFont()->Height, -16);
    EXPECT_EQ(form->LargeFont()->Height, -24);
    EXPECT_EQ(form->LargeFont()->Charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(FileSystem::CurrentFolder(), folder.GameName());

    form->FormDestroy();
    EXPECT_EQ(MemMan, nullptr);
    EXPECT_EQ(DataFileMan, nullptr);
    EXPECT_EQ(form->Display(), nullptr);
    EXPECT_EQ(form->RootPanel(), nullptr);
}

TEST_F(TGameFormTest, DataComesFromThePackFolderWhenThePackIsMissing)
{
    std::filesystem::create_directories(folder.Path() / "Game_Pak");
    std::ofstream(folder.Path() / "Game_Pak" / "Cursor.png") << "x";
    Make();
    EXPECT_FALSE(DataFileMan->ChkIsPack());
    EXPECT_TRUE(DataFileMan->FileIsExist("cursor.png"));
}

TEST_F(TGameFormTest, CreationFailuresShowTheirMessagesAndQuit)
{
    struct Case {
        const char* name;
        bool mmx;
        bool displayStarts;
        bool modes;
        std::vector<std::pair<std::string, std::string>> expected;
    } cases[] = {
        {"no MMX", false, true, true, {{"CPUがMMXに対応していません。", "Game Error"}}},
        {"no display", true, false, true, {{"DirectX7以上が必要です。", "Error"}, {kInitFailed, "Game Error"}}},
        {"no 640 x 480 mode of 16 bits or more",
         true,
         true,
         false,
         {{"640x480,16bitカラー以上の環境が必要です。", "Error"}, {kInitFailed, "Game Error"}}},
    };
    for (const Case& c : cases) {
        boxes.clear();
        quits = 0;
        mmx = c.mmx;
        back.settings.startFails = !c.displayStarts;
        back.settings.modes = video::HeadlessVideo::StandardModes();
        if (!c.modes)
            std::erase_if(back.settings.modes, [](const video::DisplayModeDesc& m) {
                return m.width == 640 && m.height == 480 && m.layout.bitCount >= 16;
            });
        Make();
        std::vector<std::pair<std::string, std::string>> shown;
        for (const MessageBoxCall& box : boxes) {
            shown.emplace_back(box.text, box.caption);
            EXPECT_EQ(box.flags, mbOK);
        }
        EXPECT_EQ(shown, c.expected) << c.name;
        EXPECT_EQ(quits, 1) << c.name;
        EXPECT_EQ(form->RootPanel(), nullptr) << c.name << ": the rest is left undone";
        EXPECT_EQ(form->StateLock(), nullptr) << c.name;
        form.reset(); // destroying after a failed creation skips what was never made
        EXPECT_EQ(MemMan, nullptr);
    }
}

TEST_F(TGameFormTest, SettingsDefaultWithoutAFileAndRoundTrip)
{
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", Services(), window.get());
    EXPECT_EQ(form->GetFPSMode(), fpsFull);
    EXPECT_EQ(form->BgmVolume(), 70);
    EXPECT_EQ(form->VoiceVolume(), 100);
    EXPECT_EQ(form->SeVolume(), 100);
    EXPECT_EQ(form->AmbientVolume(), 90);
    form->SetFPSMode(fps30);
    WindowMode = 0;
    form.reset(); // destruction writes the settings
    const TIniFile ini(folder.GameName() + "Tvqe.ini");
    EXPECT_EQ(ini.ReadString("Game", "FPSMode", ""), "30fps");
    EXPECT_EQ(ini.ReadString("Game", "WindowMode", ""), "OFF");
    EXPECT_EQ(ini.ReadString("Game", "VolumeRear", ""), "90");
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", Services(), window.get());
    EXPECT_EQ(form->GetFPSMode(), fps30);
}

TEST_F(TGameFormTest, TheSoundChannelsKeepTheVolumesOnceCreated)
{
    std::ofstream(folder.Path() / "Tvqe.ini") << "[Game]\nVolumeBGM=40\n";
    Make();
    EXPECT_EQ(form->SoundChannels()->GetBGMVolume(), 40);
    EXPECT_EQ(form->SoundChannels()->GetRearVolume(), 90);
    form->SoundChannels()->SetSEVolume(25);
    form.reset();
    const TIniFile ini(folder.GameName() + "Tvqe.ini");
    EXPECT_EQ(ini.ReadString("Game", "VolumeBGM", ""), "40");
    EXPECT_EQ(ini.ReadString("Game", "VolumeSE", ""), "25");
}

TEST_F(TGameFormTest, SettingsOutOfRangeFallBackAndEmptyValuesKeepTheDefaults)
{
    std::ofstream(folder.Path() / "Tvqe.ini") << "[game]\r\nfpsmode=nosync\r\nVolumeBGM=150\r\nVolumeVoice=abc\r\n"
                                                 "VolumeSE=0\r\nVolumeRear=\r\n";
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", Services(), window.get());
    EXPECT_EQ(form->GetFPSMode(), fpsNoSync);
    EXPECT_EQ(form->BgmVolume(), 70);
    EXPECT_EQ(form->VoiceVolume(), 100);
    EXPECT_EQ(form->SeVolume(), 0);
    EXPECT_EQ(form->AmbientVolume(), 90);
}

TEST_F(TGameFormTest, SettingTheSameFPSModeWritesNothing)
{
    form = std::make_unique<TGameForm>(nullptr, "Script", "Game", Services(), window.get());
    form->SetFPSMode(fpsFull);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Tvqe.ini"));
    form->SetFPSMode(fps15);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Tvqe.ini"));
}

} // namespace
