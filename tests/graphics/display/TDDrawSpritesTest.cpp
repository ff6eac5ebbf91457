// The display's sprite layer: pages, patterns, sprites, drawing order and clipping, and the
// rectangles that keep the presented frames free of stale sprites.
#include "tests/graphics/DisplayTestSupport.h"

#include "support/ScopedState.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace DirectX;

constexpr std::uint32_t kRed = 0xF800;   // 565
constexpr std::uint32_t kGreen = 0x07E0; // 565
constexpr std::uint32_t kBlue = 0x001F;  // 565, the transparent colour of every pattern here

class TDDrawSprites : public DisplayFixture {
protected:
    void SetUp() override
    {
        display->SetSpritePage(4);
        Enable(true);
        ASSERT_EQ(display->SpritePage(), 4);
        // Page 0: a red square, a green square, and a 32-column strip whose column c has value c + 1.
        TDSurface* page = display->GetSpSurface(0);
        ASSERT_NE(page, nullptr);
        page->BoxFill(0, 0, 31, 31, kRed);
        page->BoxFill(32, 0, 63, 31, kGreen);
        page->BoxFill(40, 8, 47, 15, kBlue); // a transparent hole in the green square
        for (int c = 0; c < 32; ++c)
            page->BoxFill(64 + c, 0, 64 + c, 31, static_cast<std::uint32_t>(c + 1));
        ASSERT_TRUE(display->SpSetPattern(0, 0, 0, 0, 32, 32, XeRGB(0, 0, 255)));
        ASSERT_TRUE(display->SpSetPattern(1, 0, 32, 0, 32, 32, XeRGB(0, 0, 255)));
        ASSERT_TRUE(display->SpSetPattern(2, 0, 64, 0, 32, 32, XeRGB(0, 0, 255)));
        display->BackSurface()->BoxFill(0, 0, 639, 479, 0x4208); // a grey background
        display->Flip();
    }

    // Presents three changed-rectangle frames, so every buffer of the chain has had its turn.
    void PresentAll()
    {
        for (int i = 0; i < 3; ++i)
            display->FlipModifyRect(TXeRectSet());
    }

    std::uint32_t Shown(int x, int y) const { return window->Front().Copy().Pixel(x, y); }
};

TEST_F(TDDrawSprites, PageCountStaysInRange)
{
    display->SetSpritePage(17);
    display->SetSpritePage(-1);
    EXPECT_EQ(display->SpritePage(), 4);
    EXPECT_EQ(display->GetSpSurface(4), nullptr);
    EXPECT_EQ(display->GetSpSurface(-1), nullptr);
    EXPECT_EQ(display->GetSpSurface(3)->Width(), 640);
}

TEST_F(TDDrawSprites, ShrinkingClearsOnlyThePatternsOfRemovedPages)
{
    ASSERT_TRUE(display->SpSetPattern(10, 2, 0, 0, 8, 8, XeRGB(0, 0, 0)));
    ASSERT_TRUE(display->SpSetPattern(11, 3, 0, 0, 8, 8, XeRGB(0, 0, 0)));
    TDSurface* page1 = display->GetSpSurface(1);
    display->SetSpritePage(2);
    EXPECT_EQ(display->SpritePage(), 2);
    EXPECT_FALSE((*display->PatternTable())[10].Used);
    EXPECT_FALSE((*display->PatternTable())[11].Used);
    EXPECT_TRUE((*display->PatternTable())[0].Used);
    EXPECT_EQ(display->GetSpSurface(1), page1) << "existing pages stay";
    EXPECT_EQ(display->GetSpSurface(2), nullptr);
}

TEST_F(TDDrawSprites, GrowingStopsAtTheFirstPageThatCannotBeMade)
{
    std::uint64_t used = 0;
    {
        unsigned long total = 0;
        unsigned long free = 0;
        display->GetAvailableVidMem(total, free);
        used = total - free;
    }
    back.settings.videoMemoryBytes = used + 2 * 640 * 480 * 2;
    display->SetSpritePage(8);
    EXPECT_EQ(display->SpritePage(), 6);
    EXPECT_NE(display->GetSpSurface(5), nullptr);
}

