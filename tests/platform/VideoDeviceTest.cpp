// The video service on the headless back end: devices, primaries and flip chains, blits, loss and restore.
#include "platform/video/VideoDevice.h"
#include "platform/video/headless/HeadlessVideo.h"

#include "support/Tools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace video;

class VideoDeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = back.CreateWindow({640, 480}, {64, 48});
        device = Device::Create(back);
        ASSERT_NE(device, nullptr);
    }

    // Full screen at 640x480 in 32 bits with `backBuffers` back buffers.
    std::shared_ptr<Surface> FullScreenPrimary(int backBuffers)
    {
        EXPECT_EQ(device->SetCooperativeLevel(window.get(), true), Result::Ok);
        EXPECT_EQ(device->SetDisplayMode(640, 480, 32, 0), Result::Ok);
        std::shared_ptr<Surface> primary;
        EXPECT_EQ(device->CreatePrimary(backBuffers, primary), Result::Ok);
        return primary;
    }

    std::shared_ptr<Surface> OffScreen(int w, int h, bool videoMemory = false)
    {
        std::shared_ptr<Surface> s;
        EXPECT_EQ(device->CreateOffScreen(w, h, nullptr, videoMemory, s), Result::Ok);
        return s;
    }

    static void Fill(Surface& s, const Rect& r, std::uint32_t value)
    {
        ASSERT_EQ(s.Blt(&r, nullptr, nullptr, kBltColorFill, value), Result::Ok);
    }

    static std::uint32_t PixelOf(Surface& s, int x, int y)
    {
        LockedView view;
        EXPECT_EQ(s.Lock(view), Result::Ok);
        SurfaceDesc desc;
        s.GetDesc(desc);
        const int bytes = desc.layout.BytesPerPixel();
        const std::uint32_t v = ReadPixel(view.bits + y * view.pitch + x * bytes, bytes);
        s.Unlock();
        return v;
    }

    HeadlessVideo back;
    std::unique_ptr<HeadlessWindow> window;
    std::unique_ptr<Device> device;
};

using VideoDevice = VideoDeviceFixture;
using VideoSurface = VideoDeviceFixture;
using VideoFlipChain = VideoDeviceFixture;

TEST(VideoDeviceStart, FailsWhenTheBackEndCannotStart)
{
    HeadlessVideo back;
    back.settings.startFails = true;
    EXPECT_EQ(Device::Create(back), nullptr);
}

TEST_F(VideoDevice, PrimaryNeedsACooperativeLevelAndInFullScreenAMode)
{
    std::shared_ptr<Surface> primary;
    EXPECT_EQ(device->CreatePrimary(0, primary), Result::WrongMode);
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), true), Result::Ok);
    EXPECT_EQ(device->CreatePrimary(0, primary), Result::WrongMode) << "no display mode yet";
    EXPECT_EQ(device->SetDisplayMode(640, 480, 8, 0), Result::Refused) << "8-bit modes are listed, not opened";
    EXPECT_EQ(device->SetDisplayMode(700, 500, 16, 0), Result::Refused);
    ASSERT_EQ(device->SetDisplayMode(640, 480, 16, 0), Result::Ok);
    EXPECT_TRUE(window->FullScreen());
    ASSERT_EQ(device->CreatePrimary(0, primary), Result::Ok);
    SurfaceDesc desc;
    primary->GetDesc(desc);
    EXPECT_EQ(desc.layout, kLayout565);
    EXPECT_EQ(desc.width, 640);
    std::shared_ptr<Surface> second;
    EXPECT_EQ(device->CreatePrimary(0, second), Result::Refused) << "one primary at a time";
}

TEST_F(VideoDevice, WindowPrimaryIsTheDesktopAndHasNoBackBuffers)
{
    back.settings.desktopLayout = kLayout565;
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    std::shared_ptr<Surface> primary;
    EXPECT_EQ(device->CreatePrimary(1, primary), Result::WrongMode);
    ASSERT_EQ(device->CreatePrimary(0, primary), Result::Ok);
    SurfaceDesc desc;
    primary->GetDesc(desc);
    EXPECT_EQ(desc.width, 1024);
    EXPECT_EQ(desc.height, 768);
    EXPECT_EQ(desc.layout, kLayout565);
    EXPECT_EQ(window->Front().PictureSize().width, 640);
}

