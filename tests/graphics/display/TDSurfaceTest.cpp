// DirectX::TDSurface: creation in the display's format, the lock protocol over a padded surface,
// clippers that survive a resize, palettes, text device contexts, and restoring a lost surface.
#include "graphics/bitmaps/TXeRGBDib.h"
#include "platform/font/DeviceContext.h"
#include "tests/graphics/DisplayTestSupport.h"
#include "tests/graphics/DrawTestSupport.h"

namespace {

using namespace DirectX;

class TDSurfaceTest : public DisplayFixture {
protected:
    void SetUp() override { Enable(true); }
};

TEST(TDSurfaceOwner, WithoutADisplayNothingIsCreated)
{
    TComponent owner(nullptr);
    auto* surface = new TDSurface(&owner);
    EXPECT_EQ(surface->DDraw(), nullptr);
    EXPECT_FALSE(surface->Create(bd16, pf16_565, 8, 8, false));
    EXPECT_FALSE(surface->Created());
    EXPECT_FALSE(surface->Lock());
}

TEST_F(TDSurfaceTest, DisplayFormatAndAskedFormats)
{
    auto* own = new TDSurface(display);
    ASSERT_TRUE(own->Create(bdNone, pfNone, 20, 10, true));
    EXPECT_EQ(own->BitDepth(), bd16);
    EXPECT_EQ(own->PixFormat(), pf16_565) << "what the 16-bit 565 display chose";
    EXPECT_TRUE(own->VideoMemory());
    EXPECT_FALSE(own->Create(bdNone, pfNone, 20, 10, true)) << "created already";

    auto* s555 = new TDSurface(display, bd16, pf16_555, 8, 8, false);
    EXPECT_TRUE(s555->Created());
    EXPECT_EQ(s555->PixFormat(), pf16_555);
    EXPECT_FALSE(s555->VideoMemory());

    auto* bad = new TDSurface(display);
    EXPECT_FALSE(bad->Create(bd24, pf32_888, 8, 8, false)) << "depth and format disagree";
    EXPECT_FALSE(bad->Create(bd24, pf24_888, 0, 8, false));

    back.settings.videoMemoryBytes = 0;
    EXPECT_FALSE(bad->Create(bdNone, pfNone, 8, 8, true)) << "no fallback to system memory here";
}

TEST_F(TDSurfaceTest, DrawingStepsRowsByThePitch)
{
    auto* s = new TDSurface(display, bd24, pf24_888, 5, 4, false);
    ASSERT_TRUE(s->Lock());
    EXPECT_EQ(s->Pitch(), 16) << "the surface's rows are padded";
    s->Unlock();
    int changes = 0;
    s->OnChange = [&](TObject*) { ++changes; };
    EXPECT_TRUE(s->BoxFill(1, 1, 3, 2, 0x102030));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(s->PGet(1, 1), 0x102030u);
    EXPECT_EQ(s->PGet(3, 2), 0x102030u);
    EXPECT_EQ(s->PGet(4, 2), 0u);
    EXPECT_EQ(s->PGet(1, 3), 0u);
}

TEST_F(TDSurfaceTest, LocksNestAndReleaseUnwindsThem)
{
    auto* s = display->CreateSurface(8, 8, false);
    ASSERT_TRUE(s->Lock());
    ASSERT_TRUE(s->Lock());
    EXPECT_TRUE(s->Unlock());
    EXPECT_TRUE(s->Locked()) << "still mapped after one of two unlocks";
    EXPECT_TRUE(s->Unlock());
    EXPECT_FALSE(s->Locked());
    EXPECT_FALSE(s->Unlock());

    ASSERT_TRUE(s->Lock());
    ASSERT_TRUE(s->Lock());
    s->Release();
    EXPECT_FALSE(s->Created());
    EXPECT_FALSE(s->Locked());
    EXPECT_EQ(s->Surface(), nullptr);
}

TEST_F(TDSurfaceTest, ResizeKeepsTheClipper)
{
    auto* s = display->CreateSurface(bd16, pf16_565, 16, 16, false);
    ASSERT_TRUE(s->SetClipRect(XeRect(0, 0, 10, 10)));
    ASSERT_TRUE(s->Resize(20, 20));
    EXPECT_EQ(s->Width(), 20);
    EXPECT_NE(s->Clipper(), nullptr);
    s->Fill(XeRGB(255, 255, 255));
    EXPECT_EQ(s->PGet(9, 9), 0xFFFFu);
    EXPECT_EQ(s->PGet(10, 10), 0u) << "fills are still clipped to the old rectangle";
    EXPECT_FALSE(s->Resize(0, 5));
    EXPECT_FALSE(display->PrimarySurface()->Resize(100, 100)) << "a wrapped surface keeps its size";
}

TEST_F(TDSurfaceTest, PalettesBelongToEightBitSurfaces)
{
    auto* s16 = display->CreateSurface(bd16, pf16_565, 4, 4, false);
    EXPECT_FALSE(s16->SetPalette(nullptr));
    auto* s8 = display->CreateSurface(bd8, pfNone, 4, 4, false);
    ASSERT_NE(s8, nullptr);
    ASSERT_NE(s8->Palette(), nullptr) << "a new 8-bit surface gets the default palette";
    EXPECT_EQ(s8->Palette()->entries[0], 0x000000u);
    EXPECT_EQ(s8->Palette()->entries[9], 0xA6CAF0u);
    EXPECT_EQ(s8->Palette()->entries[100], 0x000000u);
    EXPECT_EQ(s8->Palette()->entries[255], 0xFFFFFFu);
    EXPECT_TRUE(s8->SetPalette(nullptr));
    EXPECT_EQ(s8->Palette(), nullptr);
}

TEST_F(TDSurfaceTest, DeviceContextIsOneTextContextOverTheLockedSurface)
{
    auto* s = display->CreateSurface(8, 8, false);
    void* dc = nullptr;
    ASSERT_TRUE(s->HaveDC());
    EXPECT_FALSE(s->ReleaseDC(nullptr)) << "none out";
    ASSERT_TRUE(s->GetDC(&dc));
    auto* context = static_cast<DeviceContext*>(dc);
    ASSERT_NE(context->Bitmap(), nullptr);
    EXPECT_EQ(context->Bitmap()->Width(), 8);
    EXPECT_TRUE(s->Locked());
    void* second = nullptr;
    EXPECT_FALSE(s->GetDC(&second)) << "one at a time";
    EXPECT_FALSE(s->Resize(4, 4)) << "locked while the context is out";
    EXPECT_FALSE(s->ReleaseDC(nullptr));
    EXPECT_TRUE(s->ReleaseDC(dc));
    EXPECT_FALSE(s->Locked());
    EXPECT_FALSE(s->ReleaseDC(dc)) << "released already";

    ASSERT_TRUE(display->GetDC(&dc));
    EXPECT_EQ(static_cast<DeviceContext*>(dc)->Bitmap()->Width(), display->DrawSurface()->Width());
    EXPECT_TRUE(display->DrawSurface()->Locked());
    EXPECT_TRUE(display->ReleaseDC(dc));
    EXPECT_FALSE(display->DrawSurface()->Locked());

    // A context still out when the surface goes is closed with it.
    ASSERT_TRUE(s->GetDC(&dc));
    s->Release();
    EXPECT_FALSE(s->Created());
}

// Text drawn through a surface's context lands in the surface's pixels exactly as in a DIB-backed
// bitmap of the same layout, in 16, 24 and 32 bits (the rows of a surface are padded).
TEST_F(TDSurfaceTest, TextDrawnThroughTheContextMatchesADibBitmap)
{
    LogicalFont font;
    font.faceName = "Gothic";
    font.height = -14;
    font.quality = kAntialiasedQuality;
    font.charSet = GB2312_CHARSET;
    const auto draw = [&](TXeRGBBits& bits) {
        bits.BoxFill(0, 0, bits.Width() - 1, bits.Height() - 1, bits.TXeRGBtoPixel(XeRGB(0x20, 0x40, 0x60)));
        void* handle = nullptr;
        if (!bits.GetDC(&handle))
            return false;
        auto* dc = static_cast<DeviceContext*>(handle);
        dc->SelectFont(&font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(RGB(255, 240, 10));
        const bool drawn = dc->TextOutA(3, 2, "FPS 60", 6);
        dc->SelectFont(nullptr);
        return bits.ReleaseDC(handle) && drawn;
    };
    for (const auto& [depth, format] : {std::pair{bd16, pf16_565}, std::pair{bd16, pf16_555}, std::pair{bd24, pf24_888},
                                        std::pair{bd32, pf32_888}, std::pair{bd32, pf32_8888}}) {
        auto* surface = new TDSurface(display, depth, format, 61, 19, false);
        ASSERT_TRUE(surface->Created()) << FormatName(format);
        TXeRGBDib dib(nullptr);
        dib.SetPixFormat(format);
        dib.Resize(61, 19);
        ASSERT_TRUE(dib.Create());
        ASSERT_TRUE(draw(*surface)) << FormatName(format);
        ASSERT_TRUE(draw(dib)) << FormatName(format);
        int changed = 0;
        for (int y = 0; y < 19; ++y)
            for (int x = 0; x < 61; ++x) {
                ASSERT_EQ(surface->PGet(x, y), dib.PGet(x, y)) << FormatName(format) << " at " << x << "," << y;
                changed += surface->PGet(x, y) != surface->TXeRGBtoPixel(XeRGB(0x20, 0x40, 0x60));
            }
        EXPECT_GT(changed, 20) << FormatName(format) << ": the text reached the surface";
        EXPECT_FALSE(surface->Locked());
    }
}

TEST_F(TDSurfaceTest, LockRestoresALostSurfaceAndTellsItsOwner)
{
    auto* s = display->CreateSurface(8, 8, true);
    s->Fill(XeRGB(0, 0, 255));
    int restored = 0;
    s->OnRestore = [&](TObject* sender) {
        EXPECT_EQ(sender, s);
        ++restored;
    };
    back.LoseSurfaces(video::LossScope::VideoMemory);
    EXPECT_TRUE(s->IsLost());
    ASSERT_TRUE(s->Lock());
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(s->PGet(0, 0), 0xA5A5u) << "memory back, picture gone";
    s->Unlock();
    EXPECT_FALSE(s->IsLost());

    back.LoseSurfaces(video::LossScope::VideoMemory);
    back.settings.restoreFails = true;
    EXPECT_FALSE(s->Lock());
    EXPECT_FALSE(s->IsLostAndRestore());
    back.settings.restoreFails = false;
    EXPECT_TRUE(s->IsLostAndRestore());
    EXPECT_EQ(restored, 2);
}

// A surface whose depth and format fields still hold what the screen had before a mode change.
struct TStaleFormatSurface : TDSurface {
    using TDSurface::TDSurface;
    void ForgetFormat(TBitDepth depth, TPixFormat format)
    {
        FBitDepth = depth;
        FPixFormat = format;
    }
};

// Restore takes depth and format from the surface as it comes back, so after a mode change the
// fields tell the new layout, before OnRestore runs.
TEST_F(TDSurfaceTest, RestoreReReadsThePixelFormat)
{
    for (const auto& [depth, format] : {std::pair{bd16, pf16_555}, std::pair{bd24, pf24_888}, std::pair{bd32, pf32_8888}}) {
        auto* s = new TStaleFormatSurface(display, depth, format, 8, 8, true);
        ASSERT_TRUE(s->Created());
        s->ForgetFormat(bd16, pf16_4444);
        TPixFormat seen = pfNone;
        s->OnRestore = [&](TObject*) { seen = s->PixFormat(); };
        back.LoseSurfaces(video::LossScope::VideoMemory);
        ASSERT_TRUE(s->IsLostAndRestore());
        EXPECT_EQ(s->BitDepth(), depth);
        EXPECT_EQ(s->PixFormat(), format);
        EXPECT_EQ(seen, format);
    }
}

TEST_F(TDSurfaceTest, AttachedChainSurfacesDescribeTheScreen)
{
    TDSurface* primary = display->PrimarySurface();
    EXPECT_EQ(primary->Attached(), 1);
    EXPECT_EQ(primary->Width(), 640);
    EXPECT_EQ(primary->PixFormat(), pf16_565);
    EXPECT_TRUE(primary->VideoMemory());
    EXPECT_FALSE(primary->Attach(primary->Surface())) << "created already";
    EXPECT_EQ(display->FlipSurface()->Height(), 480);
}

} // namespace
