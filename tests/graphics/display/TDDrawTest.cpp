// DirectX::TDDraw on the headless back end: properties, creation fallbacks, presenting and its
// per-buffer bookkeeping, loss and restore, surfaces of the program, and mode enumeration.
#include "tests/graphics/DisplayTestSupport.h"

#include "support/ScopedState.h"

#include <algorithm>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

namespace {

using namespace DirectX;
using video::LogEntry;

using TDDrawTest = DisplayFixture;

// The copies into flip buffers that one present made: (physical buffer, rectangle).
std::vector<std::pair<int, video::Rect>> CopiesIn(const std::vector<LogEntry>& log)
{
    std::vector<std::pair<int, video::Rect>> copies;
    for (const LogEntry& e : log)
        if (e.kind == LogEntry::BltFast)
            copies.emplace_back(e.buffer, e.dst);
    return copies;
}

TEST_F(TDDrawTest, NewDisplayDefaultsAndDoesNothingWhileDisabled)
{
    EXPECT_TRUE(display->FullScreen());
    EXPECT_TRUE(display->TripleBuffer());
    EXPECT_EQ(display->BackType(), btNone);
    EXPECT_EQ(display->BitDepth(), bd16);
    EXPECT_EQ(display->ScreenSize(), ss640x480);
    EXPECT_EQ(display->SpriteWidth(), 640);
    EXPECT_EQ(display->SpriteHeight(), 480);
    EXPECT_FALSE(display->Enabled());
    EXPECT_EQ(display->Window(), &form);
    display->Flip();
    display->Clear();
    EXPECT_EQ(display->CreateSurface(10, 10, false), nullptr);
    EXPECT_EQ(display->CreateSurface(bd16, pf16_565, 10, 10, false), nullptr);
    EXPECT_FALSE(display->CanDraw());
    EXPECT_FALSE(display->CanFlip());
    EXPECT_FALSE(display->RestoreAllSurfaces());
    EXPECT_TRUE(back.Log().empty());
}

TEST_F(TDDrawTest, PropertySettersFollowTheirRules)
{
    display->SetBitDepth(bd8);
    EXPECT_EQ(display->BitDepth(), bd16);
    display->SetScreenSize(ss320x240);
    EXPECT_EQ(display->ScreenWidth(), 320);
    EXPECT_EQ(display->SpriteWidth(), 320);
    EXPECT_EQ(display->SpriteHeight(), 240);
    display->SetScreenSize(ss800x600);
    EXPECT_EQ(display->ScreenHeight(), 600);
    EXPECT_EQ(display->SpriteWidth(), 320) << "a larger screen does not raise the sprite page";
    display->SetScreenSize(static_cast<TScreenSize>(9));
    EXPECT_EQ(display->ScreenWidth(), 800) << "a value outside the table leaves the size";
    display->SetSpWidth(0);
    display->SetSpWidth(801);
    EXPECT_EQ(display->SpriteWidth(), 320);
    display->SetSpWidth(800);
    EXPECT_EQ(display->SpriteWidth(), 800);

    display->SetScreenSize(ss640x480);
    Enable(true);
    display->SetFullScreen(false);
    display->SetRefreshRate(75);
    display->SetTripleBuffer(false);
    display->SetBitDepth(bd32);
    display->SetScreenSize(ss1024x768);
    display->SetSpWidth(100);
    display->SetSpHeight(100);
    EXPECT_TRUE(display->FullScreen());
    EXPECT_EQ(display->RefreshRate(), 0);
    EXPECT_TRUE(display->TripleBuffer());
    EXPECT_EQ(display->BitDepth(), bd16);
    EXPECT_EQ(display->ScreenWidth(), 640);
    EXPECT_EQ(display->SpriteWidth(), 640);
    EXPECT_EQ(display->SpriteHeight(), 240);
}

TEST_F(TDDrawTest, BusyFlagDoesNotNest)
{
    EXPECT_TRUE(display->Lock());
    EXPECT_FALSE(display->Lock());
    EXPECT_TRUE(display->Unlock());
    EXPECT_FALSE(display->Unlock());
}

TEST(TDDrawOwner, DisplayWithoutAWindowControlNeverEnables)
{
    TComponent owner(nullptr);
    auto* display = new TDDraw(&owner);
    EXPECT_EQ(display->Window(), nullptr);
    display->SetEnabled(true);
    EXPECT_FALSE(display->Enabled());
}

TEST_F(TDDrawTest, WindowModeNeedsADesktopOfSixteenBitsOrMore)
{
    back.settings.desktopLayout = video::kLayout8;
    EXPECT_EQ(display->DesktopBitDepth(), bd8);
    display->SetFullScreen(false);
    display->SetEnabled(true);
    EXPECT_FALSE(display->Enabled());
    EXPECT_EQ(display->DirectDraw(), nullptr);
    back.settings.desktopLayout = video::kLayout565;
    EXPECT_EQ(display->DesktopBitDepth(), bd16);
    display->SetEnabled(true);
    EXPECT_TRUE(display->Enabled());
    EXPECT_EQ(display->BufferCount(), 0);
    EXPECT_FALSE(display->Flipping());
}

// What the driver grants decides the flip chain.
TEST_F(TDDrawTest, CreationFallsBackToFewerBackBuffers)
{
    struct Case {
        int maxBackBuffers;
        std::uint64_t videoMemory;
        bool triple;
        int bufferCount;
        bool flipping;
    };
    const std::uint64_t frame = 640 * 480 * 2;
    const Case cases[] = {
        {2, 64 << 20, true, 3, true},
        {2, 64 << 20, false, 2, true},
        {1, 64 << 20, true, 2, true},
        {0, 64 << 20, true, 1, false},
        {2, frame * 2, true, 2, true}, // room for two buffers only
        {2, frame, true, 1, false},
    };
    for (const Case& c : cases) {
        back.settings.maxBackBuffers = c.maxBackBuffers;
        back.settings.videoMemoryBytes = c.videoMemory;
        Enable(true, btSystem, c.triple);
        EXPECT_EQ(display->BufferCount(), c.bufferCount) << c.maxBackBuffers << " " << c.videoMemory;
        EXPECT_EQ(display->Flipping(), c.flipping) << c.maxBackBuffers << " " << c.videoMemory;
        EXPECT_EQ(display->FlipSurface() != nullptr, c.flipping);
        EXPECT_EQ(display->DrawSurface(), display->BackSurface());
        display->SetEnabled(false);
        EXPECT_EQ(display->DirectDraw(), nullptr);
    }
}

TEST_F(TDDrawTest, VideoBackSurfaceFallsBackToSystemMemory)
{
    back.settings.videoMemoryBytes = 3 * 640 * 480 * 2; // the flip chain fills it
    Enable(true, btVideo);
    EXPECT_EQ(display->BackType(), btSystem);
    ASSERT_NE(display->BackSurface(), nullptr);
    EXPECT_FALSE(display->BackSurface()->VideoMemory());
    display->SetEnabled(false);
    back.settings.videoMemoryBytes = 64 << 20;
    display->SetBackType(btVideo);
    Enable(true, btVideo);
    EXPECT_EQ(display->BackType(), btVideo);
    EXPECT_TRUE(display->BackSurface()->VideoMemory());
}

TEST_F(TDDrawTest, CreationFailsCleanlyWithoutTheMode)
{
    back.settings.modes.clear();
    display->SetBackType(btSystem);
    display->SetEnabled(true);
    EXPECT_FALSE(display->Enabled());
    EXPECT_EQ(display->DirectDraw(), nullptr);
    EXPECT_FALSE(window->FullScreen());
    EXPECT_TRUE(display->SurfaceList().empty());
    back.settings.modes = video::HeadlessVideo::StandardModes();
    display->SetEnabled(true);
    EXPECT_TRUE(display->Enabled());
    EXPECT_TRUE(window->FullScreen());
    display->SetEnabled(false);
    EXPECT_FALSE(window->FullScreen()) << "disabling gives the window back";
}

TEST_F(TDDrawTest, BackTypeSwitchesWhileRunning)
{
    Enable(true, btNone);
    EXPECT_EQ(display->BackSurface(), nullptr);
    EXPECT_EQ(display->DrawSurface(), display->FlipSurface());
    display->SetBackType(btSystem);
    ASSERT_NE(display->BackSurface(), nullptr);
    EXPECT_EQ(display->DrawSurface(), display->BackSurface());
    display->SetBackType(btNone);
    EXPECT_EQ(display->BackSurface(), nullptr);
    EXPECT_EQ(display->DrawSurface(), display->FlipSurface());
}

// A rectangle reported in frame k is copied into each of the three buffers at its next turn.
TEST_F(TDDrawTest, TripleBufferCopiesEachRectangleOnceIntoEveryBuffer)
{
    Enable(true);
    ASSERT_EQ(display->BufferCount(), 3);
    for (int i = 0; i < 3; ++i)
        display->FlipModifyRect(TXeRectSet()); // every buffer takes its first whole picture
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(display->ModifyRectSet(i).IsRectEmpty());

    TXeRectSet frame;
    Paint(frame, XeRect(100, 50, 164, 114), 0x1234);
    back.ClearLog();
    display->FlipModifyRect(frame);
    std::set<int> buffers;
    for (int turn = 0; turn < 3; ++turn) {
        const auto copies = CopiesIn(back.Log());
        ASSERT_EQ(copies.size(), 1u) << "turn " << turn;
        EXPECT_EQ(copies[0].second, (video::Rect{100, 50, 164, 114}));
        buffers.insert(copies[0].first);
        EXPECT_TRUE(ShowsBackSurface()) << "turn " << turn;
        back.ClearLog();
        display->FlipModifyRect(TXeRectSet());
    }
    EXPECT_EQ(buffers.size(), 3u) << "each buffer once";
    EXPECT_TRUE(CopiesIn(back.Log()).empty()) << "nothing is pending any more";
    EXPECT_EQ(std::count_if(back.Log().begin(), back.Log().end(),
                            [](const LogEntry& e) { return e.kind == LogEntry::Flip; }),
              1)
        << "an empty present still flips";
}

// Whatever the drawing, each present shows exactly the back surface.
TEST_F(TDDrawTest, ChangedRectanglePresentsKeepEveryBufferCurrent)
{
    for (const bool triple : {true, false}) {
        Enable(true, btSystem, triple);
        std::mt19937 random(triple ? 11 : 12);
        for (int frame = 0; frame < 40; ++frame) {
            TXeRectSet changed;
            const int count = static_cast<int>(random() % 4);
            for (int i = 0; i < count; ++i) {
                const int x = static_cast<int>(random() % 640) - 20;
                const int y = static_cast<int>(random() % 480) - 20;
                Paint(changed, XeRect(std::max(x, 0), std::max(y, 0), std::min(x + 70, 640), std::min(y + 50, 480)),
                      random() & 0xFFFF);
            }
            if (frame % 13 == 12)
                display->Flip();
            else
                display->FlipModifyRect(changed);
            ASSERT_TRUE(ShowsBackSurface()) << "frame " << frame << (triple ? " triple" : " double");
        }
        display->SetEnabled(false);
    }
}

TEST_F(TDDrawTest, FullFlipLeavesTheWholeScreenPendingForTheOtherBuffers)
{
    Enable(true);
    for (int i = 0; i < 3; ++i)
        display->FlipModifyRect(TXeRectSet());
    const int before = display->BufferIndex();
    display->Flip();
    EXPECT_TRUE(display->ModifyRectSet(before).IsRectEmpty());
    for (int i = 0; i < 3; ++i)
        if (i != before) {
            ASSERT_EQ(display->ModifyRectSet(i).Count(), 1);
            EXPECT_EQ(display->ModifyRectSet(i)[0], XeRect(0, 0, 640, 480));
        }
    EXPECT_EQ(display->BufferIndex(), (before + 1) % 3);
}

// After the primary was lost and restored every buffer receives the whole screen at its turn.
TEST_F(TDDrawTest, LostPrimaryRepaintsEveryBufferWhole)
{
    Enable(true);
    TXeRectSet none;
    for (int i = 0; i < 3; ++i)
        display->FlipModifyRect(none);
    back.LoseSurfaces(video::LossScope::Primary);
    EXPECT_TRUE(display->CanDraw()) << "CanDraw restores the primary";
    EXPECT_TRUE(display->PrimaryRestored());
    std::set<int> buffers;
    for (int turn = 0; turn < 3; ++turn) {
        back.ClearLog();
        display->FlipModifyRect(none);
        const auto copies = CopiesIn(back.Log());
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(copies[0].second, (video::Rect{0, 0, 640, 480}));
        buffers.insert(copies[0].first);
        EXPECT_TRUE(ShowsBackSurface());
    }
    EXPECT_EQ(buffers.size(), 3u);
    EXPECT_FALSE(display->PrimaryRestored());
}

TEST_F(TDDrawTest, WindowModePresentsTheWholeBackSurfaceAtTheClientArea)
{
    display->SetFullScreen(false);
    Enable(false);
    EXPECT_EQ(display->BufferCount(), 0);
    TXeRectSet changed;
    Paint(changed, XeRect(0, 0, 640, 480), 0x203040);
    Paint(changed, XeRect(600, 440, 640, 480), 0xFF0000);
    back.ClearLog();
    display->FlipModifyRect(changed);
    ASSERT_EQ(back.Log().size(), 1u);
    EXPECT_EQ(back.Log()[0].kind, LogEntry::Blt);
    EXPECT_EQ(back.Log()[0].dst, (video::Rect{64, 48, 704, 528})) << "moved to the client area";
    EXPECT_EQ(back.Log()[0].src, (video::Rect{0, 0, 640, 480}));
    EXPECT_TRUE(ShowsBackSurface());

    TXeRectSet small;
    Paint(small, XeRect(10, 10, 20, 20), 0x00FF00);
    back.ClearLog();
    display->FlipModifyRect(small);
    ASSERT_EQ(back.Log().size(), 1u);
    EXPECT_EQ(back.Log()[0].src, (video::Rect{0, 0, 640, 480})) << "the whole back surface again";
    EXPECT_TRUE(ShowsBackSurface());
    EXPECT_TRUE(display->CanFlip()) << "nothing to wait for without a flip chain";
}

TEST_F(TDDrawTest, FourStripPresentsShowTheSamePicture)
{
    Enable(true);
    display->Blt4Div = true;
    for (int i = 0; i < 3; ++i)
        display->FlipModifyRect(TXeRectSet());
    TXeRectSet changed;
    Paint(changed, XeRect(0, 100, 640, 140), 0x7777); // crosses the first strip boundary at 120
    back.ClearLog();
    display->FlipModifyRect(changed);
    const auto copies = CopiesIn(back.Log());
    EXPECT_TRUE(std::any_of(copies.begin(), copies.end(),
                            [](const auto& c) { return c.second == video::Rect{0, 100, 640, 120}; }));
    EXPECT_TRUE(std::any_of(copies.begin(), copies.end(),
                            [](const auto& c) { return c.second == video::Rect{0, 120, 640, 140}; }));
    for (int i = 0; i < 3; ++i) {
        display->FlipModifyRect(TXeRectSet());
        EXPECT_TRUE(ShowsBackSurface());
    }
    display->Flip();
    EXPECT_TRUE(ShowsBackSurface());
}

TEST_F(TDDrawTest, SetModifyRectClipsToTheScreen)
{
    Enable(true);
    for (int i = 0; i < 3; ++i)
        display->FlipModifyRect(TXeRectSet());
    display->SetModifyRect(XeRect(640, 0, 700, 100));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(display->ModifyRectSet(i).IsRectEmpty());
    display->SetModifyRect(XeRect(600, -10, 700, 10));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(display->ModifyRectSet(i).Count(), 1);
        EXPECT_EQ(display->ModifyRectSet(i)[0], XeRect(600, 0, 640, 10));
    }
}

