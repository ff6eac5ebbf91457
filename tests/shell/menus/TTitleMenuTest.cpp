#include "shell/menus/TTitleMenu.h"

#include "base/PackFixture.h"
#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Stream.h"
#include "shell/ShellTestSupport.h"
#include "tests/shell/FormTestSupport.h"
#include "shell/config/TUserConfig.h"
#include "shell/menus/RecordingShellServices.h"
#include "shell/menus/TDlgUnit.h"
#include "shell/menus/TitleCallHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 26;
constexpr TPoint kDialogYes{216 + 78 + 23, 186 + 58 + 11};
constexpr TPoint kDialogNo{216 + 136 + 23, 186 + 58 + 11};
constexpr const char* kButtonPictures[] = {"TitleStart.png", "TitleLoad.png",  "TitleAlbum.png",
                                           "TitleSound.png", "TitleFreePlay.png", "TitleScore.png",
                                           "TitleNetRanking.png", "TitleConfig.png", "TitleExit.png"};
constexpr int kButtonTops[] = {28, 58, 103, 133, 183, 232, 262, 308, 358};

// A PNG of one colour.
shelltest::Bytes PngOfColour(int width, int height, std::uint32_t colour)
{
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i)
        for (int shift : {0, 8, 16})
            pixels.push_back(static_cast<std::uint8_t>(colour >> shift));
    TMemoryStream stream;
    if (!SavePng(&stream, pixels.data(), width, height, pf24_888))
        return {};
    return shelltest::Bytes(stream.Memory(), stream.Memory() + stream.GetSize());
}

// A scripted form: transitions start unless refused, end when the test says so, and the pictures
// a start is given are checked and then freed as the form would.
class ScriptedHost final : public TitleCallHost {
public:
    bool StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to) override
    {
        calls.push_back("start " + std::to_string(kind));
        if (refuse)
            return false;
        fromCorner = from->PGet(5, 5);
        toCorner = to->PGet(5, 5);
        MemMan->Delete(from);
        MemMan->Delete(to);
        done = false;
        return true;
    }
    void AdvanceTransition(int dp) override { calls.push_back("advance " + std::to_string(dp)); }
    bool IsTransitionDone() const override { return done; }
    void ResetTransition() override
    {
        calls.push_back("reset");
        done = true;
    }
    void SetTransitionHooks(bool on) override
    {
        hooks = on;
        calls.push_back(on ? "hooks on" : "hooks off");
    }
    void ResetFrameCounters() override { calls.push_back("counters"); }
    bool IsSystemSEPlaying() override { return sePlaying; }

    Calls calls;
    bool refuse = false;
    bool done = true;
    bool hooks = false;
    bool sePlaying = false;
    std::uint32_t fromCorner = 0;
    std::uint32_t toCorner = 0;
};

// The menu shown on a screen panel with button pictures; warps come back as mouse moves.
class TTitleMenuTest : public ::testing::Test {
public: // the case tables' actions reach the fixture
    void SetUp() override
    {
        for (const char* picture : kButtonPictures)
            folder_.Write(picture, shelltest::PngOfPattern(kButtonWidth, kButtonHeight * 3, false));
        folder_.Write("TitleCall01.png", PngOfColour(640, 480, 0x102030));
        folder_.Write("TitleCall02.png", PngOfColour(640, 480, 0x405060));
        files_.InitDir(folder_.Name());
        screen_.SetCreated(true);
        services_.onMouse = [this](int x, int y) { screen_.MouseMove(0, x, y); };
        ASSERT_TRUE(dialog_.Initialize(&files_));
        ASSERT_TRUE(menu_.Initialize(&files_));
        menu_.TitleMenuPanel()->SetParent(&screen_);
        menu_.Show();
        services_.calls.clear();
    }

    void Key(std::uint16_t key) { screen_.KeyDown(key, 0); }
    void Click(TPoint at)
    {
        screen_.MouseMove(0, at.x, at.y);
        screen_.MouseDown(mbLeft, ssLeft, at.x, at.y);
        screen_.MouseUp(mbLeft, 0, at.x, at.y);
    }
    static TPoint ButtonPoint(int index) { return {65 + 10, kButtonTops[index] + 10}; }
    static std::string WarpTo(int index)
    {
        return "mouse " + std::to_string(65 + kButtonWidth - 8) + "," + std::to_string(kButtonTops[index] + 8);
    }

