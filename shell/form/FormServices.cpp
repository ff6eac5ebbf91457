#include "shell/form/FormServices.h"

#include "base/util/CPUID.h"
#include "platform/fs/FileSystem.h"

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
    return s;
}
