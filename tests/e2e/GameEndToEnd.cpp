// The game executable on a real X server, run from a copy of the built game folder (build/game/):
// started with -window -fps it shows its pictures, writes Snap000.png on Print Screen, survives two
// Alt+Enter switches, and ends with status 0 when its window is closed, leaving WindowMode in
// "Tvqe.ini" and the system save. A second run plays from the title through New Game, the first
// scene's pages and the automatic save to the exit question, driven by xdotool as a player would.
// Keys and the close request of the first run are sent to the window as X events. Run under Xvfb.
#include "tests/e2e/XwdCapture.h"

#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/saves/SystemSave.h"
#include "shell/config/TUserConfig.h"
#include "shell/startup/StartupSettings.h"
#include "tools/samplegen/SampleGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
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

// Whether each channel of `rgb` lies within `tolerance` of `expected`'s (the pictures are stored
// with lossy compression and blended on the way to the screen).
bool Near(std::uint32_t rgb, std::uint32_t expected, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(rgb >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

bool Light(std::uint32_t rgb, int floor)
{
    return (rgb >> 16 & 0xFF) >= static_cast<unsigned>(floor) && (rgb >> 8 & 0xFF) >= static_cast<unsigned>(floor) &&
           (rgb & 0xFF) >= static_cast<unsigned>(floor);
}

class GameEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display";
        folder = fs::temp_directory_path() / ("game-e2e-" + std::to_string(getpid()));
        fs::remove_all(folder);
        // The program folder is the executable's: the game runs from a copy of the built one, so
        // its saves and settings stay out of the build.
        ASSERT_TRUE(samplegen::CopyGameData(XE_GAME_FOLDER, folder)) << "no game data in " << XE_GAME_FOLDER;
        fs::copy_file(fs::path(XE_GAME_FOLDER) / "tvqe", folder / "tvqe");
        ASSERT_TRUE(fs::exists(folder / "tvqe") && fs::exists(folder / "Script.pak")) << "no game in " << XE_GAME_FOLDER;
        std::ofstream(folder / "Tvqe.ini") << "[Game]\r\nFPSMode=30fps\r\nUserTextSpeed=150\r\n"
                                              "[Game Debug]\r\nCapEnable=ON\r\n";
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

    // The viewable top-level windows, only those named `name` when one is given (the message
    // boxes carry their title only as a UTF-8 property).
    std::vector<Window> ViewableWindows(const char* name)
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
            char* title = nullptr;
            const bool named = XFetchName(display, children[i], &title) != 0 && title != nullptr;
            if (name == nullptr || (named && std::strcmp(title, name) == 0))
                found.push_back(children[i]);
            if (named)
                XFree(title);
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

    // The game's window once it is viewable, 0 when the game ended first.
    Window WaitForWindow()
    {
        Window game = 0;
        Eventually([&] {
            const auto windows = ViewableWindows(kTitle);
            game = windows.empty() ? 0 : windows.front();
            return game != 0 || !Alive();
        });
        return game;
    }

    std::pair<int, int> ClientOrigin(Window game)
    {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, game, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        return {x, y};
    }

    int Width(Window game)
    {
        XWindowAttributes a{};
        XGetWindowAttributes(display, game, &a);
        return a.width;
    }

    // Captures the screen until `shows` holds for the game's 640 x 480 client area (its pixels
    // read by client coordinates) in two captures running, or `limit` passes; on failure the last
    // capture is saved and `evidence` says where. The second capture comes frames after the
    // first: the game takes input only once a transition's last frame has given way to the
    // screen's own state, and drops what comes before.
    bool ScreenShows(Window game, const std::function<bool(const std::function<std::uint32_t(int, int)>&)>& shows,
                     std::chrono::seconds limit = std::chrono::seconds(60))
    {
        std::optional<e2e::ScreenCapture> capture;
        int running = 0;
        const bool shown = Eventually(
            [&] {
                capture = e2e::CaptureScreen();
                if (!capture || !Alive())
                    return !Alive();
                const auto [ox, oy] = ClientOrigin(game);
                running = shows([&, ox = ox, oy = oy](int x, int y) { return capture->At(ox + x, oy + y); }) ? running + 1 : 0;
                return running >= 2;
            },
            limit);
        if (shown && Alive())
            return true;
        evidence = !Alive() ? "(the game ended)" : capture ? e2e::SaveCapture(*capture).string() : "(no capture)";
        return false;
    }

    // Runs xdotool with `arguments`; the pointer moves with XTEST, as a real mouse's would. SDL
    // places a button press at the last pointer motion it saw, not at the press's own coordinates,
    // so a click sent to the window as an X event lands wherever the pointer last was.
    bool Xdo(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

    // Moves the pointer onto the client point, waiting until it is there, and clicks the left button.
    bool ClickAt(Window game, int x, int y)
    {
        const auto [ox, oy] = ClientOrigin(game);
        return Xdo("mousemove --sync " + std::to_string(ox + x) + " " + std::to_string(oy + y) + " click 1");
    }

    // Types a key combination (xdotool's names) into the game's window. Without a window manager
    // the keyboard focus follows the pointer (SDL reports no focus from that), so the test gives
    // the window the focus: the keys reach it wherever the pointer is.
    bool Press(Window game, const std::string& keys)
    {
        XSetInputFocus(display, game, RevertToParent, CurrentTime);
        XSync(display, False);
        return Xdo("key " + keys);
    }

    Display* display = nullptr;
    std::string evidence;
    fs::path folder;
    pid_t pid = -1;
    bool exited = false;
    int status = 0;
};

TEST_F(GameEndToEnd, StartsSnapsSwitchesAndCloses)
{
    Start();
    const Window game = WaitForWindow();
    ASSERT_NE(game, 0u) << "the game ended before it showed a window";
    XSetInputFocus(display, game, RevertToParent, CurrentTime);
    XFlush(display);

    // The game's pictures: the screen is no longer all black.
    ASSERT_TRUE(ScreenShows(game, [](const auto& at) {
        for (int py = 40; py < 480; py += 80)
            for (int px = 40; px < 640; px += 80)
                if (at(px, py) != 0)
                    return true;
        return false;
    })) << "the screen is in " << evidence;
    // The window found is the game's, and the start-up picture has gone once the game shows.
    EXPECT_EQ(Width(game), 640);
    EXPECT_TRUE(ViewableWindows("Splash").empty()) << "the start-up window is still on the screen";

    Tap(game, XK_Print);
    ASSERT_TRUE(Eventually([&] { return fs::exists(folder / "Snap000.png"); })) << "Print Screen wrote no snapshot";

    Tap(game, XK_Return, true);
    EXPECT_TRUE(Eventually([&] { return Width(game) > 640; })) << "Alt+Enter did not go full screen";
    Tap(game, XK_Return, true);
    EXPECT_TRUE(Eventually([&] { return Width(game) == 640; })) << "the second Alt+Enter did not come back";
    ASSERT_TRUE(Alive());

    // Closing in a window asks first: the question's box is answered with Enter.
    RequestClose(game);
    ASSERT_TRUE(Eventually([&] {
        for (Window w : ViewableWindows(nullptr))
            if (w != game)
                Tap(w, XK_Return);
        return !Alive();
    })) << "the game did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_NE(ReadText(folder / "Tvqe.ini").find("WindowMode=ON"), std::string::npos) << ReadText(folder / "Tvqe.ini");
    EXPECT_TRUE(fs::exists(folder / "TVQESys.sav")) << "the game saves on its way out";
}

// Where known colours stand: the sample generator's drawing (tools/samplegen) placed by the
// screens' layouts, all in the 640 x 480 client area.
constexpr std::uint32_t kHills = 0x101428;     // the title's hills, across its foot
constexpr std::uint32_t kPaper = 0xF6EEDC;     // the title's lettering
constexpr std::uint32_t kButtonTop = 0x3A4A7C; // a button's plate at rest, near its top
constexpr std::uint32_t kGold = 0xF0B848;      // the message frame's corner studs
constexpr int kStartX = 145, kStartY = 41;     // the title's New Game button, its middle
constexpr int kTextLeft = 81, kTextTop = 334, kTextRight = 549, kTextBottom = 448; // the message text
constexpr int kExitX = 360, kExitY = 368;      // the side menu's last button (end the game), settled
constexpr int kDialogTop = 186;                // the exit question's frame, centred on the screen
constexpr int kYesX = 317, kYesY = 255;        // its yes button

using At = std::function<std::uint32_t(int, int)>;

// The title menu in full: the hills, the first button's plate and the lettering of the game's name.
bool TitleShown(const At& at)
{
    for (int x : {20, 320, 600})
        if (!Near(at(x, 470), kHills, 16))
            return false;
    if (!Near(at(75, 33), kButtonTop, 24))
        return false;
    int lettering = 0;
    for (int y = 300; y < 360; ++y)
        for (int x = 330; x < 570; ++x)
            lettering += Near(at(x, y), kPaper, 24) ? 1 : 0;
    return lettering > 400;
}

bool MessageWindowShown(const At& at)
{
    for (const auto& [x, y] : {std::pair{35, 313}, {615, 313}, {35, 469}, {615, 469}})
        if (!Near(at(x, y), kGold, 32))
            return false;
    return true;
}

// The message window's wait sign, a gold star beside the text: the page waits for a click.
bool Waiting(const At& at)
{
    if (!MessageWindowShown(at))
        return false;
    for (int y = 405; y < 425; ++y)
        for (int x = 552; x < 572; ++x)
            if (const std::uint32_t c = at(x, y); (c >> 16) > 0xD0 && (c >> 8 & 0xFF) > 0x90 && (c & 0xFF) < 0x90)
                return true;
    return false;
}

// The text's light pixels on the window's dark plate.
std::vector<bool> Ink(const At& at)
{
    std::vector<bool> ink;
    for (int y = kTextTop; y < kTextBottom; ++y)
        for (int x = kTextLeft; x < kTextRight; ++x)
            ink.push_back(Light(at(x, y), 0xC8));
    return ink;
}

std::size_t Count(const std::vector<bool>& ink) { return static_cast<std::size_t>(std::count(ink.begin(), ink.end(), true)); }

std::size_t Differences(const std::vector<bool>& a, const std::vector<bool>& b)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i] != b[i] ? 1 : 0;
    return n;
}