TEST_F(VideoDevice, BackBuffersBeyondTheLimitOrTheBudgetAreRefused)
{
    back.settings.maxBackBuffers = 1;
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), true), Result::Ok);
    ASSERT_EQ(device->SetDisplayMode(640, 480, 32, 0), Result::Ok);
    std::shared_ptr<Surface> primary;
    EXPECT_EQ(device->CreatePrimary(2, primary), Result::Refused);
    back.settings.videoMemoryBytes = 640 * 480 * 4 * 2 - 1;
    EXPECT_EQ(device->CreatePrimary(1, primary), Result::OutOfVideoMemory);
    back.settings.videoMemoryBytes = 640 * 480 * 4 * 2;
    ASSERT_EQ(device->CreatePrimary(1, primary), Result::Ok);
    std::uint64_t total = 0;
    std::uint64_t free = 1;
    device->GetAvailableVidMem(total, free);
    EXPECT_EQ(free, 0u);
    primary.reset();
    device->GetAvailableVidMem(total, free);
    EXPECT_EQ(free, total) << "a destroyed chain gives its memory back";
}

TEST_F(VideoDevice, OffScreenSurfacesTakeTheDisplayLayoutAndTheBudget)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    back.settings.videoMemoryBytes = 100 * 100 * 4;
    std::shared_ptr<Surface> a;
    std::shared_ptr<Surface> b;
    ASSERT_EQ(device->CreateOffScreen(100, 100, nullptr, true, a), Result::Ok);
    EXPECT_EQ(device->CreateOffScreen(1, 1, nullptr, true, b), Result::OutOfVideoMemory);
    EXPECT_EQ(device->CreateOffScreen(100, 100, nullptr, false, b), Result::Ok) << "system memory is not budgeted";
    SurfaceDesc desc;
    b->GetDesc(desc);
    EXPECT_EQ(desc.layout, kLayoutX888);
    EXPECT_FALSE(desc.videoMemory);
    EXPECT_EQ(device->CreateOffScreen(0, 10, nullptr, false, b), Result::InvalidFormat);
    EXPECT_EQ(device->CreateOffScreen(1 << 16, 10, nullptr, false, b), Result::InvalidFormat);
    const PixelLayout odd{15, 1, 2, 4, 0};
    EXPECT_EQ(device->CreateOffScreen(10, 10, &odd, false, b), Result::InvalidFormat);
}

TEST_F(VideoSurface, LockGivesPaddedRowsOnceAtATime)
{
    const PixelLayout layout = kLayout888;
    std::shared_ptr<Surface> s;
    ASSERT_EQ(device->CreateOffScreen(5, 3, &layout, false, s), Result::Ok);
    LockedView view;
    ASSERT_EQ(s->Lock(view), Result::Ok);
    EXPECT_EQ(view.pitch, 16) << "rows padded to 16 bytes";
    LockedView again;
    EXPECT_EQ(s->Lock(again), Result::Busy);
    EXPECT_EQ(s->Unlock(), Result::Ok);
    EXPECT_EQ(s->Unlock(), Result::NotLocked);
}

