// The game executable on a real X server: started with -window -fps on the sample game made here, it
// shows its pictures, writes Snap000.png on Print Screen, survives two Alt+Enter switches, and
// ends with status 0 when its window is closed, leaving WindowMode in "Tvqe.ini" and the system
// save. Keys and the close request are sent to the window as X events. Run under Xvfb.
#include "tests/e2e/XwdCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kTitle = "Varunel Quindle";

// Polls `done` every 50 ms until it holds or `limit` passes.
bool Eventually(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(20))
{
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class GameEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display";
        folder = fs::temp_directory_path() / ("game-e2e-" + std::to_string(getpid()));
        fs::create_directories(folder);
        // The program folder is the executable's: the game runs from a copy beside its data.
        fs::copy_file(XE_GAME_EXECUTABLE, folder / "tvqe");
        const std::string generate = std::string("'") + XE_SAMPLEGEN + "' '" + folder.string() + "' '" +
                                     XE_SAMPLE_SOURCES + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(generate.c_str()), 0) << "the sample game could not be made";
        std::ofstream(folder / "Tvqe.ini") << "[Game]\r\nFPSMode=30fps\r\n[Game Debug]\r\nCapEnable=ON\r\n";
    }

    void TearDown() override
    {
        if (pid > 0 && !exited) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (display != nullptr)
            XCloseDisplay(display);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void Start()
    {
        const std::string program = (folder / "tvqe").string();
        std::vector<std::string> words{program, "-window", "-fps"};
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    }

    bool Alive()
    {
        if (exited)
            return false;
        int s = 0;
        if (waitpid(pid, &s, WNOHANG) == pid) {
            exited = true;
            status = s;
        }
        return !exited;
    }

    // The viewable top-level windows, only those named `kTitle` when `titled` (the message boxes
    // carry their title only as a UTF-8 property).
    std::vector<Window> ViewableWindows(bool titled)
    {
        std::vector<Window> found;
        Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, root, &root, &parent, &children, &count) == 0)
            return found;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
                continue;
            char* name = nullptr;
            const bool named = XFetchName(display, children[i], &name) != 0 && name != nullptr;
            if (!titled || (named && std::strcmp(name, kTitle) == 0))
                found.push_back(children[i]);
            if (named)
                XFree(name);
        }
        if (children != nullptr)
            XFree(children);
        return found;
    }

    void SendKey(Window target, KeySym sym, unsigned state, bool press)
    {
        XKeyEvent e{};
        e.type = press ? KeyPress : KeyRelease;
        e.display = display;
        e.window = target;
        e.root = DefaultRootWindow(display);
        e.time = CurrentTime;
        e.same_screen = True;
        e.keycode = XKeysymToKeycode(display, sym);
        e.state = state;
        XEvent event{};
        event.xkey = e;
        XSendEvent(display, target, True, press ? KeyPressMask : KeyReleaseMask, &event);
        XFlush(display);
    }

    void Tap(Window target, KeySym sym, bool alt = false)
    {
        if (alt)
            SendKey(target, XK_Alt_L, 0, true);
        SendKey(target, sym, alt ? Mod1Mask : 0, true);
        SendKey(target, sym, alt ? Mod1Mask : 0, false);
        if (alt)
            SendKey(target, XK_Alt_L, Mod1Mask, false);
    }

    void RequestClose(Window target)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, target, False, NoEventMask, &e);
        XFlush(display);
    }

    Display* display = nullptr;
    fs::path folder;
    pid_t pid = -1;
    bool exited = false;
    int status = 0;
};

TEST_F(GameEndToEnd, StartsSnapsSwitchesAndCloses)
{
    Start();
    Window game = 0;
    ASSERT_TRUE(Eventually([&] {
        const auto windows = ViewableWindows(true);
        game = windows.empty() ? 0 : windows.front();
        return game != 0 || !Alive();
    }));
    ASSERT_NE(game, 0u) << "the game ended before it showed a window";
    XSetInputFocus(display, game, RevertToParent, CurrentTime);
    XFlush(display);

    // The game's pictures: the screen is no longer all black.
    const auto clientOrigin = [&] {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, game, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        return std::pair{x, y};
    };
    std::optional<e2e::ScreenCapture> capture;
    const bool framed = Eventually([&] {
        capture = e2e::CaptureScreen();
        const auto [x, y] = clientOrigin();
        if (!capture)
            return false;
        for (int py = 40; py < 480; py += 80)
            for (int px = 40; px < 640; px += 80)
                if (capture->At(x + px, y + py) != 0)
                    return true;
        return false;
    });
    ASSERT_TRUE(framed) << "the screen is in " << (capture ? e2e::SaveCapture(*capture) : fs::path("(no capture)"));

    Tap(game, XK_Print);
    ASSERT_TRUE(Eventually([&] { return fs::exists(folder / "Snap000.png"); })) << "Print Screen wrote no snapshot";

    const auto width = [&] {
        XWindowAttributes a{};
        XGetWindowAttributes(display, game, &a);
        return a.width;
    };
    Tap(game, XK_Return, true);
    EXPECT_TRUE(Eventually([&] { return width() > 640; })) << "Alt+Enter did not go full screen";
    Tap(game, XK_Return, true);
    EXPECT_TRUE(Eventually([&] { return width() == 640; })) << "the second Alt+Enter did not come back";
    ASSERT_TRUE(Alive());

    // Closing in a window asks first: the question's box is answered with Enter.
    RequestClose(game);
    ASSERT_TRUE(Eventually([&] {
        for (Window w : ViewableWindows(false))
            if (w != game)
                Tap(w, XK_Return);
        return !Alive();
    })) << "the game did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_NE(ReadText(folder / "Tvqe.ini").find("WindowMode=ON"), std::string::npos) << ReadText(folder / "Tvqe.ini");
    EXPECT_TRUE(fs::exists(folder / "TVQESys.sav")) << "the game saves on its way out";
}

} // namespace
