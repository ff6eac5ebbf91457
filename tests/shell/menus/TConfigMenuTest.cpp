#include "shell/menus/TConfigMenu.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "shell/ShellTestSupport.h"
#include "shell/config/TUserConfig.h"
#include "shell/menus/RecordingShellServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// The parts sheet's size: the parts reach x 522, and the second row's four patterns y 224.
constexpr int kSheetWidth = 522;
constexpr int kSheetHeight = 224;
constexpr int kKnobPartX = 491;
constexpr int kKnobPartY = 112;

// The menu on a screen panel, initialised from a plain (alpha-less) parts sheet.
class TConfigMenuTest : public ::testing::Test {
public: // the case tables' readers reach the fixture
    void SetUp() override
    {
        folder_.Write("CfgParts.png", shelltest::PngOfPattern(kSheetWidth, kSheetHeight, false));
        files_.InitDir(folder_.Name());
        screen_.SetCreated(true);
        ASSERT_TRUE(menu_.Initialize(&files_));
        menu_.SetOnClose([this](std::int32_t code) { codes_.push_back(code); });
        menu_.ConfigPanel()->SetParent(&screen_);
    }

    TXeRGBPanel* Panel(const char* name)
    {
        TXeRGBPanel* panel = menu_.FindPanel(name);
        EXPECT_NE(panel, nullptr) << name;
        return panel;
    }
    TXeRGBBtn* Button(const char* name) { return static_cast<TXeRGBBtn*>(Panel(name)); }

    // The screen point (x, y) of the named panel's client area.
    TPoint At(const char* name, int x, int y)
    {
        Panel(name)->ClientToScreen(x, y);
        return {x, y};
    }
    void Click(const char* name)
    {
        const TPoint p = At(name, 3, 3);
        screen_.MouseMove(0, p.x, p.y);
        screen_.MouseDown(mbLeft, ssLeft, p.x, p.y);
        screen_.MouseUp(mbLeft, 0, p.x, p.y);
    }
    void PressSlider(const char* name, int x)
    {
        const TPoint p = At(name, x, 7);
        screen_.MouseDown(mbLeft, ssLeft, p.x, p.y);
    }
    void MoveSlider(const char* name, int x, TShiftState shift)
    {
        const TPoint p = At(name, x, 7);
        screen_.MouseMove(shift, p.x, p.y);
    }
    void Release() { screen_.MouseUp(mbLeft, 0, 0, 0); }

    shelltest::ScopedGlobals globals_{bd24};
    PackFixture::ScratchFolder folder_;
    TFileMan files_{nullptr};
    menutest::RecordingShellServices services_;
    TUserConfig config_;
    TXeRGBPanel screen_{nullptr};
    TConfigMenu menu_{nullptr, services_, config_};
    std::vector<std::int32_t> codes_;
};

TEST(TConfigMenuStart, FailsWithoutItsPartsSheetAndLeavesNothingMade)
{
    shelltest::ScopedGlobals globals(bd24);
    PackFixture::ScratchFolder folder;
    TFileMan files(nullptr);
    files.InitDir(folder.Name());
    menutest::RecordingShellServices services;
    TUserConfig config;
    TConfigMenu menu(nullptr, services, config);
    const std::size_t before = globals.Listed();
    EXPECT_FALSE(menu.Initialize(&files));
    EXPECT_FALSE(menu.Created());
    EXPECT_EQ(globals.Listed(), before);
}

TEST_F(TConfigMenuTest, PlacesEveryControlFromItsPartWithTheTableWidths)
{
    struct Case {
        const char* name;
        int x, y, w, h;
    };
    const Case cases[] = {{"SysBtnNormalSet", 250, 53, 69, 28}, {"BGMVBtnL", 135, 80, 11, 12},
                          {"BGMVSlider", 147, 79, 117, 15},     {"BGMVNum", 278, 81, 24, 10},
                          {"ASkipNum", 278, 379, 32, 10},       {"BtnExit", 572, 436, 69, 28}};
    for (const Case& c : cases) {
        const TXeRGBPanel* p = Panel(c.name);
        EXPECT_EQ(p->OffsetX(), c.x) << c.name;
        EXPECT_EQ(p->OffsetY(), c.y) << c.name;
        EXPECT_EQ(p->SizeX(), c.w) << c.name;
        EXPECT_EQ(p->SizeY(), c.h) << c.name;
        EXPECT_NE(p->Image(), nullptr) << c.name;
    }
    EXPECT_EQ(Panel("BGMVSlider")->MaskMode(), mmNone);
    EXPECT_FALSE(Panel("PlaceON")->Visible());
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("ASkipNum"))->Column(), 4);
}