TEST_F(TDDrawTest, LostBackSurfaceIsRestoredAndItsOwnerTold)
{
    Enable(true, btVideo);
    int restored = 0;
    display->BackSurface()->OnRestore = [&](TObject*) { ++restored; };
    auto* picture = display->CreateSurface(32, 32, true);
    ASSERT_NE(picture, nullptr);
    int pictureRestored = 0;
    picture->OnRestore = [&](TObject*) { ++pictureRestored; };
    back.LoseSurfaces(video::LossScope::VideoMemory);
    EXPECT_TRUE(display->CanDraw());
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(pictureRestored, 0) << "other surfaces restore where they are used";
    EXPECT_TRUE(display->RestoreAllSurfaces());
    EXPECT_EQ(pictureRestored, 1);
    EXPECT_TRUE(display->RestoreAllSurfaces());
    EXPECT_EQ(pictureRestored, 1) << "a surface that is not lost is left alone";

    back.settings.restoreFails = true;
    back.LoseSurfaces(video::LossScope::All);
    EXPECT_FALSE(display->CanDraw()) << "a surface that cannot come back";
    back.settings.restoreFails = false;
    EXPECT_TRUE(display->CanDraw());
}

TEST_F(TDDrawTest, AFailedRestoreHandlerIsReportedAndTheOthersStillRestore)
{
    Enable(true, btVideo);
    TDSurface* failing = display->CreateSurface(16, 16, true);
    TDSurface* other = display->CreateSurface(16, 16, true);
    ASSERT_NE(failing, nullptr);
    ASSERT_NE(other, nullptr);
    failing->OnRestore = [](TObject*) { throw std::runtime_error("restore failed"); };
    int otherRestored = 0;
    other->OnRestore = [&](TObject*) { ++otherRestored; };
    TestSupport::CapturedApplication application;
    back.LoseSurfaces(video::LossScope::VideoMemory);
    EXPECT_TRUE(display->RestoreAllSurfaces());
    EXPECT_EQ(otherRestored, 1);
    EXPECT_EQ(application.shown, (std::vector<std::string>{"restore failed"}));
}

