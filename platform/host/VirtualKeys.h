// Virtual-key codes: the numbers key events carry, whatever the keyboard or back end.
//
// Letters and digits are their upper-case ASCII codes ('A' to 'Z', '0' to '9'). Shift, Ctrl and
// Alt are reported as the generic VK_SHIFT, VK_CONTROL and VK_MENU, left and right alike.
#pragma once

#include <cstdint>

inline constexpr std::uint16_t VK_BACK = 0x08;
inline constexpr std::uint16_t VK_TAB = 0x09;
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_SHIFT = 0x10;
inline constexpr std::uint16_t VK_CONTROL = 0x11;
inline constexpr std::uint16_t VK_MENU = 0x12;
inline constexpr std::uint16_t VK_PAUSE = 0x13;
inline constexpr std::uint16_t VK_CAPITAL = 0x14;
inline constexpr std::uint16_t VK_ESCAPE = 0x1B;
inline constexpr std::uint16_t VK_SPACE = 0x20;
inline constexpr std::uint16_t VK_PRIOR = 0x21;
inline constexpr std::uint16_t VK_NEXT = 0x22;
inline constexpr std::uint16_t VK_END = 0x23;
inline constexpr std::uint16_t VK_HOME = 0x24;
inline constexpr std::uint16_t VK_LEFT = 0x25;
inline constexpr std::uint16_t VK_UP = 0x26;
inline constexpr std::uint16_t VK_RIGHT = 0x27;
inline constexpr std::uint16_t VK_DOWN = 0x28;
inline constexpr std::uint16_t VK_SNAPSHOT = 0x2C;
inline constexpr std::uint16_t VK_INSERT = 0x2D;
inline constexpr std::uint16_t VK_DELETE = 0x2E;
inline constexpr std::uint16_t VK_LWIN = 0x5B;
inline constexpr std::uint16_t VK_RWIN = 0x5C;
inline constexpr std::uint16_t VK_APPS = 0x5D;
inline constexpr std::uint16_t VK_NUMPAD0 = 0x60; // to VK_NUMPAD0 + 9
inline constexpr std::uint16_t VK_MULTIPLY = 0x6A;
inline constexpr std::uint16_t VK_ADD = 0x6B;
inline constexpr std::uint16_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint16_t VK_DECIMAL = 0x6E;
inline constexpr std::uint16_t VK_DIVIDE = 0x6F;
inline constexpr std::uint16_t VK_F1 = 0x70; // to VK_F1 + 11 (F12)
inline constexpr std::uint16_t VK_NUMLOCK = 0x90;
inline constexpr std::uint16_t VK_SCROLL = 0x91;
inline constexpr std::uint16_t VK_OEM_1 = 0xBA;      // ;:
inline constexpr std::uint16_t VK_OEM_PLUS = 0xBB;   // =+
inline constexpr std::uint16_t VK_OEM_COMMA = 0xBC;  // ,<
inline constexpr std::uint16_t VK_OEM_MINUS = 0xBD;  // -_
inline constexpr std::uint16_t VK_OEM_PERIOD = 0xBE; // .>
inline constexpr std::uint16_t VK_OEM_2 = 0xBF;      // /?
inline constexpr std::uint16_t VK_OEM_3 = 0xC0;      // `~
inline constexpr std::uint16_t VK_OEM_4 = 0xDB;      // [{
inline constexpr std::uint16_t VK_OEM_5 = 0xDC;      // \|
inline constexpr std::uint16_t VK_OEM_6 = 0xDD;      // ]}
inline constexpr std::uint16_t VK_OEM_7 = 0xDE;      // '"