TEST_F(TConfigMenuTest, AMouseDownOnASliderSetsTheValueFromThePoint)
{
    struct Case {
        const char* slider;
        int x;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"BGMVSlider", 0, 0},       {"BGMVSlider", 4, 0},       {"BGMVSlider", 58, 50},   {"BGMVSlider", 111, 99},
        {"BGMVSlider", 112, 100},   {"BGMVSlider", 116, 100},   {"ASkipSlider", 4, 0},    {"ASkipSlider", 58, 2500},
        {"ASkipSlider", 112, 5000}, {"SpeedSlider", 4, 100},    {"SpeedSlider", 112, 0},  {"SpeedSlider", 58, 50},
        {"MesBoxSlider", 31, 25},   {"KeyVSlider", 112, 100},
    };
    const auto value = [this](const std::string& slider) -> std::int32_t {
        if (slider == "BGMVSlider")
            return services_.volumes[vkBGM];
        if (slider == "ASkipSlider")
            return config_.AutoSkipWait;
        if (slider == "SpeedSlider")
            return config_.UserTextSpeed;
        if (slider == "MesBoxSlider")
            return config_.MesBoxTrans;
        return config_.VolumeKeyboard;
    };
    for (const Case& c : cases) {
        config_.VolumeKeyboard = 7;
        PressSlider(c.slider, c.x);
        Release();
        EXPECT_EQ(value(c.slider), c.expected) << c.slider << " at " << c.x;
    }
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("ASkipNum"))->Number(), 5000) << "the number follows the last change";
}

TEST_F(TConfigMenuTest, ADragMovesTheValueOnlyWhileTheLeftButtonIsHeld)
{
    PressSlider("VoiceVSlider", 58);
    EXPECT_EQ(services_.volumes[vkVoice], 50);
    MoveSlider("VoiceVSlider", 31, ssLeft);
    EXPECT_EQ(services_.volumes[vkVoice], 25);
    MoveSlider("VoiceVSlider", 300, ssLeft);
    EXPECT_EQ(services_.volumes[vkVoice], 100) << "the slider holds the mouse past its end";
    MoveSlider("VoiceVSlider", 58, ssRight);
    EXPECT_EQ(services_.volumes[vkVoice], 100);
    Release();
    MoveSlider("VoiceVSlider", 4, 0);
    EXPECT_EQ(services_.volumes[vkVoice], 100);
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("VoiceVNum"))->Number(), 100);
    EXPECT_EQ(Panel("VoiceVSlider")->Tag, 100);
}

TEST_F(TConfigMenuTest, ArrowsStepWithinTheirLimitsAndPlayNothing)
{
    struct Case {
        const char* arrow;
        std::int32_t TUserConfig::*field;
        std::int32_t before;
        std::int32_t after;
    };
    const Case cases[] = {
        {"ASkipBtnR", &TUserConfig::AutoSkipWait, 2050, 2100},
        {"ASkipBtnL", &TUserConfig::AutoSkipWait, 2050, 2000},
        {"ASkipBtnL", &TUserConfig::AutoSkipWait, 2000, 1900},
        {"ASkipBtnR", &TUserConfig::AutoSkipWait, 5000, 5000},
        {"ASkipBtnL", &TUserConfig::AutoSkipWait, 0, 0},
        {"ASkipBtnR", &TUserConfig::AutoSkipWait, 4999, 5000},
        {"SpeedBtnL", &TUserConfig::UserTextSpeed, 99, 100},
        {"SpeedBtnL", &TUserConfig::UserTextSpeed, 100, 100},
        {"SpeedBtnR", &TUserConfig::UserTextSpeed, 1, 0},
        {"SpeedBtnR", &TUserConfig::UserTextSpeed, 0, 0},
        {"MesBoxBtnL", &TUserConfig::MesBoxTrans, 25, 24},
        {"MesBoxBtnL", &TUserConfig::MesBoxTrans, 0, 0},
        {"MesBoxBtnR", &TUserConfig::MesBoxTrans, 100, 100},
        {"MainVBtnR", &TUserConfig::VolumeMainPlay, 99, 100},
        {"KeyVBtnL", &TUserConfig::VolumeKeyboard, 1, 0},
    };
    for (const Case& c : cases) {
        config_.*c.field = c.before;
        menu_.Refresh();
        Click(c.arrow);
        EXPECT_EQ(config_.*c.field, c.after) << c.arrow << " from " << c.before;
    }
    services_.volumes[vkBGM] = 0;
    menu_.Refresh();
    Click("BGMVBtnL");
    Click("BGMVBtnR");
    EXPECT_EQ(services_.calls, Calls{"volume bgm 1"}) << "no sound, and no change below 0";
}

