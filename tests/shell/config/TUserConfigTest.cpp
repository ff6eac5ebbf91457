#include "shell/config/TUserConfig.h"

#include "base/PackFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Field = std::function<std::int32_t&(TUserConfig&)>;

std::string Text(const PackFixture::Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// The "key=value" lines of a settings file, without their line ends.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class TUserConfigTest : public ::testing::Test {
protected:
    AnsiString Path() const { return folder_.Name("Tvqe.ini"); }
    void WriteFile(const std::string& text) const { folder_.Write("Tvqe.ini", PackFixture::Bytes(text.begin(), text.end())); }

    PackFixture::ScratchFolder folder_;
};

} // namespace

TEST_F(TUserConfigTest, StartsAtTheDefaultsAndKeepsThemWithoutAFile)
{
    TUserConfig config;
    const std::vector<std::int32_t> defaults = {
        config.MesBoxTrans,    config.UserTextSpeed,  config.AutoSkipWait,  config.SimpleDisplay, config.ShowPlaceName,
        config.AllTextSkip,    config.EffectCanSkip,  config.RightClickType, config.ExitConfirm,  config.SaveConfirm,
        config.LoadConfirm,    config.AvgAutoMode,    config.VolumeMainPlay, config.VolumeKeyboard, config.MusicRankMode,
        config.MusicAutoMode,  config.MusicWordMode,  config.MusicAnime,    config.MusicTimingMode};
    EXPECT_EQ(defaults, (std::vector<std::int32_t>{25, 100, 2000, 0, 0, 0, 1, 0, 1, 1, 1, 0, 100, 100, 0, 0, 1, 1, 1}));

    config.MesBoxTrans = 60;
    LoadUserConfig(config, Path());
    EXPECT_EQ(config.MesBoxTrans, 60) << "no file: the record keeps its values";
}

TEST_F(TUserConfigTest, ReadsNumbersInTheirRangesAndWordsInAnyCase)
{
    struct Case {
        const char* line;
        std::function<int(const TUserConfig&)> field;
        std::function<void(TUserConfig&)> before;
        int expected;
    };
    const auto mesBoxTrans = [](const TUserConfig& c) { return c.MesBoxTrans; };
    const auto rank = [](const TUserConfig& c) { return static_cast<int>(c.MusicRankMode); };
    const auto simple = [](const TUserConfig& c) { return static_cast<int>(c.SimpleDisplay); };
    const auto nothing = [](TUserConfig&) {};
    const Case cases[] = {
        {"MesBoxTrans=150", mesBoxTrans, nothing, 25},
        {"MesBoxTrans=-1", mesBoxTrans, nothing, 25},
        {"MesBoxTrans=abc", mesBoxTrans, nothing, 25},
        {"MesBoxTrans=0", mesBoxTrans, nothing, 0},
        {"MesBoxTrans=", mesBoxTrans, [](TUserConfig& c) { c.MesBoxTrans = 60; }, 60},
        // An empty value still puts an out-of-range field back to its default.
        {"MesBoxTrans=", mesBoxTrans, [](TUserConfig& c) { c.MesBoxTrans = 150; }, 25},
        {"UserTextSpeed=0", [](const TUserConfig& c) { return c.UserTextSpeed; }, nothing, 0},
        {"UserTextSpeed=200", [](const TUserConfig& c) { return c.UserTextSpeed; }, nothing, 200},
        {"UserTextSpeed=201", [](const TUserConfig& c) { return c.UserTextSpeed; }, nothing, 100},
        {"AutoSkipWait=0", [](const TUserConfig& c) { return c.AutoSkipWait; }, nothing, 0},
        {"AutoSkipWait=5000", [](const TUserConfig& c) { return c.AutoSkipWait; }, nothing, 5000},
        {"RightClickType=5", [](const TUserConfig& c) { return c.RightClickType; }, nothing, 0},
        {"RightClickType=4", [](const TUserConfig& c) { return c.RightClickType; }, nothing, 4},
        {"VolumeKeyboard=101", [](const TUserConfig& c) { return c.VolumeKeyboard; }, nothing, 100},
        {"MusicRankMode=hArD", rank, nothing, 1},
        {"MusicRankMode=easy", rank, nothing, 2},
        {"MusicRankMode=3", rank, [](TUserConfig& c) { c.MusicRankMode = 2; }, 2},
        {"SimpleDisplay=on", simple, nothing, 1},
        {"SimpleDisplay=Off", simple, [](TUserConfig& c) { c.SimpleDisplay = 1; }, 0},
        {"SimpleDisplay=maybe", simple, [](TUserConfig& c) { c.SimpleDisplay = 1; }, 1},
        {"SimpleDisplay=1", simple, nothing, 0},
        {"MusicWordMode=highquality", [](const TUserConfig& c) { return static_cast<int>(c.MusicWordMode); }, nothing, 2},
        {"MusicWordMode=NOTHING", [](const TUserConfig& c) { return static_cast<int>(c.MusicWordMode); }, nothing, 0},
        {"MusicTimingMode=timer", [](const TUserConfig& c) { return static_cast<int>(c.MusicTimingMode); }, nothing, 0},
        {"AvgAutoMode=auto", [](const TUserConfig& c) { return static_cast<int>(c.AvgAutoMode); }, nothing, 1},
    };
    for (const Case& c : cases) {
        WriteFile(std::string("[Game]\r\n") + c.line + "\r\n");
        TUserConfig config;
        c.before(config);
        LoadUserConfig(config, Path());
        EXPECT_EQ(c.field(config), c.expected) << c.line;
    }
}