TEST_F(TDDrawSprites, PatternRectangleIsBoundedByTheScreenNotThePage)
{
    EXPECT_FALSE(display->SpSetPattern(5, 0, 600, 0, 41, 10, XeRGB(0, 0, 0)));
    EXPECT_FALSE(display->SpSetPattern(5, 0, -1, 0, 10, 10, XeRGB(0, 0, 0)));
    EXPECT_FALSE(display->SpSetPattern(5, 4, 0, 0, 10, 10, XeRGB(0, 0, 0))) << "no page 4";
    EXPECT_FALSE(display->SpSetPattern(1024, 0, 0, 0, 10, 10, XeRGB(0, 0, 0)));
    EXPECT_TRUE(display->SpSetPattern(5, 0, 600, 0, 40, 10, XeRGB(0, 0, 0)));

    display->SetEnabled(false);
    display->SetSpWidth(100);
    display->SetSpHeight(100);
    display->SetEnabled(true);
    EXPECT_EQ(display->GetSpSurface(0)->Width(), 100);
    EXPECT_TRUE(display->SpSetPattern(5, 0, 90, 0, 40, 10, XeRGB(0, 0, 0))) << "beyond the page, inside the screen";
    ASSERT_EQ(display->SpAddSprite(0, 0, 5, 0), 0);
    display->SpriteShow();
    PresentAll(); // a pattern that leaves its page draws nothing and reads nothing outside it
}

TEST_F(TDDrawSprites, KeyTakenFromThePagePixel)
{
    ASSERT_TRUE(display->SpSetPattern(7, 0, 40, 8, 8, 8));
    EXPECT_EQ((*display->PatternTable())[7].Key, XeRGB(0, 0, 255));
    EXPECT_FALSE(display->SpSetPattern(7, 9, 0, 0, 8, 8));
}

TEST_F(TDDrawSprites, AddingSpritesUntilTheTableIsFull)
{
    for (int i = 0; i < kSpSpriteCount; ++i)
        ASSERT_EQ(display->SpAddSprite(i % 600, 0, 0, i % 16), i);
    EXPECT_EQ(display->SpAddSprite(0, 0, 0, 0), -1);
    EXPECT_TRUE(display->SpClrSprite(500));
    EXPECT_EQ(display->SpAddSprite(0, 0, 0, 16), -1) << "the first free one refuses the priority";
    EXPECT_EQ(display->SpAddSprite(0, 0, 0, 15), 500);
    display->SetEnabled(false);
    EXPECT_EQ(display->SpAddSprite(0, 0, 0, 0), -1);
}

TEST_F(TDDrawSprites, LowerPriorityAndThenLowerIndexIsOnTop)
{
    ASSERT_TRUE(display->SpSetSprite(0, 100, 100, 0, 5)); // red
    ASSERT_TRUE(display->SpSetSprite(1, 110, 110, 1, 3)); // green
    ASSERT_TRUE(display->SpSetSprite(9, 300, 100, 0, 3)); // red
    ASSERT_TRUE(display->SpSetSprite(4, 310, 110, 1, 3)); // green, lower index
    display->SpriteShow();
    PresentAll();
    EXPECT_EQ(Shown(105, 105), kRed);
    EXPECT_EQ(Shown(112, 112), kGreen) << "priority 3 covers priority 5";
    EXPECT_EQ(Shown(120, 120), kRed) << "through the green square's transparent hole";
    EXPECT_EQ(Shown(312, 112), kGreen) << "same priority: index 4 covers index 9";
    EXPECT_EQ(Shown(0, 0), 0x4208u);
}

TEST_F(TDDrawSprites, SpriteOffTheLeftEdgeShowsItsRightColumns)
{
    ASSERT_TRUE(display->SpSetSprite(0, -10, 0, 2, 0));
    display->SpriteShow();
    PresentAll();
    EXPECT_EQ(Shown(0, 5), 11u) << "pattern column 10";
    EXPECT_EQ(Shown(21, 5), 32u) << "pattern column 31";
    EXPECT_EQ(Shown(22, 5), 0x4208u);
}

