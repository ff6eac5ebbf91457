#include "shell/menus/TDlgUnit.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint16_t kEscape = 27;
// Points on the screen: the buttons' middles, the frame outside them, the screen outside the frame.
constexpr TPoint kYesPoint{216 + 78 + 23, 186 + 58 + 11};
constexpr TPoint kNoPoint{216 + 136 + 23, 186 + 58 + 11};
constexpr TPoint kFramePoint{216 + 10, 186 + 10};
constexpr TPoint kOutsidePoint{20, 20};

// A screen panel with the dialog attached and open over it; the close method's codes are listed.
class TDlgUnitTest : public ::testing::Test {
public: // the case tables' actions reach the fixture
    void SetUp() override
    {
        files_.InitDir(folder_.Name());
        screen_.SetCreated(true);
        ASSERT_TRUE(dialog_.Initialize(&files_));
        dialog_.SetKind(TDlgUnit::kKindExit);
        dialog_.SetOnClose([this](std::int32_t code) { codes_.push_back(code); });
        dialog_.Attach(&screen_);
    }

    void WritePictures()
    {
        folder_.Write("DlgF_Exit.png", shelltest::PngOfPattern(208, 108, false));
        folder_.Write("DlgYes.png", shelltest::PngOfPattern(46, 66, true));
        folder_.Write("DlgNo.png", shelltest::PngOfPattern(46, 66, true));
    }

    void Click(TPoint at, TMouseButton button = mbLeft)
    {
        screen_.MouseMove(0, at.x, at.y);
        screen_.MouseDown(button, 0, at.x, at.y);
        screen_.MouseUp(button, 0, at.x, at.y);
    }

    void Key(std::uint16_t key) { screen_.KeyDown(key, 0); }

    shelltest::ScopedGlobals globals_{bd24};
    PackFixture::ScratchFolder folder_;
    TFileMan files_{nullptr};
    TXeRGBPanel screen_{nullptr};
    TDlgUnit dialog_{nullptr};
    std::vector<std::int32_t> codes_;
};

TEST_F(TDlgUnitTest, AnswersByButtonKeyAndMouseWithOrWithoutPictures)
{
    struct Case {
        const char* what;
        void (*act)(TDlgUnitTest&);
        std::vector<std::int32_t> codes;
    };
    const Case cases[] = {
        {"yes", [](TDlgUnitTest& t) { t.Click(kYesPoint); }, {12}},
        {"no", [](TDlgUnitTest& t) { t.Click(kNoPoint); }, {13}},
        {"escape", [](TDlgUnitTest& t) { t.Key(kEscape); }, {13}},
        {"enter, space, A", [](TDlgUnitTest& t) { t.Key(13), t.Key(32), t.Key('A'); }, {}},
        {"left on the frame", [](TDlgUnitTest& t) { t.Click(kFramePoint); }, {1}},
        {"right on the frame", [](TDlgUnitTest& t) { t.Click(kFramePoint, mbRight); }, {2}},
        {"right outside the frame", [](TDlgUnitTest& t) { t.Click(kOutsidePoint, mbRight); }, {2}},
        {"middle outside the frame", [](TDlgUnitTest& t) { t.Click(kOutsidePoint, mbMiddle); }, {3}},
        {"right on a button", [](TDlgUnitTest& t) { t.Click(kYesPoint, mbRight); }, {}},
    };
    for (const bool pictures : {false, true}) {
        if (pictures)
            WritePictures();
        for (const Case& c : cases) {
            codes_.clear();
            dialog_.Open();
            c.act(*this);
            EXPECT_EQ(codes_, c.codes) << c.what << (pictures ? " with pictures" : " without pictures");
            EXPECT_TRUE(dialog_.IsOpen()) << "the dialog stays until its opener closes it: " << c.what;
        }
    }
    EXPECT_NE(dialog_.DlgYes()->Image(), nullptr);
}