TEST_F(VideoSurface, BltCopiesFillsAndKeys)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    auto src = OffScreen(8, 8);
    auto dst = OffScreen(8, 8);
    Fill(*src, {0, 0, 8, 8}, 0x112233);
    Fill(*src, {2, 2, 4, 4}, 0x00FF00);
    Fill(*dst, {0, 0, 8, 8}, 0x999999);

    const Rect from{0, 0, 6, 6};
    const Rect to{1, 1, 7, 7};
    EXPECT_EQ(dst->Blt(&to, src.get(), &from, kBltKeySrc), Result::NoColorKey);
    src->SetColorKey(0x00FF00, 0x00FF00);
    ASSERT_EQ(dst->Blt(&to, src.get(), &from, kBltKeySrc | kBltAsync), Result::Ok);
    EXPECT_EQ(PixelOf(*dst, 0, 0), 0x999999u);
    EXPECT_EQ(PixelOf(*dst, 1, 1), 0x112233u);
    EXPECT_EQ(PixelOf(*dst, 3, 3), 0x999999u) << "keyed pixel not copied";
    EXPECT_EQ(PixelOf(*dst, 4, 4), 0x999999u);
    EXPECT_EQ(PixelOf(*dst, 5, 5), 0x112233u);

    ASSERT_EQ(dst->Blt(&to, src.get(), &from, 0), Result::Ok);
    EXPECT_EQ(PixelOf(*dst, 3, 3), 0x00FF00u) << "unkeyed blit copies everything";

    const Rect tooBig{0, 0, 9, 8};
    EXPECT_EQ(dst->Blt(&tooBig, src.get(), &tooBig, 0), Result::InvalidRect);
    const Rect sized{0, 0, 4, 4};
    EXPECT_EQ(dst->Blt(&sized, src.get(), &from, 0), Result::InvalidRect) << "no stretching";
    EXPECT_EQ(dst->BltFast(5, 5, *src, from), Result::InvalidRect);
    ASSERT_EQ(dst->BltFast(2, 2, *src, from), Result::Ok);
    EXPECT_EQ(PixelOf(*dst, 2, 2), 0x112233u);

    const PixelLayout other = kLayout565;
    std::shared_ptr<Surface> s16;
    ASSERT_EQ(device->CreateOffScreen(8, 8, &other, false, s16), Result::Ok);
    EXPECT_EQ(dst->Blt(nullptr, s16.get(), nullptr, 0), Result::InvalidFormat);
}

TEST_F(VideoSurface, KeyRangeAndOverlappingCopiesWithinOneSurface)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    auto s = OffScreen(16, 4);
    for (int x = 0; x < 16; ++x)
        Fill(*s, {x, 0, x + 1, 4}, static_cast<std::uint32_t>(x));
    const Rect from{0, 0, 12, 4};
    ASSERT_EQ(s->BltFast(4, 0, *s, from), Result::Ok);
    for (int x = 4; x < 16; ++x)
        EXPECT_EQ(PixelOf(*s, x, 2), static_cast<std::uint32_t>(x - 4)) << x;

    auto d = OffScreen(16, 1);
    s->SetColorKey(2, 5);
    const Rect row{0, 0, 16, 1};
    Fill(*d, row, 0xEE);
    ASSERT_EQ(d->Blt(&row, s.get(), &row, kBltKeySrc), Result::Ok);
    for (int x = 0; x < 16; ++x) {
        const std::uint32_t v = x < 4 ? static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x - 4);
        EXPECT_EQ(PixelOf(*d, x, 0), v >= 2 && v <= 5 ? 0xEEu : v) << x;
    }
}

TEST_F(VideoSurface, ClipListTrimsBlitsAndFills)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    auto s = OffScreen(10, 10);
    auto clipper = device->CreateClipper();
    const Rect clip[] = {{2, 2, 5, 5}, {6, 6, 20, 20}};
    clipper->SetClipList(clip);
    s->SetClipper(clipper);
    const Rect all{-5, -5, 15, 15};
    ASSERT_EQ(s->Blt(&all, nullptr, nullptr, kBltColorFill, 7), Result::Ok) << "a clipper allows rectangles outside";
    EXPECT_EQ(PixelOf(*s, 2, 2), 7u);
    EXPECT_EQ(PixelOf(*s, 5, 5), 0u);
    EXPECT_EQ(PixelOf(*s, 9, 9), 7u);
    EXPECT_EQ(PixelOf(*s, 1, 1), 0u);

    auto src = OffScreen(20, 20);
    for (int y = 0; y < 20; ++y)
        Fill(*src, {0, y, 20, y + 1}, static_cast<std::uint32_t>(y));
    const Rect from{0, 0, 20, 20};
    ASSERT_EQ(s->Blt(&all, src.get(), &from, 0), Result::Ok);
    EXPECT_EQ(PixelOf(*s, 3, 3), 8u) << "source follows the clipped destination";
}

TEST_F(VideoSurface, PaletteOnlyOnEightBitSurfaces)
{
    std::uint32_t entries[256] = {};
    auto palette = device->CreatePalette(entries);
    auto s = OffScreen(4, 4);
    EXPECT_EQ(s->SetPalette(palette), Result::InvalidFormat);
    std::shared_ptr<Surface> s8;
    ASSERT_EQ(device->CreateOffScreen(4, 4, &kLayout8, false, s8), Result::Ok);
    EXPECT_EQ(s8->SetPalette(palette), Result::Ok);
    EXPECT_EQ(s8->GetPalette(), palette);
    EXPECT_EQ(DefaultPaletteColors()[19], 0xFFFFFFu);
}