TEST_F(TConfigMenuTest, TheSpeedArrowsMoveTheKnobTheOtherWay)
{
    config_.UserTextSpeed = 60;
    menu_.Refresh();
    const int knob = Panel("SpeedSlider")->Tag;
    Click("SpeedBtnL");
    EXPECT_EQ(config_.UserTextSpeed, 61);
    EXPECT_EQ(Panel("SpeedSlider")->Tag, knob - 1) << "the left arrow raises the speed and moves the knob left";
}

TEST_F(TConfigMenuTest, StandardButtonsPlayTheirSoundThenSetInOrder)
{
    services_.volumes = {1, 2, 3, 4};
    services_.fps = 0;
    Click("SysBtnNormalSet");
    EXPECT_EQ(services_.calls, (Calls{"se SysSeClick06", "volume voice 100", "volume bgm 70", "volume se 100",
                                      "volume rear 90", "fps 2"}));
    EXPECT_TRUE(Button("FpsFullBtn")->Selected());

    config_.UserTextSpeed = 7, config_.MesBoxTrans = 7, config_.AutoSkipWait = 7;
    config_.SimpleDisplay = 1, config_.ShowPlaceName = 1;
    Click("AdvBtnNormalSet");
    EXPECT_EQ(config_.UserTextSpeed, 100);
    EXPECT_EQ(config_.MesBoxTrans, 25);
    EXPECT_EQ(config_.AutoSkipWait, 2000);
    EXPECT_EQ(config_.SimpleDisplay, 0);
    EXPECT_EQ(config_.ShowPlaceName, 0);
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("ASkipNum"))->Number(), 2000);

    config_.VolumeMainPlay = 7, config_.VolumeKeyboard = 7, config_.AvgAutoMode = 1, config_.MusicAutoMode = 1;
    config_.MusicRankMode = 2, config_.MusicWordMode = 0, config_.MusicAnime = 0, config_.MusicTimingMode = 0;
    Click("MusicBtnNormalSet");
    EXPECT_EQ(config_.VolumeMainPlay, 100);
    EXPECT_EQ(config_.VolumeKeyboard, 100);
    EXPECT_EQ(config_.AvgAutoMode, 0);
    EXPECT_EQ(config_.MusicAutoMode, 0);
    EXPECT_EQ(config_.MusicRankMode, 0);
    EXPECT_EQ(config_.MusicWordMode, 1);
    EXPECT_EQ(config_.MusicAnime, 1);
    EXPECT_EQ(config_.MusicTimingMode, 1);
    EXPECT_TRUE(Button("RankNormal")->Selected());
    EXPECT_EQ(services_.calls.back(), "se SysSeClick06");
}

TEST_F(TConfigMenuTest, EachOptionGroupHasOneSelectedButtonForItsValue)
{
    struct Group {
        std::vector<const char*> buttons;
        std::vector<std::int32_t> values;
        std::int32_t (*read)(const TConfigMenuTest&);
    };
    const Group groups[] = {
        {{"FpsNoSyncBtn", "FpsFullBtn", "Fps30Btn"}, {3, 2, 1}, [](const TConfigMenuTest& t) -> std::int32_t { return t.services_.fps; }},
        {{"EffectNormal", "EffectSimple"}, {0, 1}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.SimpleDisplay; }},
        {{"AutoAdvON", "AutoAdvOFF"}, {1, 0}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.AvgAutoMode; }},
        {{"AutoFreeON", "AutoFreeOFF"}, {1, 0}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.MusicAutoMode; }},
        {{"RankEasy", "RankNormal", "RankHard"}, {2, 0, 1}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.MusicRankMode; }},
        {{"WordNormal", "WordHiQuality", "WordOFF"}, {1, 2, 0}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.MusicWordMode; }},
        {{"AnimeON", "AnimeOFF"}, {1, 0}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.MusicAnime; }},
        {{"TimingSound", "TimingTimer"}, {1, 0}, [](const TConfigMenuTest& t) -> std::int32_t { return t.config_.MusicTimingMode; }},
    };
    for (const Group& g : groups)
        for (std::size_t clicked = 0; clicked < g.buttons.size(); ++clicked) {
            services_.calls.clear();
            Click(g.buttons[clicked]);
            EXPECT_EQ(g.read(*this), g.values[clicked]) << g.buttons[clicked];
            EXPECT_EQ(services_.calls.front(), "se SysSeClick03") << g.buttons[clicked];
            for (std::size_t i = 0; i < g.buttons.size(); ++i)
                EXPECT_EQ(Button(g.buttons[i])->Selected(), i == clicked) << g.buttons[i] << " after " << g.buttons[clicked];
        }
    config_.ShowPlaceName = 1;
    menu_.Refresh();
    EXPECT_TRUE(Button("PlaceON")->Selected());
    EXPECT_FALSE(Button("PlaceOFF")->Selected());
}

