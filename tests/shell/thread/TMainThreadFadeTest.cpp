#include "shell/thread/TMainThread.h"

#include "base/memory/TMemMan.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/GameExceptions.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/transition/FadeKinds.h"
#include "tests/shell/FormTestSupport.h"
#include "tests/shell/transition/TransitionTestSupport.h"

#include <fstream>

namespace {

using namespace ShellTest;

// A logic thread that is never started: its fades run on the test's thread.
class Logic : public TMainThread {
public:
    using TMainThread::TMainThread;
};

// A form in window mode whose frames each bring the next frame one pulse, with the stripes mask in
// its data folder.
class TMainThreadFadeTest : public FormFixture {
protected:
    void SetUp() override
    {
        const std::filesystem::path data = folder.Path() / "Game_Pak";
        std::filesystem::create_directories(data);
        const transitiontest::Bytes mask =
            transitiontest::GreyBmp(640, 480, [](int x, int) { return static_cast<std::uint8_t>(x & 0xFF); });
        std::ofstream(data / kFadeMaskFiles[22 - kFirstMaskFade], std::ios::binary)
            .write(reinterpret_cast<const char*>(mask.data()), static_cast<std::streamsize>(mask.size()));
        Make();
        ASSERT_NE(form->StateLock(), nullptr);
        EnableDisplay(false, true);
        form->SetState(fsRunning);
        form->Pictures().workSurface->BoxFill(0, 0, 639, 479, 0x336699);
        form->SetOnUpdate([this](int) {
            ++frames;
            while (!form->Pulse().Tick(10)) {
            }
            if (frames > 500)
                logic->Terminate(); // a fade that never ends fails instead of hanging
        });
        form->StateLock()->Acquire(); // game code holds the state lock
        logic = std::make_unique<Logic>(*form);
        MainThread = logic.get();
    }

    void TearDown() override
    {
        MainThread = nullptr;
        form->StateLock()->Release();
    }

    std::size_t Listed() const { return MemMan->Records().size(); }

    std::uint32_t Shown(int x, int y)
    {
        const auto front = window->Front().Copy();
        const std::uint8_t* p = &front.pixels[(static_cast<std::size_t>(y) * front.width + x) * 4];
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }

    std::unique_ptr<Logic> logic;
    int frames = 0;
};

TEST_F(TMainThreadFadeTest, ARefusedFadeWaitsNoFramesLeavesState1AndFreesItsPictures)
{
    const std::size_t before = Listed();
    TXeRGBBits* from = CreateScreenBits();
    TXeRGBBits* small = CreateScreenBits();
    small->Resize(320, 240);
    logic->Fade(0, from, small);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(form->GetState(), fsRunning);
    EXPECT_EQ(Listed(), before) << "no leak per refused fade";
}

TEST_F(TMainThreadFadeTest, AFadeRunsToItsPictureAndKeepsTheResultSetBeforeIt)
{
    const std::size_t before = Listed();
    logic->SetResultValue(9);
    logic->FadeToWhite(1);
    EXPECT_GT(frames, 16);
    EXPECT_EQ(form->GetState(), fsRunning);
    EXPECT_EQ(Shown(100, 100), 0xFFFFFFu);
    EXPECT_EQ(logic->ResultValue(), 9);
    EXPECT_EQ(logic->FadeSpeed(), 100);
    EXPECT_EQ(Listed(), before) << "the form deleted both pictures at the end";
    logic->FadeToBlack(30); // above 29: the plain cross-fade
    EXPECT_EQ(Shown(100, 100), 0u);
}

TEST_F(TMainThreadFadeTest, AMaskFadeLoadsItsMaskAndReleasesItAfterwards)
{
    const std::size_t before = Listed();
    logic->FadeToBlack(22);
    EXPECT_EQ(Shown(600, 400), 0u);
    EXPECT_FALSE(form->Transition().MaskEffect().Loaded());
    EXPECT_EQ(Listed(), before);
}

TEST_F(TMainThreadFadeTest, AMissingMaskEndsTheFadeWithItsPicturesFreed)
{
    const std::size_t before = Listed();
    EXPECT_THROW(logic->FadeToScreen(17), EGameErr);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(Listed(), before);
}

} // namespace

namespace {

TEST_F(TMainThreadFadeTest, AFadeToAPanelShowsThePanelDrawnByItself)
{
    TXeRGBPanel panel(nullptr); // not attached to the root panel
    panel.SetSizeX(640);
    panel.SetSizeY(480);
    ASSERT_TRUE(CreatePanelImage(&panel, 640, 480, mmNormal));
    panel.Image()->BoxFill(0, 0, 639, 479, panel.Image()->TXeRGBtoPixel(TXeRGB(0x224466)));
    ASSERT_TRUE(panel.Create());
    logic->FadeToPanel(1, &panel);
    EXPECT_EQ(Shown(10, 10), 0x224466u);
    EXPECT_EQ(form->GetState(), fsRunning);
    FreePanelImage(&panel);
}

} // namespace