TEST_F(TDlgUnitTest, KeepsTheAnswerOfTheLastButton)
{
    dialog_.Open();
    Click(kYesPoint);
    EXPECT_EQ(dialog_.Answer(), 1);
    Key(kEscape);
    EXPECT_EQ(dialog_.Answer(), 0);
}

// The order the screens use: on 12 or 13, Close, Detach and clear the close method.
TEST_F(TDlgUnitTest, AHandlerThatClosesOnNoHearsTheNestedCloseBeforeCloseReturns)
{
    dialog_.SetOnClose([this](std::int32_t code) {
        codes_.push_back(code);
        if (code == TDlgUnit::kNo) {
            dialog_.Close();
            codes_.push_back(-1); // Close has returned
            dialog_.Detach();
            dialog_.SetOnClose({});
        }
    });
    dialog_.Open();
    Click(kNoPoint);
    EXPECT_EQ(codes_, (std::vector<std::int32_t>{13, 6, -1}));
    EXPECT_FALSE(dialog_.IsOpen());
    EXPECT_EQ(dialog_.DlgWin()->Parent(), nullptr);
}

TEST_F(TDlgUnitTest, AHandlerThatClosesOnEveryCodeEndsAfterOneNestedCall)
{
    dialog_.SetOnClose([this](std::int32_t code) {
        codes_.push_back(code);
        dialog_.Close();
    });
    dialog_.Open();
    Key(kEscape);
    EXPECT_EQ(codes_, (std::vector<std::int32_t>{13, 6}));
    codes_.clear();
    dialog_.Close();
    EXPECT_EQ(codes_, (std::vector<std::int32_t>{6}));
}

TEST_F(TDlgUnitTest, ReopeningReloadsThePicturesWithoutLeakingAndClosingFreesThem)
{
    WritePictures();
    const std::size_t before = globals_.Listed();
    dialog_.Open();
    const std::size_t open = globals_.Listed();
    EXPECT_EQ(open, before + 5) << "frame, two buttons and their two alpha planes";
    dialog_.Open();
    EXPECT_EQ(globals_.Listed(), open);
    dialog_.Close();
    EXPECT_EQ(globals_.Listed(), before);
}

TEST_F(TDlgUnitTest, OnlyTheExitKindLoadsAFramePicture)
{
    WritePictures();
    dialog_.SetKind(1);
    dialog_.Open();
    EXPECT_EQ(dialog_.DlgFrame()->Image(), nullptr);
    EXPECT_NE(dialog_.DlgNo()->Image(), nullptr);
    dialog_.SetKind(TDlgUnit::kKindExit);
    dialog_.Open();
    EXPECT_NE(dialog_.DlgFrame()->Image(), nullptr);
}

TEST_F(TDlgUnitTest, DrawsTheFramePictureCentredAndOnlyWhileOpen)
{
    folder_.Write("DlgF_Exit.png", shelltest::PngOfPattern(208, 108, false));
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd24);
    ASSERT_TRUE(screen.Create());
    screen.Cls();
    screen_.Draw(&screen);
    EXPECT_EQ(screen.PGet(216 + 5, 186 + 7), 0u) << "closed";
    dialog_.Open();
    screen_.Draw(&screen);
    EXPECT_EQ(screen.PGet(216 + 5, 186 + 7), shelltest::PatternColour(5, 7));
    EXPECT_EQ(screen.PGet(216 + 207, 186 + 107), shelltest::PatternColour(207, 107));
    EXPECT_EQ(screen.PGet(215, 186), 0u);
}

TEST_F(TDlgUnitTest, FinalizeReleasesEverythingAndTheDialogNoLongerAnswers)
{
    WritePictures();
    const std::size_t before = globals_.Listed();
    dialog_.Open();
    dialog_.Finalize();
    EXPECT_EQ(globals_.Listed(), before);
    EXPECT_EQ(dialog_.State(), 0);
    EXPECT_FALSE(dialog_.Created());
    Click(kYesPoint);
    Key(kEscape);
    EXPECT_TRUE(codes_.empty());
}

} // namespace
