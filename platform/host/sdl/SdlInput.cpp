// SdlInput: translates SDL's input and window events of the host's window into window events.
#include "platform/host/sdl/SdlInput.h"

#include "platform/codepage/CodePage.h"
#include "platform/host/VirtualKeys.h"

#include <SDL.h>

#include <algorithm>
#include <string>

namespace host {

namespace {

using Kind = WindowEvent::Kind;

struct KeyRow {
    SDL_Scancode scancode;
    std::uint16_t key;
};

// Every key with a virtual-key code but the letters, digits, keypad digits and function keys,
// which are ranges.
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},      {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_RETURN, VK_RETURN},       {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},        {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},       {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},           {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},         {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},       {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},        {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},             {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},           {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},         {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT}, {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},       {SDL_SCANCODE_LGUI, VK_LWIN},
    {SDL_SCANCODE_RGUI, VK_RWIN},           {SDL_SCANCODE_APPLICATION, VK_APPS},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0},        {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},         {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},   {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK}, {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},     {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},     {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},   {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},         {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},     {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
};

TShiftState ModifierShift(unsigned mod)
{
    TShiftState shift = 0;
    if (mod & KMOD_SHIFT)
        shift |= ssShift;
    if (mod & KMOD_ALT)
        shift |= ssAlt;
    if (mod & KMOD_CTRL)
        shift |= ssCtrl;
    return shift;
}

TShiftState ButtonShift(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return ssLeft;
    case SDL_BUTTON_RIGHT:
        return ssRight;
    case SDL_BUTTON_MIDDLE:
        return ssMiddle;
    default:
        return 0;
    }
}

TShiftState MaskShift(Uint32 mask)
{
    TShiftState shift = 0;
    if (mask & SDL_BUTTON_LMASK)
        shift |= ssLeft;
    if (mask & SDL_BUTTON_RMASK)
        shift |= ssRight;
    if (mask & SDL_BUTTON_MMASK)
        shift |= ssMiddle;
    return shift;
}

// The control character a Windows keyboard types with a key, 0 when none.
char ControlCharacter(std::uint16_t key)
{
    switch (key) {
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_ESCAPE:
        return '\x1b';
    case VK_TAB:
        return '\t';
    default:
        return 0;
    }
}

} // namespace

void SdlInput::SetView(video::Size picture, video::Size shown)
{
    picture_ = picture;
    shown_ = shown;
}

std::uint16_t SdlInput::VirtualKey(const SDL_Keysym& key)
{
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return static_cast<std::uint16_t>('A' + (key.sym - SDLK_a));
    const SDL_Scancode code = key.scancode;
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z)
        return static_cast<std::uint16_t>('A' + (code - SDL_SCANCODE_A));
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) // SDL puts 0 after 9
        return static_cast<std::uint16_t>('1' + (code - SDL_SCANCODE_1));
    if (code == SDL_SCANCODE_0)
        return '0';
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9)
        return static_cast<std::uint16_t>(VK_NUMPAD0 + 1 + (code - SDL_SCANCODE_KP_1));
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12)
        return static_cast<std::uint16_t>(VK_F1 + (code - SDL_SCANCODE_F1));
    for (const KeyRow& row : kKeys)
        if (row.scancode == code)
            return row.key;
    return 0;
}

void SdlInput::Translate(const SDL_Event& event, std::vector<WindowEvent>& out)
{
    WindowEvent e;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        Key(event, out);
        break;
    case SDL_TEXTINPUT:
        Text(event.text.text, out);
        break;
    case SDL_MOUSEMOTION:
        e.kind = Kind::MouseMove;
        e.shift = ModifierShift(SDL_GetModState()) | MaskShift(event.motion.state);
        Place(e, event.motion.x, event.motion.y);
        out.push_back(e);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        Button(event, out);
        break;
    case SDL_MOUSEWHEEL:
        e.kind = Kind::MouseWheel;
        e.shift = ModifierShift(SDL_GetModState()) | buttons_;
        e.wheelDelta = event.wheel.y * 120 * (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1);
        Place(e, event.wheel.mouseX, event.wheel.mouseY);
        if (e.wheelDelta != 0)
            out.push_back(e);
        break;
    case SDL_WINDOWEVENT:
        Window(event, out);
        break;
    case SDL_QUIT:
        e.kind = Kind::CloseRequest;
        out.push_back(e);
        break;
    default:
        break;
    }
}