TEST_F(TUserConfigTest, WritesAllNineteenKeysInOrderCreatingTheFile)
{
    TUserConfig config;
    config.SimpleDisplay = 7; // any non-zero flag is "ON"
    config.MusicRankMode = 1;
    config.MusicWordMode = 2;
    config.MusicTimingMode = 0;
    config.AutoSkipWait = 0;
    SaveUserConfig(config, Path());
    const std::vector<std::string> lines = Lines(Text(folder_.Read("Tvqe.ini")));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "[Game]", "MesBoxTrans=25", "UserTextSpeed=100", "AutoSkipWait=0", "SimpleDisplay=ON",
                         "ShowPlaceName=OFF", "AllTextSkip=OFF", "EffectCanSkip=ON", "RightClickType=0",
                         "ExitConfirm=ON", "SaveConfirm=ON", "LoadConfirm=ON", "AvgAutoMode=NoAuto",
                         "VolumeMainPlay=100", "VolumeKeyboard=100", "MusicRankMode=Hard", "MusicAutoMode=NoAuto",
                         "MusicWordMode=HighQuality", "MusicAnime=ON", "MusicTimingMode=Timer"}));

    // Read back, everything survives; other sections and keys of the file stay.
    WriteFile("[Start]\r\nWindowMode=ON\r\n" + Text(folder_.Read("Tvqe.ini")));
    TUserConfig loaded;
    LoadUserConfig(loaded, Path());
    EXPECT_EQ(loaded.SimpleDisplay, 1);
    EXPECT_EQ(loaded.MusicRankMode, 1);
    EXPECT_EQ(loaded.MusicWordMode, 2);
    EXPECT_EQ(loaded.MusicTimingMode, 0);
    EXPECT_EQ(loaded.AutoSkipWait, 0);

    // A code without a word writes nothing: the file keeps its old line.
    loaded.MusicRankMode = 3;
    SaveUserConfig(loaded, Path());
    const std::string text = Text(folder_.Read("Tvqe.ini"));
    EXPECT_NE(text.find("MusicRankMode=Hard"), std::string::npos);
    EXPECT_NE(text.find("WindowMode=ON"), std::string::npos);
}

TEST_F(TUserConfigTest, AFileThatCannotBeWrittenOrReadIsPassedOverInSilence)
{
    const AnsiString unreachable = folder_.Name("missing\\folder\\Tvqe.ini");
    TUserConfig config;
    config.MesBoxTrans = 70;
    EXPECT_NO_THROW(SaveUserConfig(config, unreachable));
    EXPECT_NO_THROW(LoadUserConfig(config, unreachable));
    EXPECT_EQ(config.MesBoxTrans, 70);
    EXPECT_TRUE(UserConfigPath().ends_with("\\Tvqe.ini"));
}