TEST_F(TDDrawTest, DisablingDestroysTheProgramsSurfaces)
{
    Enable(true);
    auto* a = display->CreateSurface(bd16, pf16_555, 16, 16, false);
    auto* b = display->CreateSurface(16, 16, true);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->PixFormat(), pf16_555);
    EXPECT_EQ(b->PixFormat(), pf16_565) << "the display's own format";
    EXPECT_EQ(display->CreateSurface(bd16, pf16_565, 0, 16, false), nullptr);
    const auto& list = display->SurfaceList();
    EXPECT_NE(std::find(list.begin(), list.end(), a), list.end());
    const int owned = display->ComponentCount();
    display->SetEnabled(false);
    EXPECT_TRUE(display->SurfaceList().empty());
    EXPECT_EQ(display->ComponentCount(), owned - 5) << "primary, flip, back and the two surfaces";
}

TEST_F(TDDrawTest, DestroyingAnEnabledDisplayWithSurfacesIsClean)
{
    Enable(true);
    display->CreateSurface(64, 64, true);
    auto* forgotten = new TDSurface(display); // listed, but not created: the display is enabled
    EXPECT_TRUE(forgotten->Create(bd32, pf32_888, 8, 8, false));
    delete display; // the sanitizers see any use after free or leak
    display = nullptr;
    EXPECT_FALSE(window->FullScreen());
}

