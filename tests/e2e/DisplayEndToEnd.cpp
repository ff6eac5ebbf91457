// The display on a real X server: a window and full screen presented through SDL2, captured with xwd and
// compared pixel for pixel with the picture drawn. Run by run_display_e2e.sh under Xvfb.
#include "graphics/display/TDDraw.h"
#include "platform/classes/WinControl.h"
#include "platform/video/sdl/SdlVideo.h"
#include "tests/e2e/XwdCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace DirectX;
using e2e::CaptureScreen;
using e2e::SaveCapture;

// The picture: a colour ramp across, another down, and a fine checker, so any misplaced,
// stale or scaled-wrong pixel shows.
std::uint32_t Pattern(int x, int y)
{
    const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / 639);
    const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / 479);
    const std::uint32_t b = ((x / 4 + y / 4) & 1) ? 0xC0 : 0x30;
    return r << 16 | g << 8 | b;
}

struct Patch {
    TXeRect rect;
    std::uint32_t rgb;
};

class DisplayEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(back.Start()) << "SDL cannot open the X display";
        window = back.CreateWindow("Display end-to-end", {640, 480});
        ASSERT_NE(window, nullptr);
        Settle();
        form = std::make_unique<TWinControl>(nullptr, window.get());
        display = new TDDraw(form.get());
    }

    void TearDown() override
    {
        form.reset();
        window.reset();
    }

    // Lets the window system catch up and presents what is pending.
    void Settle()
    {
        for (int i = 0; i < 25; ++i)
            window->ProcessEvents(10);
    }

    void Enable(bool fullScreen, TBitDepth depth)
    {
        display->SetFullScreen(fullScreen);
        display->SetBitDepth(depth);
        display->SetBackType(btSystem);
        display->SetTripleBuffer(true);
        display->SetEnabled(true);
        ASSERT_TRUE(display->Enabled());
        Settle();
    }

    // Draws the pattern, then the patches, into the back surface; returns the colour each
    // screen pixel must show (the back surface's pixel values widened to 8 bits a channel).
    void DrawPicture(const std::vector<Patch>& patches)
    {
        TDSurface* backSurface = display->BackSurface();
        ASSERT_TRUE(backSurface->Lock());
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                std::uint32_t rgb = Pattern(x, y);
                for (const Patch& p : patches)
                    if (p.rect.InRect(x, y))
                        rgb = p.rgb;
                const std::uint32_t value = backSurface->TXeRGBtoPixel(XeRGB(rgb));
                std::uint8_t* at = backSurface->Bits() + y * backSurface->Pitch() + x * backSurface->BitDepth();
                for (int i = 0; i < backSurface->BitDepth(); ++i)
                    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
                expected[static_cast<std::size_t>(y) * 640 + x] = backSurface->PixeltoTXeRGB(value).ToDWORD();
            }
        backSurface->Unlock();
    }

    // Compares the screen with the expected picture placed by `where` (screen pixel -> picture
    // pixel, or nothing for the black border of full screen); reports the first difference.
    void ExpectScreen(const std::function<std::optional<std::pair<int, int>>(int, int)>& where, int left, int top,
                      int right, int bottom)
    {
        const auto capture = CaptureScreen();
        ASSERT_TRUE(capture.has_value()) << "xwd failed";
        ASSERT_LE(right, capture->width);
        ASSERT_LE(bottom, capture->height);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const auto source = where(x, y);
                const std::uint32_t want =
                    source ? expected[static_cast<std::size_t>(source->second) * 640 + source->first] : 0;
                if (capture->At(x, y) != want)
                    FAIL() << "screen pixel (" << x << ", " << y << ") shows " << std::hex << capture->At(x, y)
                           << " instead of " << want << "; the screen is in " << SaveCapture(*capture);
            }
    }

    video::SdlVideo back;
    std::unique_ptr<video::SdlWindow> window;
    std::unique_ptr<TWinControl> form;
    TDDraw* display = nullptr; // owned by the form
    std::vector<std::uint32_t> expected = std::vector<std::uint32_t>(640 * 480);
};

TEST_F(DisplayEndToEnd, WindowShowsTheBackSurfaceAndItsChangedRectangles)
{
    Enable(false, bd32);
    std::vector<Patch> patches;
    DrawPicture(patches);
    display->Flip();
    Settle();
    const video::Point origin = window->ScreenPosition();
    const auto inWindow = [&](int x, int y) -> std::optional<std::pair<int, int>> {
        return std::make_pair(x - origin.x, y - origin.y);
    };
    ExpectScreen(inWindow, origin.x, origin.y, origin.x + 640, origin.y + 480);

    const Patch changes[] = {{XeRect(0, 0, 64, 64), 0xFF0000}, {XeRect(300, 200, 364, 264), 0x00FF00},
                             {XeRect(600, 440, 640, 480), 0x0000FF}};
    for (const Patch& change : changes) {
        patches.push_back(change);
        DrawPicture(patches);
        TXeRectSet changed;
        changed.UnionRect(change.rect);
        display->FlipModifyRect(changed);
        Settle();
        ExpectScreen(inWindow, origin.x, origin.y, origin.x + 640, origin.y + 480);
    }
}

TEST_F(DisplayEndToEnd, FullScreenScalesTheFlipChainToTheScreen)
{
    Enable(true, bd16);
    ASSERT_EQ(display->BufferCount(), 3);
    const video::Size screen = window->ShownSize();
    ASSERT_GT(screen.width, 640) << "full screen covers the X screen";
    // The picture as large as fits with its proportions, centred.
    int w = screen.width;
    int h = screen.width * 480 / 640;
    if (h > screen.height) {
        h = screen.height;
        w = screen.height * 640 / 480;
    }
    const int left = (screen.width - w) / 2;
    const int top = (screen.height - h) / 2;
    const auto scaled = [&](int x, int y) -> std::optional<std::pair<int, int>> {
        if (x < left || y < top || x >= left + w || y >= top + h)
            return std::nullopt;
        return std::make_pair((x - left) * 640 / w, (y - top) * 480 / h);
    };

    std::vector<Patch> patches;
    DrawPicture(patches);
    display->Flip();
    Settle();
    ExpectScreen(scaled, 0, 0, screen.width, screen.height);

    // One new rectangle a frame, so each buffer of the chain shows once what it must have caught up on.
    const Patch changes[] = {{XeRect(10, 10, 74, 74), 0xFF0000}, {XeRect(320, 240, 384, 304), 0x00FF00},
                             {XeRect(500, 100, 564, 164), 0x0000FF}, {XeRect(100, 400, 164, 464), 0xFFFF00}};
    for (const Patch& change : changes) {
        patches.push_back(change);
        DrawPicture(patches);
        TXeRectSet changed;
        changed.UnionRect(change.rect);
        display->FlipModifyRect(changed);
        Settle();
        ExpectScreen(scaled, 0, 0, screen.width, screen.height);
    }
    display->SetEnabled(false);
    Settle();
    EXPECT_FALSE(window->FullScreen());
    EXPECT_EQ(window->ShownSize().width, 640);
}

} // namespace
