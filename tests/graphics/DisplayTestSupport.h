// A display on the headless video back end, owned by a window control, for the display tests.
#pragma once

#include "graphics/TDDraw.h"
#include "platform/classes/WinControl.h"
#include "platform/video/headless/HeadlessVideo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

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
