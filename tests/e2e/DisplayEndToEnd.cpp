// The display on a real X server: a window and full screen presented through SDL2, captured with xwd and
// compared pixel for pixel with the picture drawn. Run by run_display_e2e.sh under Xvfb.
#include "graphics/display/TDDraw.h"
#include "platform/classes/WinControl.h"
#include "platform/video/sdl/SdlVideo.h"

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

// The X screen as xwd wrote it, each pixel as 0x00RRGGBB.
struct ScreenCapture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

std::uint32_t Channel8(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    const std::uint32_t max = mask >> shift;
    return max == 255 ? value : value * 255 / max;
}

// Reads an XWD file of a 24-bit TrueColor or DirectColor screen (pixels of 3 or 4 bytes).
std::optional<ScreenCapture> ReadXwd(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 100)
        return std::nullopt;
    const auto field = [&](int i) { return BigEndian32(data.data() + i * 4); };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t width = field(4);
    const std::uint32_t height = field(5);
    const std::uint32_t byteOrder = field(7); // 0 least significant byte first
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t visualClass = field(13);
    const std::uint32_t redMask = field(14);
    const std::uint32_t greenMask = field(15);
    const std::uint32_t blueMask = field(16);
    const std::uint32_t colors = field(19);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return std::nullopt;
    const std::uint32_t stride = bitsPerPixel / 8;
    const std::uint64_t start = std::uint64_t{headerSize} + std::uint64_t{colors} * 12;
    if (bytesPerLine < width * stride || start + std::uint64_t{bytesPerLine} * height > data.size())
        return std::nullopt;
    // A DirectColor screen (what X gives SDL's windows on Xvfb) maps each channel through the colour map.
    const bool direct = visualClass == 5;
    if (direct && colors < 256)
        return std::nullopt;
    const auto mapped = [&](std::uint32_t index, int channel) {
        return std::uint32_t{data[headerSize + index * 12 + 4 + channel * 2]};
    };
    ScreenCapture capture{static_cast<int>(width), static_cast<int>(height), {}};
    capture.rgb.resize(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = data.data() + start + std::uint64_t{y} * bytesPerLine + std::uint64_t{x} * stride;
            std::uint32_t pixel = 0;
            for (std::uint32_t i = 0; i < stride; ++i)
                pixel |= std::uint32_t{p[byteOrder == 0 ? i : stride - 1 - i]} << (8 * i);
            std::uint32_t r = Channel8(pixel, redMask);
            std::uint32_t g = Channel8(pixel, greenMask);
            std::uint32_t b = Channel8(pixel, blueMask);
            if (direct) {
                r = mapped(r, 0);
                g = mapped(g, 1);
                b = mapped(b, 2);
            }
            capture.rgb[static_cast<std::size_t>(y) * width + x] = r << 16 | g << 8 | b;
        }
    return capture;
}

// Writes a capture as a PPM picture, to look at after a failure.
std::filesystem::path SaveCapture(const ScreenCapture& capture)
{
    const auto path = std::filesystem::temp_directory_path() / ("display-e2e-" + std::to_string(getpid()) + ".ppm");
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << capture.width << " " << capture.height << "\n255\n";
    for (std::uint32_t c : capture.rgb) {
        const char rgb[3] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
        file.write(rgb, 3);
    }
    return path;
}

// Captures the whole X screen with xwd.
std::optional<ScreenCapture> CaptureScreen()
{
    const auto path = std::filesystem::temp_directory_path() / ("display-e2e-" + std::to_string(getpid()) + ".xwd");
    const std::string command = "xwd -root -silent -out '" + path.string() + "'";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    auto capture = ReadXwd(path);
    std::filesystem::remove(path);
    return capture;
}

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
