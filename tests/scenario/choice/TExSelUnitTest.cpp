// Tests of the choice window: its state table with the callback's codes, fades cut short by a
// skip, the blend level of every fade step drawn with and without an alpha plane, clicks, and the
// owner's index.
#include "scenario/choice/TExSelUnit.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class TExSelUnitTest : public ::testing::Test {
protected:
    TExSelUnitTest()
    {
        unit_.Initialize(nullptr);
        unit_.SetCallback([this](int code) { codes_.push_back(code); });
    }

    // Runs `n` frame steps.
    void Steps(int n, bool skip = false)
    {
        for (int i = 0; i < n; ++i)
            unit_.Update(skip);
    }

    static std::unique_ptr<TXeRGBBits> Filled(std::uint32_t colour)
    {
        auto bits = std::make_unique<TXeRGBBits>(nullptr);
        bits->SetBitDepth(bd32);
        bits->Resize(640, 480);
        bits->Create();
        bits->XeBoxFill(0, 0, 639, 479, colour);
        return bits;
    }

    TExSelUnit unit_{nullptr};
    std::vector<int> codes_;
};

TEST_F(TExSelUnitTest, FadesInReportsAndFadesOut)
{
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateHidden);
    EXPECT_FALSE(unit_.IsBusy());
    EXPECT_FALSE(unit_.Window()->Visible());
    unit_.Show(false);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateFadingIn);
    EXPECT_TRUE(unit_.Window()->Visible());
    EXPECT_TRUE(unit_.IsBusy());
    EXPECT_EQ(unit_.GetSelected(), -1);
    Steps(15);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateFadingIn);
    EXPECT_EQ(unit_.GetSelected(), -1);
    EXPECT_TRUE(codes_.empty());
    Steps(1);
    EXPECT_TRUE(unit_.IsShown());
    EXPECT_EQ(unit_.GetSelected(), 0);
    EXPECT_EQ(codes_, std::vector<int>{TExSelUnit::kCodeBecameShown});
    Steps(2);
    EXPECT_EQ(codes_, (std::vector<int>{5, 6, 6}));
    EXPECT_TRUE(unit_.IsBusy());

    codes_.clear();
    unit_.Hide(false);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateFadingOut);
    Steps(15);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateFadingOut);
    EXPECT_TRUE(unit_.IsBusy());
    Steps(1);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateHidden);
    EXPECT_FALSE(unit_.Window()->Visible());
    Steps(3);
    EXPECT_TRUE(codes_.empty()) << "no codes while hidden or fading out";
}

TEST_F(TExSelUnitTest, AtOnceAndSkippedTransitions)
{
    unit_.Show(true);
    EXPECT_TRUE(unit_.IsShown());
    EXPECT_EQ(codes_, std::vector<int>{5});
    unit_.Hide(true);
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateHidden);
    EXPECT_FALSE(unit_.Window()->Visible());

    // A skip ends either fade in the step it comes with, however far the fade is.
    for (const int before : {0, 7}) {
        codes_.clear();
        unit_.Show(false);
        Steps(before);
        Steps(1, true);
        EXPECT_TRUE(unit_.IsShown()) << before;
        EXPECT_EQ(codes_, std::vector<int>{5});
        unit_.Hide(false);
        Steps(before);
        Steps(1, true);
        EXPECT_EQ(unit_.State(), TExSelUnit::kStateHidden) << before;
    }
    // Hiding while fading in fades out from the start.
    unit_.Show(false);
    Steps(4);
    unit_.Hide(false);
    EXPECT_EQ(unit_.FadeFrames(), TExSelUnit::kFadeFrames);
}

