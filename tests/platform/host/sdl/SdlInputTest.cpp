// SdlInput: SDL's key, text, mouse, wheel and window events as window events, in a table; mouse
// positions in full screen through the fit rectangle.
#include "platform/host/sdl/SdlInput.h"

#include "platform/codepage/CodePage.h"
#include "platform/host/VirtualKeys.h"

#include <SDL.h>
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

using host::WindowEvent;
using Kind = WindowEvent::Kind;

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym = SDLK_UNKNOWN, Uint16 mod = KMOD_NONE)
{
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* utf8)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event Motion(int x, int y, Uint32 state = 0)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.state = state;
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, int x, int y, Uint8 clicks = 1)
{
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    e.button.clicks = clicks;
    return e;
}

SDL_Event Wheel(int notches, Uint32 direction = SDL_MOUSEWHEEL_NORMAL, int x = 5, int y = 6)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    e.wheel.direction = direction;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

SDL_Event Window(Uint8 event)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    return e;
}

SDL_Event Quit()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    return e;
}

WindowEvent K(Kind kind, std::uint16_t key, TShiftState shift = 0) { return {.kind = kind, .key = key, .shift = shift}; }
WindowEvent Press(unsigned char c) { return {.kind = Kind::KeyPress, .key = c}; }
WindowEvent M(Kind kind, TShiftState shift, int x, int y, TMouseButton button = mbLeft)
{
    return {.kind = kind, .shift = shift, .button = button, .x = x, .y = y};
}
WindowEvent Only(Kind kind) { return {.kind = kind}; }

struct Case {
    const char* name;
    SDL_Event event;
    std::vector<WindowEvent> expected;
    SDL_Keymod heldModifiers = KMOD_NONE; // for mouse events, which carry none of their own
};

TEST(SdlInput, TranslatesEventsToWindowEvents)
{
    const Case cases[] = {
        {"letter", Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a), {K(Kind::KeyDown, 'A')}},
        {"letter by layout", Key(SDL_KEYDOWN, SDL_SCANCODE_Q, SDLK_a), {K(Kind::KeyDown, 'A')}},
        {"letter without keycode", Key(SDL_KEYUP, SDL_SCANCODE_Z), {K(Kind::KeyUp, 'Z')}},
        {"digit 1", Key(SDL_KEYDOWN, SDL_SCANCODE_1), {K(Kind::KeyDown, '1')}},
        {"digit 9", Key(SDL_KEYDOWN, SDL_SCANCODE_9), {K(Kind::KeyDown, '9')}},
        {"digit 0", Key(SDL_KEYDOWN, SDL_SCANCODE_0), {K(Kind::KeyDown, '0')}},
        {"keypad 0", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_0), {K(Kind::KeyDown, VK_NUMPAD0)}},
        {"keypad 9", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_9), {K(Kind::KeyDown, VK_NUMPAD0 + 9)}},
        {"F1", Key(SDL_KEYDOWN, SDL_SCANCODE_F1), {K(Kind::KeyDown, VK_F1)}},
        {"F12", Key(SDL_KEYDOWN, SDL_SCANCODE_F12), {K(Kind::KeyDown, VK_F1 + 11)}},
        {"space", Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE), {K(Kind::KeyDown, VK_SPACE)}},
        {"print screen", Key(SDL_KEYDOWN, SDL_SCANCODE_PRINTSCREEN), {K(Kind::KeyDown, VK_SNAPSHOT)}},
        {"alt print screen", Key(SDL_KEYDOWN, SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, KMOD_LALT),
         {K(Kind::KeyDown, VK_SNAPSHOT, ssAlt)}},
        {"arrows", Key(SDL_KEYDOWN, SDL_SCANCODE_UP), {K(Kind::KeyDown, VK_UP)}},
        {"left shift", Key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT), {K(Kind::KeyDown, VK_SHIFT, ssShift)}},
        {"right ctrl", Key(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL), {K(Kind::KeyDown, VK_CONTROL, ssCtrl)}},
        {"ctrl released", Key(SDL_KEYUP, SDL_SCANCODE_LCTRL), {K(Kind::KeyUp, VK_CONTROL)}},
        {"alt", Key(SDL_KEYDOWN, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT), {K(Kind::KeyDown, VK_MENU, ssAlt)}},
        {"return types CR", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN), {K(Kind::KeyDown, VK_RETURN), Press('\r')}},
        {"keypad enter", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER), {K(Kind::KeyDown, VK_RETURN), Press('\r')}},
        {"alt+enter types nothing", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT),
         {K(Kind::KeyDown, VK_RETURN, ssAlt)}},
        {"return released", Key(SDL_KEYUP, SDL_SCANCODE_RETURN), {K(Kind::KeyUp, VK_RETURN)}},
        {"escape", Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE), {K(Kind::KeyDown, VK_ESCAPE), Press(0x1B)}},
        {"backspace", Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE), {K(Kind::KeyDown, VK_BACK), Press('\b')}},
        {"shift+tab", Key(SDL_KEYDOWN, SDL_SCANCODE_TAB, SDLK_TAB, KMOD_LSHIFT), {K(Kind::KeyDown, VK_TAB, ssShift), Press('\t')}},
        {"a key without a code", Key(SDL_KEYDOWN, SDL_SCANCODE_MUTE), {}},
        {"typed text", Text("a-Z"), {Press('a'), Press('-'), Press('Z')}},
        {"typed GBK character", Text("\xE4\xB8\xAD"), {Press(0xD6), Press(0xD0)}}, // U+4E2D
        {"move", Motion(100, 200), {M(Kind::MouseMove, 0, 100, 200)}},
        {"drag", Motion(1, 2, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK), {M(Kind::MouseMove, ssLeft | ssMiddle, 1, 2)}},
        {"move with ctrl", Motion(3, 4), {M(Kind::MouseMove, ssCtrl, 3, 4)}, KMOD_LCTRL},
        {"left down", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), {M(Kind::MouseDown, ssLeft, 10, 20)}},
        {"left up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 20), {M(Kind::MouseUp, 0, 10, 20)}},
        {"double click", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, 2), {M(Kind::MouseDown, ssLeft | ssDouble, 1, 1)}},
        {"third click", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, 3), {M(Kind::MouseDown, ssLeft, 1, 1)}},
        {"shift right down", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 6),
         {M(Kind::MouseDown, ssShift | ssRight, 5, 6, mbRight)}, KMOD_RSHIFT},
        {"middle up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 7, 8), {M(Kind::MouseUp, 0, 7, 8, mbMiddle)}},
        {"side button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 7, 8), {}},
        {"wheel away", Wheel(1), {WindowEvent{.kind = Kind::MouseWheel, .x = 5, .y = 6, .wheelDelta = 120}}},
        {"wheel toward, alt", Wheel(-2), {WindowEvent{.kind = Kind::MouseWheel, .shift = ssAlt, .x = 5, .y = 6, .wheelDelta = -240}},
         KMOD_LALT},
        {"wheel flipped", Wheel(1, SDL_MOUSEWHEEL_FLIPPED), {WindowEvent{.kind = Kind::MouseWheel, .x = 5, .y = 6, .wheelDelta = -120}}},
        {"sideways wheel", Wheel(0), {}},
        {"focus gained", Window(SDL_WINDOWEVENT_FOCUS_GAINED), {Only(Kind::Activate)}},
        {"focus lost", Window(SDL_WINDOWEVENT_FOCUS_LOST), {Only(Kind::Deactivate)}},
        {"mouse leaves", Window(SDL_WINDOWEVENT_LEAVE), {Only(Kind::MouseLeave)}},
        {"close button", Window(SDL_WINDOWEVENT_CLOSE), {Only(Kind::CloseRequest)}},
        {"quit", Quit(), {Only(Kind::CloseRequest)}},
        {"exposed", Window(SDL_WINDOWEVENT_EXPOSED), {}},
    };
    const TestSupport::ScopedAnsiCodePage gbk(CodePage::Gbk);
    for (const Case& c : cases) {
        host::SdlInput input; // each case from nothing held
        SDL_SetModState(c.heldModifiers);
        std::vector<WindowEvent> out;
        input.Translate(c.event, out);
        EXPECT_EQ(out, c.expected) << c.name;
    }
    SDL_SetModState(KMOD_NONE);
}