// A surface made while the display is disabled cannot be created, and is forgotten (not destroyed)
// by the next enabling; destroying the display later still ends it cleanly.
TEST_F(TDDrawTest, SurfaceOfADisabledDisplayFailsAndIsForgotten)
{
    auto* early = new TDSurface(display);
    EXPECT_FALSE(early->Create(bd16, pf16_565, 8, 8, false));
    EXPECT_EQ(display->SurfaceList().size(), 1u);
    Enable(true);
    EXPECT_EQ(std::count(display->SurfaceList().begin(), display->SurfaceList().end(), early), 0);
    EXPECT_TRUE(early->Create(bd16, pf16_565, 8, 8, false)) << "the device exists now";
    display->SetEnabled(false);
    EXPECT_TRUE(early->Created()) << "forgotten surfaces are not destroyed by disabling";
    EXPECT_TRUE(early->IsLost()) << "but their device is gone";
    EXPECT_FALSE(early->Lock());
}

TEST_F(TDDrawTest, ModeEnumerationKeepsTheKnownSizes)
{
    std::vector<TDisplayMode> modes;
    display->ENumDisplayModes(&modes, true); // disabled: a temporary device
    EXPECT_EQ(modes.size(), 28u) << "seven sizes at 8, 16, 24 and 32 bits";
    int eightBit = 0;
    for (const TDisplayMode& m : modes) {
        if (m.BitDepth == bd8) {
            ++eightBit;
            EXPECT_EQ(m.PixFormat, pfNone);
        }
        if (m.BitDepth == bd16) {
            EXPECT_EQ(m.PixFormat, pf16_565);
            EXPECT_EQ(m.RMask, 0xF800u);
        }
    }
    EXPECT_EQ(eightBit, 7);
    EXPECT_TRUE(display->CheckDisplayMode(bd24, ss1280x1024));
    back.settings.modes = {{640, 480, video::kLayout565, 60}, {1600, 1200, video::kLayoutX888, 60}};
    EXPECT_TRUE(display->CheckDisplayMode(bd16, ss640x480));
    EXPECT_FALSE(display->CheckDisplayMode(bd32, ss640x480));
    back.settings.startFails = true;
    modes.push_back({});
    display->ENumDisplayModes(&modes, false);
    EXPECT_TRUE(modes.empty()) << "no device, no modes";
}