TEST_F(VideoSurface, LossTakesTheScopeAndRestoreGivesNewMemory)
{
    auto primary = FullScreenPrimary(1);
    auto video = OffScreen(4, 4, true);
    auto system = OffScreen(4, 4, false);
    Fill(*video, {0, 0, 4, 4}, 0x123456);

    back.LoseSurfaces(LossScope::VideoMemory);
    EXPECT_EQ(primary->IsLost(), Result::SurfaceLost);
    EXPECT_EQ(video->IsLost(), Result::SurfaceLost);
    EXPECT_EQ(system->IsLost(), Result::Ok);
    LockedView view;
    EXPECT_EQ(video->Lock(view), Result::SurfaceLost);
    EXPECT_EQ(system->Blt(nullptr, video.get(), nullptr, 0), Result::SurfaceLost);
    EXPECT_EQ(primary->Flip(kFlipWait), Result::SurfaceLost);

    back.settings.restoreFails = true;
    EXPECT_EQ(video->Restore(), Result::WrongMode);
    back.settings.restoreFails = false;
    ASSERT_EQ(video->Restore(), Result::Ok);
    EXPECT_EQ(PixelOf(*video, 0, 0), 0xA5A5A5A5u) << "the old picture is gone";
    EXPECT_EQ(system->Restore(), Result::Ok) << "restoring a surface that is not lost does nothing";

    back.LoseSurfaces(LossScope::Primary);
    EXPECT_EQ(video->IsLost(), Result::Ok);
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(primary->GetAttachedBackBuffer(backBuffer), Result::Ok);
    EXPECT_EQ(backBuffer->IsLost(), Result::SurfaceLost) << "the chain is lost as one";
    ASSERT_EQ(backBuffer->Restore(), Result::Ok);
    EXPECT_EQ(primary->IsLost(), Result::Ok);
    const auto shown = window->Front().Copy();
    EXPECT_EQ(shown.Pixel(10, 10), 0xA5A5A5A5u) << "the screen shows the restored memory";
}

TEST_F(VideoSurface, ReleasedDeviceLeavesFullScreenAndItsSurfacesDead)
{
    auto primary = FullScreenPrimary(0);
    auto s = OffScreen(4, 4, true);
    EXPECT_TRUE(window->FullScreen());
    device.reset();
    EXPECT_FALSE(window->FullScreen());
    EXPECT_EQ(s->IsLost(), Result::SurfaceLost);
    EXPECT_EQ(s->Restore(), Result::Released);
    EXPECT_EQ(primary->Blt(nullptr, s.get(), nullptr, 0), Result::Released);
}

TEST_F(VideoFlipChain, FlipShowsTheBackBufferAndRotatesTheMemory)
{
    auto primary = FullScreenPrimary(2);
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(primary->GetAttachedBackBuffer(backBuffer), Result::Ok);
    SurfaceDesc desc;
    primary->GetDesc(desc);
    EXPECT_EQ(desc.backBufferCount, 2);
    EXPECT_EQ(primary->GetFlipStatus(), Result::Ok);
    EXPECT_EQ(backBuffer->GetFlipStatus(), Result::NoFlipChain);
    EXPECT_EQ(backBuffer->Flip(0), Result::NoFlipChain);

    for (std::uint32_t frame = 1; frame <= 4; ++frame) {
        Fill(*backBuffer, {0, 0, 640, 480}, frame);
        EXPECT_EQ(window->Front().Copy().Pixel(0, 0), frame - 1) << "not shown before the flip";
        ASSERT_EQ(primary->Flip(kFlipWait), Result::Ok);
        EXPECT_EQ(window->Front().Copy().Pixel(0, 0), frame);
        EXPECT_EQ(PixelOf(*primary, 5, 5), frame);
    }
    EXPECT_EQ(PixelOf(*backBuffer, 0, 0), 2u) << "three buffers: the back buffer now holds frame 2";

    LockedView view;
    ASSERT_EQ(backBuffer->Lock(view), Result::Ok);
    EXPECT_EQ(primary->Flip(0), Result::Busy);
    backBuffer->Unlock();
}

