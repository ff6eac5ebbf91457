// A display on the headless video back end, owned by a window control, for the display tests.
#pragma once

#include "graphics/display/TDDraw.h"
#include "platform/classes/WinControl.h"
#include "platform/video/headless/HeadlessVideo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

// A 24-bit BMP file (bottom row first, rows padded to 4 bytes) of `width` x `height` pixels given
// as 0x00RRGGBB, top row first, in a memory stream at its start.
inline std::unique_ptr<TMemoryStream> BmpStream(int width, int height, const std::vector<std::uint32_t>& rgb)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * height, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;  // planes
    file[28] = 24; // bits per pixel
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb[static_cast<std::size_t>(y) * width + x];
            const std::size_t at = 54 + static_cast<std::size_t>(height - 1 - y) * rowBytes + x * 3;
            file[at] = static_cast<std::uint8_t>(c);
            file[at + 1] = static_cast<std::uint8_t>(c >> 8);
            file[at + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(file.data(), static_cast<int>(file.size()));
    stream->SetPosition(0);
    return stream;
}

class DisplayFixture : public ::testing::Test {
protected:
    // Sets the display up and enables it; the default is the game's: a system-memory back surface.
    void Enable(bool fullScreen, DirectX::TBackType backType = DirectX::btSystem, bool triple = true)
    {
        display->SetFullScreen(fullScreen);
        display->SetBackType(backType);
        display->SetTripleBuffer(triple);
        display->SetEnabled(true);
        ASSERT_TRUE(display->Enabled());
    }

    // Paints a rectangle of the back surface and adds it to `set`.
    void Paint(TXeRectSet& set, const TXeRect& r, std::uint32_t value)
    {
        display->BackSurface()->BoxFill(r.left, r.top, r.right - 1, r.bottom - 1, value);
        set.UnionRect(r);
    }

    // Whether the window shows exactly the back surface's screen rectangle.
    ::testing::AssertionResult ShowsBackSurface()
    {
        DirectX::TDSurface* backSurface = display->BackSurface();
        if (!backSurface->Lock())
            return ::testing::AssertionFailure() << "back surface cannot be locked";
        const auto shown = window->Front().Copy();
        const int bytes = backSurface->BitDepth();
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        for (int y = 0; y < display->ScreenHeight() && result; ++y)
            for (int x = 0; x < display->ScreenWidth(); ++x)
                if (std::memcmp(&shown.pixels[(static_cast<std::size_t>(y) * shown.width + x) * bytes],
                                backSurface->Bits() + y * backSurface->Pitch() + x * bytes, bytes) != 0) {
                    result = ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << ")";
                    break;
                }
        backSurface->Unlock();
        return result;
    }

    video::HeadlessVideo back;
    std::unique_ptr<video::HeadlessWindow> window = back.CreateWindow({640, 480}, {64, 48});
    TWinControl form{nullptr, window.get()};
    DirectX::TDDraw* display = new DirectX::TDDraw(&form); // owned by the form
};
