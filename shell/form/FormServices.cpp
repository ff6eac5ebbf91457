#include "shell/form/FormServices.h"

#include "base/util/CPUID.h"
#include "platform/fs/FileSystem.h"
#include "platform/host/Host.h"

#include <chrono>
#include <thread>

FormServices FormServices::Machine()
{
    FormServices s;
    s.programFolder = FileSystem::ProgramFolder();
    s.tickCount = [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
    s.sleep = [](unsigned ms) {
        if (ms == 0)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    s.mmxSupported = [] { return CPUID().IsMmxSupport(); };
    s.cursorPos = [] { return TPoint{}; };
    s.setCursorPos = [](int, int) {};
    s.applicationActive = [] { return true; };
    s.postQuit = [] {};
    s.postClose = [] {};
    s.post = [](std::function<void()> work) { work(); };
    return s;
}

FormServices FormServices::ForHost(host::Host& host, std::function<void()> close)
{
    FormServices s = Machine();
    s.cursorPos = [&host] {
        const video::Point p = host.PointerPosition();
        return TPoint{p.x, p.y};
    };
    s.setCursorPos = [&host](int x, int y) { host.WarpPointer(x, y); };
    s.applicationActive = [&host] { return host.Active(); };
    s.postQuit = [&host] { host.Quit(0); };
    s.postClose = [&host, close = std::move(close)] { host.Post(close); };
    s.post = [&host](std::function<void()> work) { host.Post(std::move(work)); };
    return s;
}
