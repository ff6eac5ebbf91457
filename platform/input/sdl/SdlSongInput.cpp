#include "platform/input/sdl/SdlSongInput.h"

#include "platform/input/DikCodes.h"

#include <SDL.h>

#include <array>
#include <utility>

namespace input {

namespace {

// SDL scancodes (USB usage numbers) and the scan codes of the same keys.
constexpr std::pair<SDL_Scancode, std::uint8_t> ScanCodes[] = {
    {SDL_SCANCODE_ESCAPE, dik::Escape},     {SDL_SCANCODE_1, 0x02},           {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},                 {SDL_SCANCODE_4, 0x05},           {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},                 {SDL_SCANCODE_7, 0x08},           {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},                 {SDL_SCANCODE_0, 0x0B},           {SDL_SCANCODE_MINUS, dik::Minus},
    {SDL_SCANCODE_EQUALS, dik::Equals},     {SDL_SCANCODE_BACKSPACE, dik::Back}, {SDL_SCANCODE_TAB, dik::Tab},
    {SDL_SCANCODE_Q, 0x10},                 {SDL_SCANCODE_W, 0x11},           {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},                 {SDL_SCANCODE_T, 0x14},           {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},                 {SDL_SCANCODE_I, 0x17},           {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},                 {SDL_SCANCODE_LEFTBRACKET, dik::LBracket}, {SDL_SCANCODE_RIGHTBRACKET, dik::RBracket},
    {SDL_SCANCODE_RETURN, dik::Return},     {SDL_SCANCODE_LCTRL, dik::LControl}, {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},                 {SDL_SCANCODE_D, 0x20},           {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},                 {SDL_SCANCODE_H, 0x23},           {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},                 {SDL_SCANCODE_L, 0x26},           {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, dik::Apostrophe}, {SDL_SCANCODE_GRAVE, dik::Grave}, {SDL_SCANCODE_LSHIFT, dik::LShift},
    {SDL_SCANCODE_BACKSLASH, dik::Backslash}, {SDL_SCANCODE_Z, 0x2C},         {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},                 {SDL_SCANCODE_V, 0x2F},           {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},                 {SDL_SCANCODE_M, 0x32},           {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},            {SDL_SCANCODE_SLASH, 0x35},       {SDL_SCANCODE_RSHIFT, dik::RShift},
    {SDL_SCANCODE_KP_MULTIPLY, dik::Multiply}, {SDL_SCANCODE_LALT, dik::LMenu}, {SDL_SCANCODE_SPACE, dik::Space},
    {SDL_SCANCODE_CAPSLOCK, dik::Capital},  {SDL_SCANCODE_F1, 0x3B},          {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},                {SDL_SCANCODE_F4, 0x3E},          {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},                {SDL_SCANCODE_F7, 0x41},          {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},                {SDL_SCANCODE_F10, 0x44},         {SDL_SCANCODE_NUMLOCKCLEAR, dik::NumLock},
    {SDL_SCANCODE_SCROLLLOCK, dik::Scroll}, {SDL_SCANCODE_KP_7, dik::Numpad7}, {SDL_SCANCODE_KP_8, dik::Numpad8},
    {SDL_SCANCODE_KP_9, dik::Numpad9},      {SDL_SCANCODE_KP_MINUS, dik::Subtract}, {SDL_SCANCODE_KP_4, dik::Numpad4},
    {SDL_SCANCODE_KP_5, dik::Numpad5},      {SDL_SCANCODE_KP_6, dik::Numpad6}, {SDL_SCANCODE_KP_PLUS, dik::Add},
    {SDL_SCANCODE_KP_1, dik::Numpad1},      {SDL_SCANCODE_KP_2, dik::Numpad2}, {SDL_SCANCODE_KP_3, dik::Numpad3},
    {SDL_SCANCODE_KP_0, dik::Numpad0},      {SDL_SCANCODE_KP_PERIOD, dik::Decimal}, {SDL_SCANCODE_F11, dik::F11},
    {SDL_SCANCODE_F12, dik::F12},           {SDL_SCANCODE_KP_ENTER, dik::NumpadEnter}, {SDL_SCANCODE_RCTRL, dik::RControl},
    {SDL_SCANCODE_KP_DIVIDE, dik::Divide},  {SDL_SCANCODE_PRINTSCREEN, dik::SysRq}, {SDL_SCANCODE_RALT, dik::RMenu},
    {SDL_SCANCODE_PAUSE, dik::Pause},       {SDL_SCANCODE_HOME, dik::Home},   {SDL_SCANCODE_UP, dik::Up},
    {SDL_SCANCODE_PAGEUP, dik::Prior},      {SDL_SCANCODE_LEFT, dik::Left},   {SDL_SCANCODE_RIGHT, dik::Right},
    {SDL_SCANCODE_END, dik::End},           {SDL_SCANCODE_DOWN, dik::Down},   {SDL_SCANCODE_PAGEDOWN, dik::Next},
    {SDL_SCANCODE_INSERT, dik::Insert},     {SDL_SCANCODE_DELETE, dik::Delete}, {SDL_SCANCODE_LGUI, dik::LWin},
    {SDL_SCANCODE_RGUI, dik::RWin},         {SDL_SCANCODE_APPLICATION, dik::Apps},
};

constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> MakeScanCodeTable()
{
    std::array<std::uint8_t, SDL_NUM_SCANCODES> table{};
    for (const auto& [scancode, code] : ScanCodes)
        table[static_cast<std::size_t>(scancode)] = code;
    return table;
}

constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> ScanCodeTable = MakeScanCodeTable();

} // namespace

SdlSongInput::SdlSongInput(SongInput& target) : target_(target)
{
    joystickSystem_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SdlSongInput::~SdlSongInput()
{
    CloseJoystick();
    if (joystickSystem_)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

std::uint8_t SdlSongInput::ScanCodeOf(int sdlScancode)
{
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES)
        return 0;
    return ScanCodeTable[static_cast<std::size_t>(sdlScancode)];
}

void SdlSongInput::Feed(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        target_.KeyEvent(ScanCodeOf(event.key.keysym.scancode), event.type == SDL_KEYDOWN, event.key.timestamp);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            target_.FocusEvent(event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
        break;
    case SDL_JOYDEVICEADDED:
        if (joystick_ == nullptr)
            OpenJoystick(event.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        if (event.jdevice.which == joystickId_)
            CloseJoystick();
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (event.jbutton.which == joystickId_)
            target_.ButtonEvent(event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
        break;
    default:
        break;
    }
}

void SdlSongInput::OpenJoystick(int deviceIndex)
{
    if (!joystickSystem_)
        return;
    joystick_ = SDL_JoystickOpen(deviceIndex);
    if (joystick_ == nullptr)
        return;
    joystickId_ = SDL_JoystickInstanceID(joystick_);
    target_.JoystickEvent(true);
}

void SdlSongInput::CloseJoystick()
{
    if (joystick_ == nullptr)
        return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    joystickId_ = -1;
    target_.JoystickEvent(false);
}

} // namespace input