    shelltest::ScopedGlobals globals_{bd24};
    PackFixture::ScratchFolder folder_;
    TFileMan files_{nullptr};
    menutest::RecordingShellServices services_;
    ScriptedHost host_;
    TUserConfig config_;
    TXeRGBPanel screen_{nullptr};
    TDlgUnit dialog_{nullptr};
    TTitleMenu menu_{nullptr, services_, host_, config_, dialog_};
};

TEST_F(TTitleMenuTest, CursorKeysWalkTheShownButtonsAndPutTheMouseOnTheChosenOne)
{
    constexpr std::uint16_t kUp = 38;
    constexpr std::uint16_t kDown = 40;
    using enum TTitleMenu::TTitleButton;
    struct Case {
        std::vector<std::uint16_t> keys;
        int focus;
    };
    const Case cases[] = {
        {{kUp}, tbStart},                                    // no focus: the first button, no step
        {{kDown}, tbStart},
        {{kUp, kUp}, tbStart},                               // the top stays
        {{kDown, kDown}, tbLoad},
        {{kDown, kDown, kDown}, tbFreePlay},                 // album and sound are hidden
        {{kDown, kDown, kDown, kDown}, tbScore},
        {{kDown, kDown, kDown, kDown, kDown}, tbConfig},     // ranking is hidden
        {{kDown, kDown, kDown, kDown, kDown, kDown}, tbExit},
        {{kDown, kDown, kDown, kDown, kDown, kDown, kDown}, tbExit}, // the bottom stays
        {{kDown, kDown, kDown, kUp}, tbLoad},
        {{kDown, kDown, kDown, kDown, kDown, kUp}, tbScore},
    };
    for (const Case& c : cases) {
        screen_.MouseMove(0, 600, 460); // off every button: no focus
        services_.calls.clear();
        for (std::uint16_t key : c.keys)
            Key(key);
        // Each key warps; the hover sound plays when the warp reaches another button.
        std::vector<std::string> warps;
        std::copy_if(services_.calls.begin(), services_.calls.end(), std::back_inserter(warps),
                     [](const std::string& call) { return call.starts_with("mouse"); });
        ASSERT_EQ(warps.size(), c.keys.size());
        EXPECT_EQ(warps.back(), WarpTo(c.focus)) << c.keys.size() << " keys";
        EXPECT_EQ(services_.calls.at(1), "se SysSEClick02") << "the hover follows the warp";
        EXPECT_EQ(menu_.FocusIndex(), c.focus) << c.keys.size() << " keys";
    }
}

TEST_F(TTitleMenuTest, ButtonsHandOutTheirResultsByMouseAndByEnterOrSpace)
{
    using enum TTitleMenu::TTitleButton;
    const std::pair<int, int> buttons[] = {{tbStart, 1},   {tbLoad, 2},    {tbFreePlay, 3}, {tbScore, 4}, {tbRanking, 5},
                                           {tbAlbum, 6},   {tbSound, 7},   {tbConfig, 8}};
    for (const auto& [button, result] : buttons) {
        menu_.Button(button)->SetVisible(true);
        services_.calls.clear();
        Click(ButtonPoint(button));
        EXPECT_EQ(services_.calls, (Calls{"se SysSEClick02", "se SysSEClick01", "result " + std::to_string(result)}))
            << button;
        for (std::uint16_t key : {13, 32}) {
            services_.calls.clear();
            Key(key);
            EXPECT_EQ(services_.calls, (Calls{"se SysSEClick01", "result " + std::to_string(result)})) << button;
        }
    }
}

TEST_F(TTitleMenuTest, EnterWithoutFocusAndOtherKeysDoNothing)
{
    for (std::uint16_t key : {13, 32, 27, 65, 37, 39})
        Key(key);
    EXPECT_TRUE(services_.calls.empty());
}

TEST_F(TTitleMenuTest, ExitWithoutTheQuestionHandsOutTenAtOnce)
{
    config_.ExitConfirm = 0;
    Click(ButtonPoint(TTitleMenu::tbExit));
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick02", "result 10"}));
    EXPECT_FALSE(dialog_.IsOpen());
}