TEST_F(TDDrawSprites, MovingASpriteRepaintsWhereItWas)
{
    ASSERT_TRUE(display->SpSetSprite(3, 200, 200, 0, 0));
    display->SpriteShow();
    PresentAll();
    ASSERT_TRUE(display->SpMoveSprite(3, 400, 300));
    for (int i = 0; i < 3; ++i) {
        display->FlipModifyRect(TXeRectSet());
        EXPECT_EQ(Shown(210, 210), 0x4208u) << "no trail, frame " << i;
        EXPECT_EQ(Shown(410, 310), kRed) << "frame " << i;
    }
    ASSERT_TRUE(display->SpChangeSprite(3, 1));
    PresentAll();
    EXPECT_EQ(Shown(405, 305), kGreen);
    ASSERT_TRUE(display->SpClrSprite(3));
    PresentAll();
    EXPECT_EQ(Shown(405, 305), 0x4208u);
    EXPECT_FALSE(display->SpChangeSprite(3, 1024));
    EXPECT_FALSE(display->SpMoveSprite(1024, 0, 0));
}

TEST_F(TDDrawSprites, ClearedPatternDrawsNothing)
{
    ASSERT_TRUE(display->SpSetSprite(0, 50, 50, 0, 0));
    display->SpriteShow();
    PresentAll();
    ASSERT_TRUE(display->SpClrPattern(0));
    display->SetModifyRect(XeRect(50, 50, 82, 82));
    PresentAll();
    EXPECT_EQ(Shown(60, 60), 0x4208u);
    EXPECT_TRUE((*display->SpriteTable())[0].Used) << "the sprite stays";
}

TEST_F(TDDrawSprites, HidingReportsTheWholeScreen)
{
    ASSERT_TRUE(display->SpSetSprite(0, 50, 50, 0, 0));
    display->SpriteShow();
    PresentAll();
    EXPECT_EQ(Shown(60, 60), kRed);
    ASSERT_TRUE(display->SpriteHide());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(display->ModifyRectSet(i).Count(), 1);
        EXPECT_EQ(display->ModifyRectSet(i)[0], XeRect(0, 0, 640, 480));
    }
    PresentAll();
    EXPECT_EQ(Shown(60, 60), 0x4208u);
    EXPECT_TRUE(ShowsBackSurface());
}

TEST_F(TDDrawSprites, EnablingAgainGivesBlankPagesAndEmptyTables)
{
    ASSERT_TRUE(display->SpSetSprite(0, 50, 50, 0, 0));
    display->SpriteShow();
    display->SetEnabled(false);
    EXPECT_EQ(display->SpritePage(), 4) << "the count is kept";
    display->SetEnabled(true);
    EXPECT_FALSE(display->SpriteVisible());
    EXPECT_EQ(display->GetSpSurface(0)->PGet(0, 0), 0u);
    EXPECT_FALSE((*display->PatternTable())[0].Used);
    EXPECT_FALSE((*display->SpriteTable())[0].Used);
}

TEST_F(TDDrawSprites, LostPagesAreRestoredAndTheirOwnerAskedToRedraw)
{
    std::vector<int> restored;
    display->OnSpriteRestore = [&](TDSurface* page, int num) {
        EXPECT_EQ(page, display->GetSpSurface(num));
        restored.push_back(num);
        page->BoxFill(0, 0, 31, 31, kRed);
    };
    ASSERT_TRUE(display->SpSetSprite(0, 50, 50, 0, 0));
    display->SpriteShow();
    back.LoseSurfaces(video::LossScope::VideoMemory);
    PresentAll();
    EXPECT_EQ(restored, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Shown(60, 60), kRed);

    back.LoseSurfaces(video::LossScope::VideoMemory);
    back.settings.restoreFails = true;
    EXPECT_FALSE(display->SpriteDraw(display->FlipSurface())) << "a page that cannot come back";
}