TEST_F(TConfigMenuTest, DisplayButtonsRequestOnlyAChangeAndFollowTheModeEveryFrame)
{
    services_.window = true;
    Click("DispWindowBtn");
    EXPECT_TRUE(services_.calls.empty());
    Click("DispFullBtn");
    EXPECT_EQ(services_.calls, Calls{"window 0"});
    EXPECT_TRUE(Button("DispWindowBtn")->Selected()) << "the switch has not happened yet";

    services_.window = false; // the UI thread switched
    screen_.Anime();
    EXPECT_TRUE(Button("DispFullBtn")->Selected());
    EXPECT_FALSE(Button("DispWindowBtn")->Selected());
    services_.calls.clear();
    Click("DispFullBtn");
    EXPECT_TRUE(services_.calls.empty());
    Click("DispWindowBtn");
    EXPECT_EQ(services_.calls, Calls{"window 1"});
}

TEST_F(TConfigMenuTest, TheKnobIsDrawnOnItsTrackEvenForAStoredValueOutOfRange)
{
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd24);
    ASSERT_TRUE(screen.Create());
    const std::uint32_t knob = shelltest::PatternColour(kKnobPartX, kKnobPartY);
    struct Case {
        std::int32_t speed;
        int knobX;
    };
    const Case cases[] = {{150, 0}, {0, 108}, {-20, 108}, {50, 54}};
    for (const Case& c : cases) {
        config_.UserTextSpeed = c.speed;
        menu_.Refresh();
        screen.Cls();
        screen_.Draw(&screen);
        const TPoint at = At("SpeedSlider", c.knobX, 0);
        EXPECT_EQ(screen.PGet(at.x, at.y), knob) << c.speed;
        EXPECT_EQ(config_.UserTextSpeed, c.speed) << "the stored value is left alone";
    }
}

TEST_F(TConfigMenuTest, TheSampleShowsTheMessageWindowAtItsLevel)
{
    folder_.Write("CfgMesBox.bmp", shelltest::BmpOfPattern(20, 10));
    menu_.Finalize();
    ASSERT_TRUE(menu_.Initialize(&files_));
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd24);
    ASSERT_TRUE(screen.Create());
    const TPoint at = At("MesBoxSample", 5, 5);
    const std::uint32_t colour = shelltest::PatternColour(5, 5);
    struct Case {
        std::int32_t trans;
        std::uint32_t pixel;
    };
    // Level (100 - 50) x 128 / 100 = 64: half of each channel over black.
    const std::uint32_t half = ((colour >> 16 & 0xFF) * 64 / 128) << 16 | ((colour >> 8 & 0xFF) * 64 / 128) << 8 |
                               (colour & 0xFF) * 64 / 128;
    const Case cases[] = {{0, colour}, {100, 0}, {50, half}};
    for (const Case& c : cases) {
        config_.MesBoxTrans = c.trans;
        screen.Cls();
        screen_.Draw(&screen);
        EXPECT_NEAR(static_cast<double>(screen.PGet(at.x, at.y) & 0xFF), static_cast<double>(c.pixel & 0xFF), 1) << c.trans;
        EXPECT_NEAR(static_cast<double>(screen.PGet(at.x, at.y) >> 16), static_cast<double>(c.pixel >> 16), 1) << c.trans;
    }
}

TEST_F(TConfigMenuTest, ExitPlaysItsSoundAndReportsSix)
{
    Click("BtnExit");
    EXPECT_EQ(services_.calls, Calls{"se SysSeClick06"});
    EXPECT_EQ(codes_, std::vector<std::int32_t>{6});
}

TEST_F(TConfigMenuTest, FinalizeFreesTheSheetAndThePictures)
{
    menu_.Finalize();
    menu_.Finalize();
    EXPECT_FALSE(menu_.Created());
    EXPECT_EQ(globals_.Listed(), 0u);
}

} // namespace