// Whatever is drawn into which buffer, the front buffer always equals the buffer on screen.
TEST_F(VideoFlipChain, FrontBufferFollowsTheShownBufferUnderRandomDrawing)
{
    auto primary = FullScreenPrimary(2);
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(primary->GetAttachedBackBuffer(backBuffer), Result::Ok);
    std::mt19937 random(7);
    for (int step = 0; step < 200; ++step) {
        const int x = static_cast<int>(random() % 600);
        const int y = static_cast<int>(random() % 440);
        const Rect r{x, y, x + 1 + static_cast<int>(random() % 40), y + 1 + static_cast<int>(random() % 40)};
        Surface& target = random() % 4 == 0 ? *primary : *backBuffer;
        Fill(target, r, random());
        if (random() % 3 == 0) {
            ASSERT_EQ(primary->Flip(0), Result::Ok);
        }
    }
    LockedView view;
    ASSERT_EQ(primary->Lock(view), Result::Ok);
    const auto shown = window->Front().Copy();
    for (int y = 0; y < 480; ++y)
        ASSERT_EQ(std::memcmp(shown.pixels.data() + y * 640 * 4, view.bits + y * view.pitch, 640 * 4), 0) << y;
    primary->Unlock();
}

TEST_F(VideoFlipChain, WindowPrimaryShowsTheClientAreaThroughAWindowClipper)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    std::shared_ptr<Surface> primary;
    ASSERT_EQ(device->CreatePrimary(0, primary), Result::Ok);
    auto clipper = device->CreateClipper();
    clipper->SetWindow(window.get());
    primary->SetClipper(clipper);
    auto picture = OffScreen(640, 480);
    Fill(*picture, {0, 0, 640, 480}, 0x0000FF);
    Fill(*picture, {0, 0, 1, 1}, 0xFF0000);
    const Rect screen{0, 0, 640, 480};
    const Rect moved = screen.Offset(64, 48);
    ASSERT_EQ(primary->Blt(&moved, picture.get(), &screen, kBltAsync), Result::Ok);
    const Rect outside{0, 0, 10, 10};
    ASSERT_EQ(primary->Blt(&outside, nullptr, nullptr, kBltColorFill, 0x00FF00), Result::Ok);
    EXPECT_EQ(PixelOf(*primary, 5, 5), 0u) << "outside the window nothing is written";
    const auto shown = window->Front().Copy();
    EXPECT_EQ(shown.Rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(shown.Rgb(639, 479), 0x0000FFu);
}

TEST_F(VideoFlipChain, HeadlessLogNamesTheBufferEachCopyReached)
{
    auto primary = FullScreenPrimary(1);
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(primary->GetAttachedBackBuffer(backBuffer), Result::Ok);
    auto src = OffScreen(640, 480);
    back.ClearLog();
    const Rect r{10, 20, 30, 40};
    backBuffer->BltFast(10, 20, *src, r);
    primary->Flip(0);
    backBuffer->BltFast(10, 20, *src, r);
    ASSERT_EQ(back.Log().size(), 3u);
    EXPECT_EQ(back.Log()[0].kind, LogEntry::BltFast);
    EXPECT_EQ(back.Log()[0].buffer, 1);
    EXPECT_EQ(back.Log()[0].dst, r);
    EXPECT_EQ(back.Log()[0].source, src->Id());
    EXPECT_EQ(back.Log()[1].kind, LogEntry::Flip);
    EXPECT_EQ(back.Log()[1].buffer, 1) << "buffer 1 is now shown";
    EXPECT_EQ(back.Log()[2].buffer, 0);
}

TEST_F(VideoFlipChain, HeadlessWindowWritesItsPictureAsPng)
{
    auto primary = FullScreenPrimary(0);
    Fill(*primary, {0, 0, 640, 480}, 0x336699);
    const TestSupport::TempFolder folder;
    const auto path = folder.Path() / "front.png";
    ASSERT_TRUE(window->WritePng(path));
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_FALSE(window->WritePng("/nonexistent-folder/x.png"));
}

} // namespace