TEST_F(TDDrawSprites, SpritesOnTheWindowPrimaryFollowTheClientArea)
{
    display->SetEnabled(false);
    display->SetFullScreen(false);
    display->SetEnabled(true);
    TDSurface* page = display->GetSpSurface(0);
    page->BoxFill(0, 0, 31, 31, 0xFF0000);
    ASSERT_TRUE(display->SpSetPattern(0, 0, 0, 0, 32, 32, XeRGB(0, 0, 255)));
    ASSERT_TRUE(display->SpSetSprite(0, 5, 5, 0, 0));
    display->SpriteShow();
    display->FlipModifyRect(TXeRectSet());
    const auto shown = window->Front().Copy();
    EXPECT_EQ(shown.Rgb(5, 5), 0xFF0000u);
    EXPECT_EQ(shown.Rgb(36, 36), 0xFF0000u);
    EXPECT_EQ(shown.Rgb(37, 37), 0u);
}

} // namespace

namespace {

using namespace DirectX;

// A 4 x 2 picture: a key colour in the top-left corner, red, green and blue.
const std::vector<std::uint32_t> kPicture{0x0000FF, 0xFF0000, 0x00FF00, 0x0000FF,
                                          0xFF0000, 0xFF0000, 0x00FF00, 0xFFFFFF};

using TDDrawSpritePictures = DisplayFixture;

TEST_F(TDDrawSpritePictures, BmpPatternTakesItsTopLeftColourAsKey)
{
    display->SetSpritePage(2);
    Enable(true);
    auto bmp = BmpStream(4, 2, kPicture);
    ASSERT_TRUE(display->SpSetPatternBmp(9, 1, bmp.get(), 100, 50));
    const TSpPattern& pattern = (*display->PatternTable())[9];
    EXPECT_TRUE(pattern.Used);
    EXPECT_EQ(pattern.Page, 1);
    EXPECT_EQ(pattern.X, 100);
    EXPECT_EQ(pattern.Width, 4);
    EXPECT_EQ(pattern.Height, 2);
    EXPECT_EQ(pattern.Key, XeRGB(0, 0, 255));
    EXPECT_EQ(display->GetSpSurface(1)->PGet(101, 50), 0xF800u);
    EXPECT_EQ(display->GetSpSurface(1)->PGet(103, 51), 0xFFFFu);
}

// Every failure of the loader is reported, an exception while decoding included.
TEST_F(TDDrawSpritePictures, BmpPatternFailuresAreReported)
{
    display->SetSpritePage(1);
    Enable(true);
    auto broken = BmpStream(4, 2, kPicture);
    broken->SetSize(60); // the rows are cut off
    EXPECT_FALSE(display->SpSetPatternBmp(0, 0, broken.get(), 0, 0));
    auto bmp = BmpStream(4, 2, kPicture);
    EXPECT_FALSE(display->SpSetPatternBmp(0, 0, bmp.get(), 638, 0)) << "outside the screen";
    EXPECT_FALSE(display->SpSetPatternBmp(0, 1, bmp.get(), 0, 0)) << "no page 1";
    EXPECT_FALSE((*display->PatternTable())[0].Used);

    class RaisingStream : public TMemoryStream {
    public:
        int Read(void*, int) override { throw EReadError("read failed"); }
    } raising;
    EXPECT_FALSE(display->SpSetPatternBmp(0, 0, &raising, 0, 0));
    EXPECT_FALSE(display->SpPatLoadBmp(0, &raising, 0, 0));
}

TEST_F(TDDrawSpritePictures, PicturesIntoPages)
{
    display->SetSpritePage(1);
    Enable(true);
    auto bmp = BmpStream(4, 2, kPicture);
    ASSERT_TRUE(display->SpPatLoadBmp(0, bmp.get(), 10, 20));
    EXPECT_EQ(display->GetSpSurface(0)->PGet(11, 20), 0xF800u);

    TXeRGBBits picture(nullptr);
    picture.SetWidth(3);
    picture.SetHeight(3);
    ASSERT_TRUE(picture.Create()); // 24 bits
    picture.PSet(2, 2, 0x00FF00);
    ASSERT_TRUE(display->SpPatCopy(0, &picture));
    EXPECT_EQ(display->GetSpSurface(0)->PGet(2, 2), 0x07E0u) << "converted to the page's format";
    EXPECT_FALSE(display->SpPatCopy(1, &picture));
    EXPECT_FALSE(display->SpPatCopy(0, nullptr));
}

TEST_F(TDDrawSpritePictures, SurfaceFromABitmapInTheDisplayFormat)
{
    EXPECT_EQ(display->CreateSurfaceFromBitmap(BmpStream(4, 2, kPicture).get(), false), nullptr) << "disabled";
    Enable(true);
    TDSurface* surface = display->CreateSurfaceFromBitmap(BmpStream(4, 2, kPicture).get(), true);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Width(), 4);
    EXPECT_EQ(surface->PixFormat(), pf16_565);
    EXPECT_EQ(surface->PGet(1, 0), 0xF800u);
    EXPECT_EQ(surface->PGet(3, 1), 0xFFFFu);
    auto broken = BmpStream(4, 2, kPicture);
    broken->SetSize(20);
    EXPECT_EQ(display->CreateSurfaceFromBitmap(broken.get(), false), nullptr);
}

