// The SDL2 video back end on SDL's dummy driver: presenting, scaling in full screen, and the drawing-thread hand-over.
#include "platform/video/VideoDevice.h"
#include "platform/video/sdl/SdlVideo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

using namespace video;

class SdlVideoFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Runs without a display; the end-to-end test covers a real X server.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        back = std::make_unique<SdlVideo>();
        if (!back->Start())
            GTEST_SKIP() << "SDL video cannot start";
        window = back->CreateWindow("test", {640, 480});
        ASSERT_NE(window, nullptr);
        device = Device::Create(*back);
        ASSERT_NE(device, nullptr);
    }

    void TearDown() override
    {
        device.reset();
        window.reset();
        back.reset();
    }

    static void Fill(Surface& s, const Rect& r, std::uint32_t value)
    {
        ASSERT_EQ(s.Blt(&r, nullptr, nullptr, kBltColorFill, value), Result::Ok);
    }

    std::unique_ptr<SdlVideo> back;
    std::unique_ptr<SdlWindow> window;
    std::unique_ptr<Device> device;
};

using SdlVideoWindow = SdlVideoFixture;

TEST_F(SdlVideoWindow, OffersTheSystemsModesAtEveryDepth)
{
    int count640 = 0;
    for (const DisplayModeDesc& mode : device->EnumDisplayModes())
        if (mode.width == 640 && mode.height == 480)
            ++count640;
    EXPECT_EQ(count640, 3) << "16, 24 and 32 bits";
    EXPECT_EQ(device->EnumDisplayModes().size(), 21u);
    EXPECT_TRUE(back->DesktopLayout().Valid());
}

TEST_F(SdlVideoWindow, WindowShowsWhatIsWrittenToThePrimary)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), false), Result::Ok);
    std::shared_ptr<Surface> primary;
    ASSERT_EQ(device->CreatePrimary(0, primary), Result::Ok);
    const PixelLayout desktop = back->DesktopLayout();
    const std::uint32_t red = desktop.red;
    const std::uint32_t blue = desktop.blue;
    Fill(*primary, {0, 0, 640, 480}, blue);
    Fill(*primary, {100, 50, 164, 114}, red);
    EXPECT_TRUE(window->Present());
    EXPECT_EQ(window->ShownPixel(0, 0), 0x0000FFu);
    EXPECT_EQ(window->ShownPixel(100, 50), 0xFF0000u);
    EXPECT_EQ(window->ShownPixel(163, 113), 0xFF0000u);
    EXPECT_EQ(window->ShownPixel(164, 114), 0x0000FFu);
    EXPECT_FALSE(window->Present()) << "nothing new to show";
}

TEST_F(SdlVideoWindow, FullScreenScalesThePictureAndKeepsItsProportions)
{
    ASSERT_EQ(device->SetCooperativeLevel(window.get(), true), Result::Ok);
    ASSERT_EQ(device->SetDisplayMode(1280, 1024, 16, 0), Result::Ok);
    std::shared_ptr<Surface> primary;
    ASSERT_EQ(device->CreatePrimary(2, primary), Result::Ok);
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(primary->GetAttachedBackBuffer(backBuffer), Result::Ok);
    Fill(*backBuffer, {0, 0, 1280, 1024}, 0x07E0); // green in 565
    Fill(*backBuffer, {1270, 1014, 1280, 1024}, 0xF800);
    ASSERT_EQ(primary->Flip(kFlipWait), Result::Ok);
    window->Present();
    const Size shown = window->ShownSize();
    ASSERT_GT(shown.width, 0);
    // The 5:4 picture fits the height of the desktop, with black bars left and right when it is wider.
    const int pictureWidth = std::min(shown.width, shown.height * 1280 / 1024);
    const int bar = (shown.width - pictureWidth) / 2;
    if (bar > 0) {
        EXPECT_EQ(window->ShownPixel(bar - 1, shown.height / 2), 0u);
    }
    EXPECT_EQ(window->ShownPixel(bar, 0), 0x00FF00u);
    EXPECT_EQ(window->ShownPixel(bar + pictureWidth - 1, shown.height - 1), 0xFF0000u);

    device.reset();
    window->Present();
    EXPECT_FALSE(window->FullScreen()) << "releasing the device gives the window back";
    EXPECT_EQ(window->ShownSize().width, 640);
}

// The drawing thread only fills the front buffer and posts a wake-up; the UI thread presents.
TEST_F(SdlVideoWindow, DrawingThreadFlipsAndTheUiThreadPresents)
{
    std::atomic<bool> done{false};
    std::thread drawing([&] {
        device->SetCooperativeLevel(window.get(), true);
        device->SetDisplayMode(640, 480, 32, 0);
        std::shared_ptr<Surface> primary;
        std::shared_ptr<Surface> backBuffer;
        if (device->CreatePrimary(1, primary) == Result::Ok && primary->GetAttachedBackBuffer(backBuffer) == Result::Ok)
            for (std::uint32_t frame = 1; frame <= 20; ++frame) {
                const Rect all{0, 0, 640, 480};
                backBuffer->Blt(&all, nullptr, nullptr, kBltColorFill, frame * 10);
                primary->Flip(kFlipWait);
            }
        done = true;
    });
    const std::uint32_t last = 200;
    for (int turn = 0; turn < 500 && !(done && window->ShownPixel(window->ShownSize().width / 2, 10) == last); ++turn)
        window->ProcessEvents(10);
    drawing.join();
    window->ProcessEvents(0);
    EXPECT_TRUE(window->FullScreen());
    EXPECT_EQ(window->ShownPixel(window->ShownSize().width / 2, 10), last);
    EXPECT_GE(window->PresentedFrames(), 1u);
}

} // namespace
