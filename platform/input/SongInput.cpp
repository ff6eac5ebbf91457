#include "platform/input/SongInput.h"

#include <algorithm>

namespace input {

void SongInput::KeyEvent(std::uint8_t code, bool down, std::uint32_t timeMs)
{
    const std::lock_guard hold(lock_);
    if (!acquired_ || !focused_ || code == 0)
        return;
    const bool wasDown = (state_[code] & 0x80) != 0;
    state_[code] = down ? 0x80 : 0;
    if (wasDown == down)
        return; // a key's auto-repeat makes no record
    if (buffer_.size() >= KeyBufferSize) {
        overflow_ = true;
        return;
    }
    buffer_.push_back({code, down ? 0x80u : 0u, timeMs, sequence_++});
}

void SongInput::FocusEvent(bool focused)
{
    const std::lock_guard hold(lock_);
    focused_ = focused;
    if (!focused)
        LoseKeyboard();
}

void SongInput::JoystickEvent(bool attached)
{
    const std::lock_guard hold(lock_);
    joystick_ = attached;
    physical_ = {};
}

void SongInput::ButtonEvent(int physical, bool down)
{
    const std::lock_guard hold(lock_);
    if (physical >= 0 && static_cast<std::size_t>(physical) < PhysicalButtons)
        physical_[static_cast<std::size_t>(physical)] = down;
}

bool SongInput::AcquireKeyboard()
{
    const std::lock_guard hold(lock_);
    if (!focused_)
        return false;
    acquired_ = true;
    lost_ = false;
    return true;
}

void SongInput::UnacquireKeyboard()
{
    const std::lock_guard hold(lock_);
    acquired_ = false;
    lost_ = false;
    buffer_.clear();
    state_ = {};
    overflow_ = false;
}

bool SongInput::KeyboardAcquired() const
{
    const std::lock_guard hold(lock_);
    return acquired_;
}

ReadResult SongInput::ReadKeyboard(std::span<KeyRecord> out, int& count)
{
    const std::lock_guard hold(lock_);
    count = 0;
    if (lost_)
        return ReadResult::InputLost;
    if (!acquired_)
        return ReadResult::NotAcquired;
    const std::size_t n = std::min(out.size(), buffer_.size());
    std::copy_n(buffer_.begin(), n, out.begin());
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    count = static_cast<int>(n);
    const bool overflow = overflow_;
    overflow_ = false;
    return overflow ? ReadResult::Overflow : ReadResult::Ok;
}

ReadResult SongInput::KeyboardState(std::array<std::uint8_t, 256>& state)
{
    const std::lock_guard hold(lock_);
    state = {};
    if (lost_)
        return ReadResult::InputLost;
    if (!acquired_)
        return ReadResult::NotAcquired;
    state = state_;
    return ReadResult::Ok;
}

bool SongInput::JoystickAttached() const
{
    const std::lock_guard hold(lock_);
    return joystick_;
}

bool SongInput::PollJoystick(std::array<std::uint8_t, LaneButtons>& buttons)
{
    const std::lock_guard hold(lock_);
    buttons = {};
    if (!joystick_ || !focused_)
        return false;
    for (std::size_t lane = 0; lane < LaneButtons; ++lane) {
        const std::size_t physical = table_[lane];
        buttons[lane] = physical < PhysicalButtons && physical_[physical] ? 0x80 : 0;
    }
    return true;
}

void SongInput::SetButtonTable(const ButtonTable& table)
{
    const std::lock_guard hold(lock_);
    table_ = table;
}

ButtonTable SongInput::GetButtonTable() const
{
    const std::lock_guard hold(lock_);
    return table_;
}

void SongInput::LoseKeyboard()
{
    if (acquired_)
        lost_ = true;
    acquired_ = false;
    buffer_.clear();
    state_ = {};
    overflow_ = false;
}

SongInput& ProcessSongInput()
{
    static SongInput input;
    return input;
}

} // namespace input