// The software form draws the same table into any bitmap with the caller's pages.
TEST_F(TDDrawSpritePictures, SoftwareSpritesIntoABitmap)
{
    Enable(true);
    TXeRGBBits page(nullptr);
    page.SetBitDepth(bd32);
    page.SetWidth(64);
    page.SetHeight(32);
    ASSERT_TRUE(page.Create());
    page.BoxFill(0, 0, 31, 31, 0xFF0000);
    page.BoxFill(32, 0, 63, 31, 0x00FF00);
    page.BoxFill(40, 8, 47, 15, 0x0000FF); // the key: a hole in the green square
    TXeRGBBits* pages[] = {&page};
    display->SetSpritePage(1);
    ASSERT_TRUE(display->SpSetPattern(0, 0, 0, 0, 32, 32, XeRGB(0, 0, 255)));
    ASSERT_TRUE(display->SpSetPattern(1, 0, 32, 0, 32, 32, XeRGB(0, 0, 255)));
    ASSERT_TRUE(display->SpSetSprite(0, 0, 0, 0, 5));
    ASSERT_TRUE(display->SpSetSprite(1, 10, 10, 1, 3));
    ASSERT_TRUE(display->SpSetSprite(2, 90, -4, 0, 0)); // cut at the top and the right

    TXeRGBBits dest(nullptr);
    dest.SetBitDepth(bd32);
    dest.SetWidth(100);
    dest.SetHeight(50);
    ASSERT_TRUE(dest.Create());
    ASSERT_TRUE(display->SpriteDraw(&dest, pages));
    EXPECT_EQ(dest.PGet(5, 5), 0xFF0000u);
    EXPECT_EQ(dest.PGet(12, 12), 0x00FF00u) << "priority 3 on top of 5";
    EXPECT_EQ(dest.PGet(20, 20), 0xFF0000u) << "the key shows what is below";
    EXPECT_EQ(dest.PGet(99, 0), 0xFF0000u);
    EXPECT_EQ(dest.PGet(99, 28), 0u);
    EXPECT_FALSE(display->SpritePatternWrite(&dest, pages, 1024, 0, 0));
    EXPECT_TRUE(display->SpritePatternWrite(&dest, pages, 7, 0, 0)) << "an unused pattern draws nothing";

    TXeRGBBits notCreated(nullptr);
    EXPECT_TRUE(display->SpriteDraw(&notCreated, pages)) << "a bitmap that cannot be locked gets nothing";

    // A change handler that fails stops the drawing; the error reaches the application once.
    const TestSupport::CapturedApplication application;
    dest.OnChange = [](TObject*) { throw std::runtime_error("change failed"); };
    EXPECT_TRUE(display->SpriteDraw(&dest, pages));
    EXPECT_EQ(application.shown, (std::vector<std::string>{"change failed"}));
    EXPECT_FALSE(dest.Locked()) << "unlocked after the failure";
    dest.OnChange = nullptr;
}

} // namespace