void SdlInput::Key(const SDL_Event& event, std::vector<WindowEvent>& out) const
{
    WindowEvent e;
    e.key = VirtualKey(event.key.keysym);
    if (e.key == 0)
        return;
    e.kind = event.type == SDL_KEYDOWN ? Kind::KeyDown : Kind::KeyUp;
    e.shift = ModifierShift(event.key.keysym.mod);
    out.push_back(e);
    const char control = ControlCharacter(e.key);
    if (e.kind == Kind::KeyDown && control != 0 && (e.shift & (ssCtrl | ssAlt)) == 0)
        out.push_back(WindowEvent{.kind = Kind::KeyPress, .key = static_cast<std::uint8_t>(control)});
}

void SdlInput::Button(const SDL_Event& event, std::vector<WindowEvent>& out)
{
    const TShiftState button = ButtonShift(event.button.button);
    if (button == 0)
        return;
    WindowEvent e;
    e.button = button == ssLeft ? mbLeft : button == ssRight ? mbRight : mbMiddle;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        e.kind = Kind::MouseDown;
        buttons_ |= button;
    } else {
        e.kind = Kind::MouseUp;
        buttons_ &= ~button;
    }
    e.shift = ModifierShift(SDL_GetModState()) | buttons_;
    if (e.kind == Kind::MouseDown && event.button.clicks >= 2 && event.button.clicks % 2 == 0)
        e.shift |= ssDouble;
    Place(e, event.button.x, event.button.y);
    out.push_back(e);
}

void SdlInput::Window(const SDL_Event& event, std::vector<WindowEvent>& out)
{
    WindowEvent e;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        e.kind = Kind::Activate;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        e.kind = Kind::Deactivate;
        buttons_ = 0; // releases happen elsewhere now
        break;
    case SDL_WINDOWEVENT_ENTER: {
        e.kind = Kind::MouseEnter;
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        Place(e, x, y);
        break;
    }
    case SDL_WINDOWEVENT_LEAVE:
        e.kind = Kind::MouseLeave;
        break;
    case SDL_WINDOWEVENT_CLOSE:
        e.kind = Kind::CloseRequest;
        break;
    default:
        return;
    }
    out.push_back(e);
}

void SdlInput::Text(const char* utf8, std::vector<WindowEvent>& out) const
{
    for (const char byte : CodePage::FromUtf8(utf8))
        out.push_back(WindowEvent{.kind = Kind::KeyPress, .key = static_cast<std::uint8_t>(byte)});
}

void SdlInput::Place(WindowEvent& event, int windowX, int windowY) const
{
    const video::Rect place = video::FitPicture(picture_, shown_);
    if (place.Width() == picture_.width && place.Height() == picture_.height) {
        // Unscaled, a captured mouse may report points outside the window, as Windows does.
        event.x = windowX - place.left;
        event.y = windowY - place.top;
        return;
    }
    if (place.Empty()) {
        event.x = event.y = 0;
        return;
    }
    const auto map = [](int v, int origin, int shown, int picture) {
        const long long scaled = static_cast<long long>(v - origin) * picture / shown;
        return static_cast<int>(std::clamp<long long>(scaled, 0, picture - 1));
    };
    event.x = map(windowX, place.left, place.Width(), picture_.width);
    event.y = map(windowY, place.top, place.Height(), picture_.height);
}

} // namespace host
