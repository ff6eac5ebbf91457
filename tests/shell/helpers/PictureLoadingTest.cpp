#include "shell/helpers/PictureLoading.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameExceptions.h"
#include "shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using shelltest::PatternColour;

namespace {

// A folder of pictures behind a file manager, with the registry installed; counts failed opens.
class PictureLoading : public ::testing::Test {
protected:
    PictureLoading()
    {
        folder_.Write("rgba.png", shelltest::PngOfPattern(6, 4, true));
        folder_.Write("rgb.PNG", shelltest::PngOfPattern(6, 4, false));
        folder_.Write("pic.bmp", shelltest::BmpOfPattern(5, 3));
        folder_.Write("pic.lzh", shelltest::GnyOfPattern(3, 2, GnyTable()));
        folder_.Write("pic.gif", shelltest::PngOfPattern(2, 2, false));
        folder_.Write("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
        folder_.Write("a.b.png", shelltest::PngOfPattern(2, 2, false));
        // A sheet of two parts: part 0 two 3 x 2 patterns stacked, part 1 one 2 x 2 pattern.
        folder_.Write("sheet.png", shelltest::PngOfPattern(6, 4, true));
        files_.InitDir(folder_.Name());
        files_.OnError = [this](TObject*, const AnsiString&) { ++failedOpens_; };
    }

    void ExpectPattern(TXeRGBBits* bits, int width, int height)
    {
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(bits->Width(), width);
        EXPECT_EQ(bits->Height(), height);
        EXPECT_EQ(bits->BitDepth(), bd24) << "the display's depth";
        EXPECT_EQ(bits->PGet(width - 1, height - 1), PatternColour(width - 1, height - 1));
    }

    void Free(TXeRGBBits*& bits, TXeAlpha*& alpha)
    {
        globals_.Registry().Delete(bits);
        globals_.Registry().Delete(alpha);
    }

    PackFixture::ScratchFolder folder_;
    shelltest::ScopedGlobals globals_{bd24};
    TFileMan files_{nullptr};
    int failedOpens_ = 0;
};

} // namespace

TEST_F(PictureLoading, TakesTheKindFromEverythingAfterTheFirstDotInUpperCase)
{
    struct Case {
        const char* name;
        int kind;
    };
    const Case cases[] = {{"a.bmp", ikBmp},  {"a.JPG", ikJpeg}, {"a.Png", ikPng},   {"Sub\\a.lzh", ikGny},
                          {"a.gif", ikNone}, {"noext", ikNone}, {"a.b.png", ikNone}, {"a.", ikNone}};
    for (const Case& c : cases)
        EXPECT_EQ(GetImageKind(c.name), c.kind) << c.name;
}

TEST_F(PictureLoading, LoadsEachKindWithAnAlphaPlaneOnlyForAFourChannelPng)
{
    struct Case {
        const char* name;
        int width, height;
        bool alpha;
    };
    const Case cases[] = {
        {"rgba.png", 6, 4, true}, {"RGB.png", 6, 4, false}, {"pic.bmp", 5, 3, false}, {"pic.lzh", 3, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TXeRGBBits* bits = nullptr;
        TXeAlpha* alpha = nullptr;
        ASSERT_TRUE(LoadImageFile(&bits, &alpha, c.name, &files_));
        ExpectPattern(bits, c.width, c.height);
        ASSERT_EQ(alpha != nullptr, c.alpha);
        if (alpha != nullptr) {
            EXPECT_EQ(alpha->PGet(2, 1), 253);
        }
        EXPECT_EQ(globals_.Listed(), c.alpha ? 2u : 1u);
        Free(bits, alpha);
    }
    EXPECT_TRUE(files_.Pointers().empty()) << "every file closed";
}

TEST_F(PictureLoading, FailsWithNothingMadeAndOpensOnlyNamesOfAKnownKind)
{
    struct Case {
        const char* name;
        int opensTried;
    };
    const Case cases[] = {{"pic.gif", 0}, {"noext", 0}, {"a.b.png", 0}, {"missing.png", 1}, {"broken.png", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        failedOpens_ = 0;
        TXeRGBBits* bits = reinterpret_cast<TXeRGBBits*>(1);
        TXeAlpha* alpha = reinterpret_cast<TXeAlpha*>(1);
        EXPECT_FALSE(LoadImageFile(&bits, &alpha, c.name, &files_));
        EXPECT_EQ(bits, nullptr);
        EXPECT_EQ(alpha, nullptr);
        EXPECT_EQ(failedOpens_, c.opensTried);
        EXPECT_EQ(globals_.Listed(), 0u);
    }
    EXPECT_TRUE(files_.Pointers().empty());
}

TEST_F(PictureLoading, DrawsIntoAnExistingBitmapAndTreatsKindZeroAsNothingToDo)
{
    TXeRGBBits bits(nullptr);
    bits.SetBitDepth(bd24);
    ASSERT_TRUE(bits.Resize(8, 8) && bits.Create());
    ASSERT_TRUE(DrawImageFile(&bits, nullptr, "pic.bmp", &files_, 2, 3));
    EXPECT_EQ(bits.PGet(2 + 4, 3 + 2), PatternColour(4, 2));
    EXPECT_EQ(bits.PGet(1, 3), 0u);
    EXPECT_FALSE(DrawImageFile(&bits, nullptr, "broken.png", &files_, 0, 0));
    EXPECT_FALSE(DrawImageFile(&bits, nullptr, "pic.gif", &files_, 0, 0));

    TMemoryStream empty;
    EXPECT_TRUE(DrawImageStream(&bits, nullptr, ikNone, &empty, 0, 0));
    EXPECT_FALSE(DrawImageStream(&bits, nullptr, ikPng, &empty, 0, 0));
    TXeRGBBits* loaded = nullptr;
    EXPECT_FALSE(LoadImageStream(&loaded, nullptr, ikNone, &empty)) << "a bitmap without a picture is no success";
    EXPECT_EQ(globals_.Listed(), 0u);
}

TEST_F(PictureLoading, GivesPanelsTheirPicturesWithTheMaskModeOfTheAlphaPlane)
{
    TXeRGBPanel panel(nullptr);
    ASSERT_TRUE(LoadPanelImage(&panel, "rgba.png", &files_));
    EXPECT_EQ(panel.MaskMode(), mmAlpha);
    ASSERT_NE(panel.Alpha(), nullptr);
    TXeRGBBits* first = panel.Image();
    TXeAlpha* firstAlpha = panel.Alpha();

    // The caller's contract: the previous picture is not freed by a new load.
    ASSERT_TRUE(LoadPanelImage(&panel, "pic.bmp", &files_));
    EXPECT_EQ(panel.MaskMode(), mmNormal);
    EXPECT_EQ(panel.Alpha(), nullptr);
    EXPECT_EQ(globals_.Listed(), 3u);
    EXPECT_FALSE(LoadPanelImage(&panel, "missing.bmp", &files_));
    EXPECT_EQ(panel.Image()->Width(), 5) << "a failed load leaves the panel as it was";

    TXeRGBPanel other(nullptr);
    AssignPanelImage(&other, &panel);
    EXPECT_EQ(other.Image(), panel.Image());
    EXPECT_EQ(other.MaskMode(), mmNormal);

    FreePanelImage(&panel);
    EXPECT_EQ(panel.Image(), nullptr);
    EXPECT_EQ(globals_.Listed(), 2u);
    globals_.Registry().Delete(first);
    globals_.Registry().Delete(firstAlpha);
}

TEST_F(PictureLoading, CreatesPanelPicturesAtAGivenOrThePanelsOwnSize)
{
    TXeRGBPanel panel(nullptr);
    ASSERT_TRUE(CreatePanelImage(&panel, 30, 20, mmAlpha));
    EXPECT_EQ(panel.Image()->Width(), 30);
    EXPECT_EQ(panel.Image()->Height(), 20);
    ASSERT_NE(panel.Alpha(), nullptr);
    EXPECT_EQ(panel.Alpha()->Width(), 30);
    EXPECT_EQ(panel.MaskMode(), mmAlpha);
    FreePanelImage(&panel);

    panel.SetSizeX(12);
    panel.SetSizeY(7);
    ASSERT_TRUE(RecreatePanelImage(&panel, mmColorKey));
    EXPECT_EQ(panel.Image()->Width(), 12);
    EXPECT_EQ(panel.Image()->Height(), 7);
    EXPECT_EQ(panel.Alpha(), nullptr);
    EXPECT_EQ(panel.MaskMode(), mmColorKey);
    FreePanelImage(&panel);
    EXPECT_EQ(globals_.Listed(), 0u);

    TXeRGBPanel untouched(nullptr);
    EXPECT_FALSE(CreatePanelImage(&untouched, 0, 20, mmAlpha));
    EXPECT_FALSE(CreatePanelImage(&untouched, 20, -1, mmNormal));
    EXPECT_EQ(untouched.Image(), nullptr);
    EXPECT_EQ(globals_.Listed(), 0u) << "nothing left behind";
}

TEST_F(PictureLoading, CutsPartsFromASheetAndPlacesPanelsOnThem)
{
    const TXePartsData data[] = {{0, 0, 3, 2, 2}, {3, 0, 2, 2, 1}, {-1, 0, 0, 0, 0}};
    TXeRGBParts* parts = nullptr;
    ASSERT_TRUE(LoadPartsImage(&parts, "sheet.png", data, &files_));
    ASSERT_NE(parts, nullptr);
    EXPECT_EQ(parts->GetSize(), 2);
    EXPECT_EQ(globals_.Listed(), 1u) << "the sheet is freed, the parts object stays";

    TXeRGBPanel panel(nullptr);
    SetupPartsPanel(&panel, parts, {0, 15, 25});
    EXPECT_EQ(panel.OffsetX(), 15);
    EXPECT_EQ(panel.OffsetY(), 25);
    EXPECT_EQ(panel.Image(), parts->GetImage(0));
    EXPECT_EQ(panel.MaskMode(), mmAlpha);
    EXPECT_EQ(panel.SizeX(), 3);
    EXPECT_EQ(panel.SizeY(), 2) << "one pattern of two";

    TXeRGBPanel placed(nullptr);
    SetupPartsPanel(&placed, parts, {-1, 4, 5});
    EXPECT_EQ(placed.OffsetX(), 4);
    EXPECT_EQ(placed.Image(), nullptr);

    // Reloading into an existing object keeps it; a failure leaves it and makes nothing.
    TXeRGBParts* kept = parts;
    ASSERT_TRUE(LoadPartsImage(&parts, "sheet.png", data, &files_));
    EXPECT_EQ(parts, kept);
    EXPECT_FALSE(LoadPartsImage(&parts, "missing.png", data, &files_));
    EXPECT_EQ(parts, kept);
    globals_.Registry().Delete(parts);

    TXeRGBParts* none = nullptr;
    EXPECT_FALSE(LoadPartsImage(&none, "broken.png", data, &files_));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(globals_.Listed(), 0u);
}

TEST_F(PictureLoading, ScreenBitsAreFullScreenInTheDisplaysDepthOrRaise)
{
    DisplayBitDepth = bd32;
    TXeRGBBits* screen = CreateScreenBits();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->Created());
    EXPECT_EQ(screen->Width(), 640);
    EXPECT_EQ(screen->Height(), 480);
    EXPECT_EQ(screen->BitDepth(), bd32);
    globals_.Registry().Delete(screen);

    DisplayBitDepth = bdNone;
    EXPECT_THROW(CreateScreenBits(), EGameErr);
    EXPECT_EQ(globals_.Listed(), 0u);
}