// A light rim along `y` (antialiased over a few rows) from `left` to `right`, over a dark plate.
bool RimAlong(const At& at, int y, int left, int right, int floor)
{
    for (int x = left; x < right; ++x) {
        bool rim = false;
        for (int dy = -2; dy <= 2 && !rim; ++dy)
            rim = Light(at(x, y + dy), floor);
        if (!rim)
            return false;
    }
    return true;
}

TEST_F(GameEndToEnd, PlaysFromTheTitleToTheExitQuestion)
{
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed";
    Start();
    const Window game = WaitForWindow();
    ASSERT_NE(game, 0u) << "the game ended before it showed a window";

    // The title call gives way to the title menu.
    ASSERT_TRUE(ScreenShows(game, TitleShown)) << "no title menu; the screen is in " << evidence;

    // New Game: the first scene's first page, complete and waiting.
    ASSERT_TRUE(ClickAt(game, kStartX, kStartY));
    std::vector<bool> first;
    ASSERT_TRUE(ScreenShows(game, [&](const At& at) {
        first = Ink(at);
        return Waiting(at) && Count(first) > 100;
    })) << "no text waiting in the message window; the screen is in " << evidence;

    // A click below the text (the pointer's own picture stays off it) turns the page.
    ASSERT_TRUE(ClickAt(game, 300, 462));
    ASSERT_TRUE(ScreenShows(game, [&](const At& at) {
        const std::vector<bool> next = Ink(at);
        return Waiting(at) && Count(next) > 100 && Differences(first, next) > 100;
    })) << "the click did not turn the page; the screen is in " << evidence;

    // Enter plays on, through the choice (its first way), until the script's automatic save
    // writes slot 0. Enter goes only to a waiting page, or every 1.5 s for the choice and the
    // transitions, so that no queued key runs past the save into the song.
    const fs::path slot0 = folder / "TVQE00.sav";
    auto lastPress = Clock::now() - std::chrono::seconds(10);
    const bool saved = Eventually(
        [&] {
            if (fs::exists(slot0) || !Alive())
                return true;
            const auto capture = e2e::CaptureScreen();
            const auto [ox, oy] = ClientOrigin(game);
            const bool waiting = capture && Waiting([&, ox = ox, oy = oy](int x, int y) { return capture->At(ox + x, oy + y); });
            if (waiting || Clock::now() - lastPress > std::chrono::milliseconds(1500)) {
                Press(game, "Return");
                lastPress = Clock::now();
            }
            return false;
        },
        std::chrono::seconds(180));
    ASSERT_TRUE(saved && Alive()) << "no automatic save in slot 0";
    ASSERT_TRUE(ScreenShows(game, Waiting)) << "the next scene does not wait; the screen is in " << evidence;

    // Alt+Enter: full screen over the whole X screen, then the window again.
    ASSERT_TRUE(Press(game, "alt+Return"));
    EXPECT_TRUE(Eventually([&] { return Width(game) > 640; })) << "Alt+Enter did not go full screen";
    ASSERT_TRUE(Press(game, "alt+Return"));
    ASSERT_TRUE(Eventually([&] { return Width(game) == 640; })) << "the second Alt+Enter did not come back";

    // Escape opens the side menu; its last button asks whether to end, and yes ends the game.
    ASSERT_TRUE(Press(game, "Escape"));
    ASSERT_TRUE(ScreenShows(game, [](const At& at) {
        return RimAlong(at, kExitY - 11, kExitX - 75, kExitX + 75, 0x78) && Near(at(kExitX - 80, kExitY - 6), kButtonTop, 32);
    })) << "no side menu; the screen is in " << evidence;
    ASSERT_TRUE(ClickAt(game, kExitX, kExitY));
    ASSERT_TRUE(ScreenShows(game, [](const At& at) { return RimAlong(at, kDialogTop + 1, 232, 400, 0xB0); }))
        << "no exit question; the screen is in " << evidence;
    ASSERT_TRUE(ClickAt(game, kYesX, kYesY));
    ASSERT_TRUE(Eventually([&] { return !Alive(); }, std::chrono::seconds(60))) << "the game did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    // What the game left on disk reads back: the settings it was given, the system save and the
    // automatic save.
    const std::string programFolder = folder.string() + "/";
    TUserConfig config;
    LoadUserConfig(config, Startup::SettingsFile(programFolder));
    EXPECT_EQ(config.UserTextSpeed, 150);
    EXPECT_EQ(config.ExitConfirm, 1);
    EXPECT_NE(ReadText(folder / "Tvqe.ini").find("WindowMode=ON"), std::string::npos) << ReadText(folder / "Tvqe.ini");
    TSystemState system;
    TReadMesTable readMes;
    EXPECT_TRUE(LoadSystemData(programFolder, system, readMes));
    TGameState current;
    std::size_t extraLength = 0;
    EXPECT_TRUE(ReadSaveSlot(programFolder, 0, &current, nullptr, extraLength, {}));
    EXPECT_EQ(current.GetScriptNumber(), 1) << "the save the first script makes before the song's scene";
}

} // namespace