TEST(SdlInput, ButtonsHeldStayInTheShiftStateUntilReleased)
{
    host::SdlInput input;
    std::vector<WindowEvent> out;
    input.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0, 0), out);
    input.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 0, 0), out);
    input.Translate(Wheel(1), out);
    input.Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0), out);
    input.Translate(Window(SDL_WINDOWEVENT_FOCUS_LOST), out);
    input.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 0, 0), out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0].shift, ssLeft);
    EXPECT_EQ(out[1].shift, ssLeft | ssRight);
    EXPECT_EQ(out[2].shift, ssLeft | ssRight);
    EXPECT_EQ(out[3].shift, ssRight);
    EXPECT_EQ(out[5].shift, ssMiddle) << "losing the focus forgets the buttons held";
}

TEST(SdlInput, FullScreenPositionsAreClientPositionsOfThePicture)
{
    struct Case {
        int windowX, windowY;
        int x, y;
    };
    // 640 x 480 on 1920 x 1080: shown at 240..1679 x 0..1079, bars left and right.
    const Case wide[] = {{240, 0, 0, 0}, {1679, 1079, 639, 479}, {960, 540, 320, 240},
                         {243, 3, 1, 1}, {0, 500, 0, 222},       {1900, 540, 639, 240}};
    // 640 x 480 on 1280 x 1024: shown at 0..1279 x 32..991, bars above and below.
    const Case tall[] = {{0, 32, 0, 0}, {1279, 991, 639, 479}, {640, 0, 320, 0}, {640, 1023, 320, 479}};
    // Windowed: the picture as it is, also outside while the mouse is captured.
    const Case windowed[] = {{0, 0, 0, 0}, {639, 479, 639, 479}, {-5, 500, -5, 500}};
    struct View {
        video::Size shown;
        std::span<const Case> cases;
    };
    for (const View& view : {View{{1920, 1080}, wide}, View{{1280, 1024}, tall}, View{{640, 480}, windowed}})
        for (const Case& c : view.cases) {
            host::SdlInput input;
            input.SetView({640, 480}, view.shown);
            std::vector<WindowEvent> out;
            input.Translate(Motion(c.windowX, c.windowY), out);
            ASSERT_EQ(out.size(), 1u);
            EXPECT_EQ(out[0].x, c.x) << view.shown.width << " " << c.windowX << "," << c.windowY;
            EXPECT_EQ(out[0].y, c.y) << view.shown.width << " " << c.windowX << "," << c.windowY;
        }
}

} // namespace