TEST_F(TTitleMenuTest, TheExitQuestionStopsTheIdleCountNoRestartsItAndYesHandsOutTen)
{
    config_.ExitConfirm = 1;
    Click(ButtonPoint(TTitleMenu::tbExit));
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick02", "se SysSEPage"}));
    EXPECT_TRUE(dialog_.IsOpen());
    EXPECT_EQ(dialog_.DlgWin()->Parent(), menu_.TitleMenuPanel());
    EXPECT_EQ(menu_.IdleCount(), -1);

    services_.calls.clear();
    Click(kDialogNo);
    EXPECT_EQ(services_.calls, (Calls{"se SysSEPage"}));
    EXPECT_FALSE(dialog_.IsOpen());
    EXPECT_EQ(dialog_.DlgWin()->Parent(), nullptr);
    EXPECT_EQ(menu_.IdleCount(), 0);

    Click(ButtonPoint(TTitleMenu::tbExit));
    services_.calls.clear();
    Click(kDialogYes);
    EXPECT_EQ(services_.calls, (Calls{"result 10"}));
    EXPECT_TRUE(dialog_.IsOpen()) << "the question stays until the title is taken down";
}

// The dialog outlives the title: taking the title down must leave it detached and silent.
TEST_F(TTitleMenuTest, FinalizeTakesTheAnsweredDialogOffTheTitle)
{
    config_.ExitConfirm = 1;
    Click(ButtonPoint(TTitleMenu::tbExit));
    Click(kDialogYes);
    menu_.Finalize();
    EXPECT_EQ(dialog_.DlgWin()->Parent(), nullptr);
    EXPECT_FALSE(dialog_.IsOpen());
    services_.calls.clear();
    dialog_.Open();
    dialog_.Close();
    EXPECT_TRUE(services_.calls.empty()) << "no close method of the title is left";
}

TEST_F(TTitleMenuTest, NineHundredIdlePulsesHandOutTheDemoOnce)
{
    for (int i = 0; i < TTitleMenu::kIdlePulses - 1; ++i)
        screen_.Anime();
    EXPECT_TRUE(services_.calls.empty());
    EXPECT_EQ(menu_.IdleCount(), 899);
    screen_.Anime();
    EXPECT_EQ(services_.calls, (Calls{"result 9"}));
    EXPECT_EQ(menu_.IdleCount(), -1);
    screen_.Anime();
    EXPECT_EQ(services_.calls.size(), 1u);

    menu_.StartIdle();
    menu_.StopIdle();
    screen_.Anime();
    EXPECT_EQ(menu_.IdleCount(), -1);
}

TEST_F(TTitleMenuTest, ShowClearsTheFocusHidesTheUnusedButtonsAndStartsTheIdleCount)
{
    Key(38);
    menu_.Button(TTitleMenu::tbAlbum)->SetVisible(true);
    menu_.StopIdle();
    menu_.Show();
    EXPECT_EQ(menu_.FocusIndex(), -1);
    EXPECT_EQ(menu_.IdleCount(), 0);
    for (int hidden : {TTitleMenu::tbRanking, TTitleMenu::tbAlbum, TTitleMenu::tbSound})
        EXPECT_FALSE(menu_.Button(hidden)->Visible()) << hidden;
    for (int i = 0; i < TTitleMenu::kButtons; ++i)
        EXPECT_EQ(menu_.Button(i)->Tag, i);
}

// ---- the title call ----

class TTitleCallTest : public TTitleMenuTest {
public:
    void SetUp() override
    {
        TTitleMenuTest::SetUp();
        ASSERT_TRUE(menu_.TitleCallStart());
        menu_.TitleCallPanel()->SetParent(&screen_);
    }

    // Steps one pulse after the running transition has ended.
    void EndTransition()
    {
        host_.done = true;
        menu_.TitleCallStep(1);
    }
};

TEST_F(TTitleCallTest, RunsBothLogosWithTheirVoicesInOrderAndEndsWithResultZero)
{
    EXPECT_EQ(host_.calls, (Calls{"start 2", "hooks on", "counters"}));
    EXPECT_EQ(host_.fromCorner, 0u) << "from black";
    EXPECT_EQ(host_.toCorner, 0x102030u) << "to the first logo";
    EXPECT_EQ(menu_.CallStep(), 0);

    host_.calls.clear();
    menu_.TitleCallStep(0);
    menu_.TitleCallStep(3);
    EXPECT_EQ(host_.calls, (Calls{"advance 3"})) << "a frame without pulses does nothing";

    EndTransition();
    EXPECT_EQ(menu_.CallStep(), 1);
    EXPECT_FALSE(host_.hooks);
    host_.sePlaying = true;
    host_.calls.clear();
    menu_.TitleCallStep(1);
    EXPECT_TRUE(host_.calls.empty()) << "waits while the voice plays";
    host_.sePlaying = false;
    menu_.TitleCallStep(1);
    EXPECT_EQ(host_.calls, (Calls{"start 2", "hooks on", "counters"}));
    EXPECT_EQ(host_.fromCorner, 0x102030u);
    EXPECT_EQ(host_.toCorner, 0x405060u) << "to the second logo";

    EndTransition();
    menu_.TitleCallStep(1);
    EXPECT_EQ(host_.toCorner, 0xFFFFFFu) << "then to white";
    EXPECT_EQ(menu_.CallStep(), 4);
    EndTransition();
    EXPECT_EQ(menu_.CallStep(), -1);
    EXPECT_FALSE(host_.hooks);
    EXPECT_EQ(services_.calls, (Calls{"se TitleVoice01", "se TitleVoice02", "result 0"}));
}

