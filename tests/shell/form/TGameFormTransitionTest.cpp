#include "base/memory/TMemMan.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/helpers/PictureLoading.h"
#include "tests/shell/FormTestSupport.h"

namespace {

using namespace ShellTest;

constexpr std::uint32_t kFrom = 0x102030;
constexpr std::uint32_t kTo = 0xC0B0A0;

// A form in window mode with a work surface; pictures made through the form's registry.
class TGameFormTransitionTest : public FormFixture {
protected:
    void SetUp() override
    {
        Make();
        ASSERT_NE(form->Display(), nullptr);
        EnableDisplay(false, true);
        form->SetState(fsRunning);
    }

    TXeRGBBits* Picture(std::uint32_t colour, int width = 640, int height = 480, TBitDepth depth = GameBitDepth)
    {
        TXeRGBBits* bits = MemMan->CreateVCL<TXeRGBBits>();
        bits->SetBitDepth(depth);
        bits->Resize(width, height);
        EXPECT_TRUE(bits->Create());
        bits->BoxFill(0, 0, width - 1, height - 1, bits->TXeRGBtoPixel(TXeRGB(colour)));
        return bits;
    }

    DirectX::TDSurface* Target() { return form->Pictures().workSurface; }

    std::size_t Listed() const { return MemMan->Records().size(); }

    std::uint32_t Shown(int x, int y)
    {
        const auto front = window->Front().Copy();
        const std::uint8_t* p = &front.pixels[(static_cast<std::size_t>(y) * front.width + x) * 4];
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }

    // Frames of one pulse each, as the frame step runs them, until the form leaves state 8.
    int FramesInState8()
    {
        int frames = 0;
        while (form->GetState() == fsTransition && frames < 100) {
            form->Update(1);
            form->Draw(1);
            ++frames;
        }
        return frames;
    }
};

TEST_F(TGameFormTransitionTest, AWholeScreenTransitionShowsItsFirstPictureAtOnceAndEndsInState1)
{
    EXPECT_TRUE(form->IsTransitionDone()) << "before any transition";
    const std::size_t before = Listed();
    ASSERT_TRUE(form->BeginTransition(1, Picture(kFrom), Picture(kTo), 100));
    EXPECT_EQ(form->GetState(), fsTransition);
    EXPECT_EQ(Shown(320, 240), kFrom) << "shown by the start itself";
    // Kind 1 draws its target on the 16th frame; the frame after it ends the transition.
    EXPECT_EQ(FramesInState8(), 17);
    EXPECT_EQ(form->GetState(), fsRunning);
    EXPECT_EQ(Shown(320, 240), kTo);
    EXPECT_TRUE(form->IsTransitionDone());
    EXPECT_EQ(Listed(), before) << "both pictures deleted";
}

TEST_F(TGameFormTransitionTest, PicturesInTheDisplaysShallowerDepthStillFadeOnTheScreen)
{
    // A display whose deepest mode is 16-bit: the screens make their pictures at 16 bits while the
    // form draws at the game's depth. Kind 0 is half-way on its 16th frame.
    ASSERT_TRUE(form->BeginTransition(0, Picture(0x000000, 640, 480, bd16), Picture(0xFFFFFF, 640, 480, bd16), 100));
    EXPECT_EQ(Shown(320, 240), 0x000000u);
    for (int frame = 0; frame < 16; ++frame) {
        form->Update(1);
        form->Draw(1);
    }
    for (const int shift : {0, 8, 16}) {
        const std::uint32_t channel = Shown(320, 240) >> shift & 0xFF;
        EXPECT_GE(channel, 0x70u) << "channel " << shift / 8;
        EXPECT_LE(channel, 0x90u) << "channel " << shift / 8;
    }
    EXPECT_EQ(FramesInState8(), 17);
    EXPECT_EQ(Shown(320, 240), 0xFFFFFFu);
}

TEST_F(TGameFormTransitionTest, ARefusedWholeScreenTransitionLeavesState1AndThePicturesTheCallers)
{
    TXeRGBBits* from = Picture(kFrom);
    TXeRGBBits* small = Picture(kTo, 320, 240);
    const std::size_t listed = Listed();
    EXPECT_FALSE(form->BeginTransition(0, from, small, 100));
    EXPECT_EQ(form->GetState(), fsRunning);
    EXPECT_EQ(Listed(), listed);
    MemMan->Delete(from);
    MemMan->Delete(small);
}

TEST_F(TGameFormTransitionTest, AStartReplacesTheRunningTransitionAndDeletesItsPictures)
{
    const std::size_t before = Listed();
    TXeRGBBits* from = Picture(kFrom);
    TXeRGBBits* to = Picture(kTo);
    ASSERT_TRUE(form->StartTransitionDefault(0, from, to));
    // The previous source passed again as the new target stays; the previous target goes.
    TXeRGBBits* next = Picture(kTo);
    ASSERT_TRUE(form->StartTransition(2, next, from, 100));
    EXPECT_EQ(Listed(), before + 2);
    EXPECT_EQ(form->Transition().Target(), from);
    form->ResetTransition();
    EXPECT_EQ(Listed(), before);
    EXPECT_TRUE(form->IsTransitionDone());
}

TEST_F(TGameFormTransitionTest, ARefusedStartAfterTheOldPicturesWentResetsTheController)
{
    const std::size_t before = Listed();
    ASSERT_TRUE(form->StartTransitionDefault(0, Picture(kFrom), Picture(kTo)));
    TXeRGBBits* small = Picture(kTo, 320, 240);
    TXeRGBBits* to = Picture(kTo);
    EXPECT_FALSE(form->StartTransition(0, small, to, 100));
    EXPECT_TRUE(form->IsTransitionDone());
    EXPECT_EQ(form->Transition().Source(), nullptr) << "no pointer to the deleted pictures is kept";
    form->DrawTransition(Target(), nullptr); // draws nothing
    form->ResetTransition();
    EXPECT_EQ(Listed(), before + 2) << "the refused pictures stay the caller's";
    MemMan->Delete(small);
    MemMan->Delete(to);
}

TEST_F(TGameFormTransitionTest, CopyScreenTakesThePictureOfTheWorkSurface)
{
    Target()->Fill(TXeRGB(kFrom));
    TXeRGBBits* copy = Picture(0);
    form->CopyScreen(copy);
    EXPECT_EQ(copy->PGet(639, 479) & 0xFFFFFF, kFrom);
    MemMan->Delete(copy);
}

} // namespace

namespace {

TEST_F(TGameFormTransitionTest, DrawPanelToDrawsTheRootPanelTree)
{
    TXeRGBPanel panel(nullptr);
    panel.SetSizeX(100);
    panel.SetSizeY(50);
    panel.SetOffsetX(20);
    ASSERT_TRUE(CreatePanelImage(&panel, 100, 50, mmNormal));
    panel.Image()->BoxFill(0, 0, 99, 49, panel.Image()->TXeRGBtoPixel(TXeRGB(kTo)));
    ASSERT_TRUE(panel.Create());
    form->RootPanel()->SetCreated(true);
    form->AttachPanel(&panel);
    TXeRGBBits* bits = Picture(kFrom);
    form->DrawPanelTo(bits);
    EXPECT_EQ(bits->PGet(30, 10) & 0xFFFFFF, kTo);
    EXPECT_EQ(bits->PGet(10, 10) & 0xFFFFFF, kFrom) << "outside the panel's tree nothing is drawn";
    form->DetachPanel(&panel);
    FreePanelImage(&panel);
    MemMan->Delete(bits);
}

} // namespace