TEST_F(TExSelUnitTest, EveryFadeStepDrawsAtItsLevel)
{
    const auto image = Filled(0xF0F0F0);
    const auto dest = Filled(0x101010);
    TXeAlpha alpha(nullptr);
    alpha.Resize(640, 480);
    alpha.Create();
    alpha.Fill(255);
    struct Case {
        bool withAlpha;
        bool fadeIn;
    };
    for (const Case c : {Case{false, true}, Case{false, false}, Case{true, true}, Case{true, false}}) {
        SCOPED_TRACE(std::to_string(c.withAlpha) + " " + std::to_string(c.fadeIn));
        unit_.Window()->SetImage(image.get());
        unit_.Window()->SetAlpha(c.withAlpha ? &alpha : nullptr);
        unit_.Window()->SetMaskMode(c.withAlpha ? mmAlpha : mmNormal);
        unit_.Hide(true);
        if (c.fadeIn)
            unit_.Show(false);
        else
            unit_.Hide(false);
        for (int frames = TExSelUnit::kFadeFrames; frames >= 1; --frames) {
            ASSERT_EQ(unit_.FadeFrames(), frames);
            const int level = c.fadeIn ? 128 - 8 * frames : 8 * frames;
            EXPECT_EQ(unit_.FadeLevel(), level);
            dest->XeBoxFill(0, 0, 639, 479, 0x101010);
            EXPECT_TRUE(unit_.ExSelPanelDraw(unit_.Window(), dest.get(), 10, 20, 0, 0, 100, 50));
            const int expected = 0x10 + (0xF0 - 0x10) * level / 128;
            const int got = static_cast<int>(dest->PGet(50, 40) & 0xFF);
            EXPECT_NEAR(got, expected, 2) << "frames " << frames;
            EXPECT_EQ(dest->PGet(9, 20) & 0xFF, 0x10u) << "outside the part nothing changes";
            EXPECT_EQ(dest->PGet(50, 70) & 0xFF, 0x10u);
            unit_.Update(false);
        }
    }
    // Shown and hidden windows draw the ordinary way.
    unit_.Show(true);
    EXPECT_FALSE(unit_.ExSelPanelDraw(unit_.Window(), dest.get(), 0, 0, 0, 0, 640, 480));
    unit_.Window()->SetImage(nullptr);
    unit_.Window()->SetAlpha(nullptr);
}

TEST_F(TExSelUnitTest, ClicksAndTheOwnersIndex)
{
    unit_.ExSelWinMouseDown(unit_.Window(), mbLeft, {}, 1, 1);
    unit_.ExSelWinMouseDown(unit_.Window(), mbMiddle, {}, 1, 1);
    unit_.ExSelWinMouseDown(unit_.Window(), mbRight, {}, 1, 1);
    EXPECT_EQ(codes_, (std::vector<int>{TExSelUnit::kCodeLeftClick, TExSelUnit::kCodeRightClick}));

    unit_.SetIndex(3);
    unit_.SetIndex(-1);
    EXPECT_EQ(unit_.GetIndex(), 3);
    unit_.SetIndex(0);
    EXPECT_EQ(unit_.GetIndex(), 0);

    // Without a callback nothing is called.
    unit_.SetCallback(nullptr);
    unit_.Show(true);
    unit_.Update(false);
    unit_.ExSelWinMouseDown(unit_.Window(), mbLeft, {}, 1, 1);
    EXPECT_EQ(codes_.size(), 2u);
}

TEST_F(TExSelUnitTest, FinalizeReleasesThePanel)
{
    TXeRGBPanel parent(nullptr);
    unit_.Attach(&parent);
    EXPECT_EQ(unit_.Window()->Parent(), &parent);
    unit_.Detach();
    EXPECT_EQ(unit_.Window()->Parent(), nullptr);
    unit_.Attach(&parent);
    unit_.Finalize();
    EXPECT_EQ(unit_.State(), TExSelUnit::kStateNone);
    EXPECT_FALSE(unit_.Created());
    EXPECT_EQ(unit_.Window(), nullptr);
    EXPECT_EQ(parent.GetChildCount(), 0);
}

} // namespace