TEST_F(TTitleCallTest, AClickCutsTheCallShortAtTheNextFrame)
{
    EndTransition();
    menu_.TitleCallStep(1); // the second logo's transition runs
    screen_.MouseDown(mbRight, ssRight, 100, 100);
    EXPECT_EQ(menu_.CallStep(), -1);
    host_.calls.clear();
    menu_.TitleCallStep(1);
    EXPECT_EQ(host_.calls, (Calls{"hooks off", "reset"}));
    EXPECT_EQ(services_.calls, (Calls{"se TitleVoice01", "result 0"})) << "no second voice";
}

TEST_F(TTitleCallTest, AStartThatIsRefusedEndsTheCallAtOnce)
{
    menu_.Release();
    host_.refuse = true;
    const std::size_t listed = globals_.Listed();
    EXPECT_FALSE(menu_.TitleCallStart());
    EXPECT_EQ(menu_.CallStep(), -1);
    EXPECT_FALSE(host_.hooks);
    EXPECT_EQ(globals_.Listed(), listed + 1) << "only the logo picture; both screens were freed";
    menu_.TitleCallStep(1);
    EXPECT_EQ(services_.calls.back(), "result 0");
}

// The game may end while the title call runs; the hooks it set must not outlive it.
TEST_F(TTitleCallTest, ReleasingARunningCallClearsItsHooksAndFreesTheLogo)
{
    EXPECT_TRUE(host_.hooks);
    const std::size_t listed = globals_.Listed();
    menu_.Release();
    EXPECT_FALSE(host_.hooks);
    EXPECT_EQ(host_.calls.back(), "reset");
    EXPECT_EQ(menu_.CallStep(), -1);
    EXPECT_EQ(globals_.Listed(), listed - 1);
    EXPECT_EQ(menu_.TitleCallPanel()->Image(), nullptr);
}

} // namespace

// ---- on the real form ----

class TTitleMenuOnFormTest : public ShellTest::FormFixture {};

// The form queues the move a warp causes, so the keys' warps bring the hover and the focus; the
// form animates the tree once per pulse, so the demo comes after 900 pulses.
TEST_F(TTitleMenuOnFormTest, KeysFocusThroughTheWarpsQueuedMoveAndTheDemoComesAfterNineHundredPulses)
{
    Make();
    ASSERT_NE(DataFileMan, nullptr);
    FormShellServices services(*form);
    FormTitleCallHost host(*form);
    TUserConfig config;
    TDlgUnit dialog(nullptr);
    ASSERT_TRUE(dialog.Initialize(DataFileMan));
    TTitleMenu menu(nullptr, services, host, config, dialog);
    ASSERT_TRUE(menu.Initialize(DataFileMan));
    form->RootPanel()->SetCreated(true);
    form->AttachPanel(menu.TitleMenuPanel());
    menu.Show();
    form->EnterState2();

    std::uint16_t down = 40;
    form->FormKeyDown(nullptr, down, 0);
    form->Update(0);
    EXPECT_EQ(menu.FocusIndex(), TTitleMenu::tbStart);
    const TXeRGBBtn* start = menu.Button(TTitleMenu::tbStart);
    EXPECT_EQ(mouse.x, start->OffsetX() + start->SizeX() - 8);
    EXPECT_EQ(mouse.y, start->OffsetY() + 8);
    form->FormKeyDown(nullptr, down, 0);
    form->Update(0);
    EXPECT_EQ(menu.FocusIndex(), TTitleMenu::tbLoad);

    form->Update(TTitleMenu::kIdlePulses - 1);
    EXPECT_EQ(menu.IdleCount(), TTitleMenu::kIdlePulses - 1);
    form->Update(1);
    EXPECT_EQ(menu.IdleCount(), -1);
    form->DetachPanel(menu.TitleMenuPanel());
}
