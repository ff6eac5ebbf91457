// Present cost per frame of the display: a whole 640x480 frame (Flip) and a frame with one changed
// 64x64 rectangle (FlipModifyRect), moving or in place, on the headless back end and, when SDL can
// open a real window (run under xvfb-run with SDL_VIDEODRIVER=x11), on it, next to memcpy of the
// frame's bytes.
//
// Only the present is timed (manual time): drawing the next picture into the back surface is not.
// With a real window the time includes the UI thread's work of showing the frame (Present).
// Names: Present/<back end>/<mode>/<frame> (the SDL back end named with its driver), and Memcpy/frame.
#include "graphics/display/TDDraw.h"
#include "platform/classes/WinControl.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "platform/video/sdl/SdlVideo.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace DirectX;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kRect = 64;

// A display in a window of one back end, set up as the game sets it: 32 bits, a system-memory
// back surface, triple buffering in full screen.
struct Bench {
    std::unique_ptr<video::VideoWindow> window;
    std::function<void()> show; // the UI thread's part of a present
    std::unique_ptr<TWinControl> form;
    TDDraw* display = nullptr;

    bool Open(bool fullScreen)
    {
        form = std::make_unique<TWinControl>(nullptr, window.get());
        display = new TDDraw(form.get());
        display->SetFullScreen(fullScreen);
        display->SetBitDepth(bd32);
        display->SetBackType(btSystem);
        display->SetTripleBuffer(true);
        display->SetEnabled(true);
        for (int i = 0; i < 10; ++i)
            show();
        return display->Enabled();
    }
};

video::HeadlessVideo& Headless()
{
    static video::HeadlessVideo back;
    back.settings.keepLog = false;
    return back;
}

// The SDL back end, started once; null when it cannot open a display.
video::SdlVideo* Sdl()
{
    static std::unique_ptr<video::SdlVideo> back = [] {
        auto b = std::make_unique<video::SdlVideo>();
        return b->Start() ? std::move(b) : nullptr;
    }();
    return back.get();
}

std::unique_ptr<Bench> MakeBench(bool sdl, bool fullScreen)
{
    auto bench = std::make_unique<Bench>();
    if (sdl) {
        auto window = Sdl()->CreateWindow("bench_display", {kWidth, kHeight});
        if (!window)
            return nullptr;
        video::SdlWindow* raw = window.get();
        bench->show = [raw] { raw->ProcessEvents(0); };
        bench->window = std::move(window);
    } else {
        bench->window = Headless().CreateWindow({kWidth, kHeight}, {0, 0});
        bench->show = [] {};
    }
    return bench->Open(fullScreen) ? std::move(bench) : nullptr;
}

// What changes from one frame to the next.
enum class Change {
    Whole,      // the whole picture
    MovingRect, // a 64x64 rectangle at a new place each frame (a moving cursor)
    FixedRect,  // a 64x64 rectangle at one place (an animation in place)
};

void Present(benchmark::State& state, bool sdl, bool fullScreen, Change change)
{
    auto bench = MakeBench(sdl, fullScreen);
    if (!bench) {
        state.SkipWithError("the display cannot be opened");
        return;
    }
    TDSurface* backSurface = bench->display->BackSurface();
    std::uint32_t colour = 0x102030;
    int frame = 0;
    for (auto _ : state) {
        // The next picture: everything new, or one rectangle moved on.
        colour ^= 0x00FFFF;
        TXeRectSet changed;
        const bool whole = change == Change::Whole;
        if (whole) {
            backSurface->BoxFill(0, 0, kWidth - 1, kHeight - 1, colour);
        } else {
            const bool moving = change == Change::MovingRect;
            const int x = moving ? (frame * 37) % (kWidth - kRect) : 288;
            const int y = moving ? (frame * 23) % (kHeight - kRect) : 208;
            backSurface->BoxFill(x, y, x + kRect - 1, y + kRect - 1, colour);
            changed.UnionRect(XeRect(x, y, x + kRect, y + kRect));
        }
        ++frame;
        const auto start = Clock::now();
        if (whole)
            bench->display->Flip();
        else
            bench->display->FlipModifyRect(changed);
        bench->show();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

void Memcpy(benchmark::State& state)
{
    std::vector<std::uint8_t> from(kWidth * kHeight * 4, 1);
    std::vector<std::uint8_t> to(from.size());
    for (auto _ : state) {
        const auto start = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        from[0] ^= 1;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(from.size()));
}

void Register()
{
    benchmark::RegisterBenchmark("Memcpy/frame", Memcpy)->UseManualTime();
    struct Variant {
        const char* name;
        bool sdl;
    };
    std::vector<Variant> backEnds{{"headless", false}};
    static const std::string sdlName = Sdl() != nullptr ? "sdl-" + Sdl()->DriverName() : "";
    if (Sdl() != nullptr)
        backEnds.push_back({sdlName.c_str(), true});
    struct Frame {
        const char* name;
        Change change;
    };
    const Frame frames[] = {{"full-frame", Change::Whole}, {"rect64-moving", Change::MovingRect},
                            {"rect64-fixed", Change::FixedRect}};
    for (const Variant& backEnd : backEnds)
        for (const bool fullScreen : {true, false})
            for (const Frame& frame : frames) {
                const std::string name = std::string("Present/") + backEnd.name + (fullScreen ? "/fullscreen/" : "/window/") +
                                         frame.name;
                const Change change = frame.change;
                const bool sdl = backEnd.sdl;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
                    Present(state, sdl, fullScreen, change);
                })->UseManualTime();
            }
}

const bool registered = (Register(), true);

} // namespace