TEST_F(TDDrawTest, MemoryAndCapsQueriesWorkWhileDisabled)
{
    unsigned long total = 1;
    unsigned long free = 1;
    display->GetAvailableVidMem(total, free);
    EXPECT_EQ(total, 64ul << 20);
    EXPECT_EQ(free, total);
    Enable(true);
    display->GetAvailableVidMem(total, free);
    EXPECT_EQ(total - free, 3ul * 640 * 480 * 2) << "the flip chain";
    video::DeviceCaps caps;
    EXPECT_TRUE(display->GetCaps(&caps, nullptr));
    EXPECT_EQ(caps.maxBackBuffers, 2);
    display->SetEnabled(false);
    back.settings.startFails = true;
    display->GetAvailableVidMem(total, free);
    EXPECT_EQ(total, 0u);
    EXPECT_FALSE(display->GetCaps(&caps, &caps));
}

TEST_F(TDDrawTest, DrawPrimaryAndWriteInAWindow)
{
    display->SetFullScreen(false);
    Enable(false);
    auto* picture = display->CreateSurface(64, 64, false);
    ASSERT_NE(picture, nullptr);
    picture->Fill(XeRGB(255, 0, 0));
    EXPECT_TRUE(display->DrawPrimary(10, 20, picture, 0, 0, 32, 16));
    const auto shown = window->Front().Copy();
    EXPECT_EQ(shown.Rgb(10, 20), 0xFF0000u);
    EXPECT_EQ(shown.Rgb(41, 35), 0xFF0000u);
    EXPECT_EQ(shown.Rgb(42, 20), 0u);

    auto* full = display->CreateSurface(640, 480, false);
    full->Fill(XeRGB(0, 0, 255));
    display->Write(full);
    display->Flip();
    EXPECT_EQ(window->Front().Copy().Rgb(320, 240), 0x0000FFu);
}

} // namespace
