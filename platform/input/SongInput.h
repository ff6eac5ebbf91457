// SongInput: the keyboard and joystick service the song game reads while a song plays, standing in
// for a buffered keyboard of scan codes (platform/input/DikCodes.h) and the first joystick.
//
// The keyboard keeps a buffer of up to 32 records of presses and releases and a 256-byte state
// (bit 7: the key is down), both only while it is acquired and the window has the focus. Losing the
// focus loses the device: buffer and state are cleared and reads report InputLost until it is
// acquired again, which works only while the window has the focus. Records that find the buffer
// full are dropped and the next read reports Overflow with what it read.
//
// The joystick, when one is attached, is polled: its physical buttons are mapped to 8 lane buttons
// through a table (a setting; the default takes buttons 6, 8, 10, 11, 17, 18, 21 and 23). While the
// window has no focus it reads as lost.
//
// Threads: the back end (the UI thread's event loop, or a test's script) calls the feeding side; the
// logic thread acquires, reads and polls. lock_ guards everything.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace input {

// One buffered keyboard record, 16 bytes as the device reports them.
struct KeyRecord {
    std::uint32_t offset;    // the scan code
    std::uint32_t data;      // 0x80 when the key went down, 0 when it went up
    std::uint32_t timeStamp; // milliseconds of the back end's clock
    std::uint32_t sequence;  // rises by one per record made
};
static_assert(sizeof(KeyRecord) == 16);

enum class ReadResult { Ok, Overflow, InputLost, NotAcquired, NoDevice };

inline constexpr std::size_t KeyBufferSize = 32;
inline constexpr std::size_t LaneButtons = 8;
inline constexpr std::size_t PhysicalButtons = 32;
using ButtonTable = std::array<std::uint8_t, LaneButtons>;
inline constexpr ButtonTable DefaultButtonTable = {6, 8, 10, 11, 17, 18, 21, 23};

class SongInput {
public:
    // ---- feeding side (back end) ----
    void KeyEvent(std::uint8_t code, bool down, std::uint32_t timeMs);
    void FocusEvent(bool focused);
    // A joystick attached or detached (only the first one counts).
    void JoystickEvent(bool attached);
    void ButtonEvent(int physical, bool down);

    // ---- reading side (logic thread) ----
    // Acquires the keyboard; false while the window has no focus.
    bool AcquireKeyboard();
    void UnacquireKeyboard();
    bool KeyboardAcquired() const;
    // Takes up to out.size() records, oldest first; count is set to the number taken.
    ReadResult ReadKeyboard(std::span<KeyRecord> out, int& count);
    ReadResult KeyboardState(std::array<std::uint8_t, 256>& state);

    bool JoystickAttached() const;
    // The 8 lane buttons (0x80 down, 0 up) through the button table; false with no joystick or
    // while the window has no focus (then all up).
    bool PollJoystick(std::array<std::uint8_t, LaneButtons>& buttons);
    void SetButtonTable(const ButtonTable& table);
    ButtonTable GetButtonTable() const;

private:
    void LoseKeyboard();

    mutable std::mutex lock_;
    bool focused_ = true;
    bool acquired_ = false;
    bool lost_ = false;
    bool overflow_ = false;
    std::vector<KeyRecord> buffer_;
    std::array<std::uint8_t, 256> state_{};
    std::uint32_t sequence_ = 0;
    bool joystick_ = false;
    std::array<bool, PhysicalButtons> physical_{};
    ButtonTable table_ = DefaultButtonTable;
};

// The process's song input, fed by the host's back end (or a test). Never null.
SongInput& ProcessSongInput();

} // namespace input
