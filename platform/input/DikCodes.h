// The keyboard scan codes (DIK codes) the song game reads: one byte per physical key, by its place
// on a US keyboard, as the buffered keyboard and its 256-byte state report them.
#pragma once

#include <cstdint>

namespace input::dik {

inline constexpr std::uint8_t Escape = 0x01;
inline constexpr std::uint8_t Key1 = 0x02; // 1 to 9 and 0 follow up to 0x0B
inline constexpr std::uint8_t Minus = 0x0C;
inline constexpr std::uint8_t Equals = 0x0D;
inline constexpr std::uint8_t Back = 0x0E;
inline constexpr std::uint8_t Tab = 0x0F;
inline constexpr std::uint8_t Q = 0x10; // Q W E R T Y U I O P up to 0x19
inline constexpr std::uint8_t LBracket = 0x1A;
inline constexpr std::uint8_t RBracket = 0x1B;
inline constexpr std::uint8_t Return = 0x1C;
inline constexpr std::uint8_t LControl = 0x1D;
inline constexpr std::uint8_t A = 0x1E; // A S D F G H J K L ; up to 0x27
inline constexpr std::uint8_t Apostrophe = 0x28;
inline constexpr std::uint8_t Grave = 0x29;
inline constexpr std::uint8_t LShift = 0x2A;
inline constexpr std::uint8_t Backslash = 0x2B;
inline constexpr std::uint8_t Z = 0x2C; // Z X C V B N M , . / up to 0x35
inline constexpr std::uint8_t RShift = 0x36;
inline constexpr std::uint8_t Multiply = 0x37;
inline constexpr std::uint8_t LMenu = 0x38;
inline constexpr std::uint8_t Space = 0x39;
inline constexpr std::uint8_t Capital = 0x3A;
inline constexpr std::uint8_t F1 = 0x3B; // F1 to F10 up to 0x44
inline constexpr std::uint8_t NumLock = 0x45;
inline constexpr std::uint8_t Scroll = 0x46;
inline constexpr std::uint8_t Numpad7 = 0x47;
inline constexpr std::uint8_t Numpad8 = 0x48;
inline constexpr std::uint8_t Numpad9 = 0x49;
inline constexpr std::uint8_t Subtract = 0x4A;
inline constexpr std::uint8_t Numpad4 = 0x4B;
inline constexpr std::uint8_t Numpad5 = 0x4C;
inline constexpr std::uint8_t Numpad6 = 0x4D;
inline constexpr std::uint8_t Add = 0x4E;
inline constexpr std::uint8_t Numpad1 = 0x4F;
inline constexpr std::uint8_t Numpad2 = 0x50;
inline constexpr std::uint8_t Numpad3 = 0x51;
inline constexpr std::uint8_t Numpad0 = 0x52;
inline constexpr std::uint8_t Decimal = 0x53;
inline constexpr std::uint8_t F11 = 0x57;
inline constexpr std::uint8_t F12 = 0x58;
inline constexpr std::uint8_t NumpadEnter = 0x9C;
inline constexpr std::uint8_t RControl = 0x9D;
inline constexpr std::uint8_t Divide = 0xB5;
inline constexpr std::uint8_t SysRq = 0xB7; // Print Screen
inline constexpr std::uint8_t RMenu = 0xB8;
inline constexpr std::uint8_t Pause = 0xC5;
inline constexpr std::uint8_t Home = 0xC7;
inline constexpr std::uint8_t Up = 0xC8;
inline constexpr std::uint8_t Prior = 0xC9;
inline constexpr std::uint8_t Left = 0xCB;
inline constexpr std::uint8_t Right = 0xCD;
inline constexpr std::uint8_t End = 0xCF;
inline constexpr std::uint8_t Down = 0xD0;
inline constexpr std::uint8_t Next = 0xD1;
inline constexpr std::uint8_t Insert = 0xD2;
inline constexpr std::uint8_t Delete = 0xD3;
inline constexpr std::uint8_t LWin = 0xDB;
inline constexpr std::uint8_t RWin = 0xDC;
inline constexpr std::uint8_t Apps = 0xDD;

} // namespace input::dik
