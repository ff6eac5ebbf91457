#include "shell/input/TInputQueue.h"

#include "graphics/panels/TXeRGBPanel.h"

TInputRecord TInputRecord::MouseMove(TShiftState shift, int x, int y)
{
    TInputRecord r;
    r.kind = ikMouseMove;
    r.shift = shift;
    r.x = x;
    r.y = y;
    return r;
}

TInputRecord TInputRecord::MouseButton(std::uint8_t kind, TMouseButton button, TShiftState shift, int x, int y)
{
    TInputRecord r = MouseMove(shift, x, y);
    r.kind = kind;
    r.button = button;
    return r;
}

TInputRecord TInputRecord::MouseWheel(TShiftState shift, int wheelDelta, int x, int y)
{
    TInputRecord r = MouseMove(shift, x, y);
    r.kind = ikMouseWheel;
    r.wheelDelta = wheelDelta;
    return r;
}

TInputRecord TInputRecord::MouseEnter(int x, int y)
{
    TInputRecord r;
    r.kind = ikMouseEnter;
    r.x = x;
    r.y = y;
    return r;
}

TInputRecord TInputRecord::MouseLeave()
{
    TInputRecord r;
    r.kind = ikMouseLeave;
    return r;
}

TInputRecord TInputRecord::Key(std::uint8_t kind, std::uint16_t key, TShiftState shift)
{
    TInputRecord r;
    r.kind = kind;
    r.key = key;
    r.shift = shift;
    return r;
}

TInputRecord TInputRecord::KeyPress(char character)
{
    TInputRecord r;
    r.kind = ikKeyPress;
    r.key = static_cast<unsigned char>(character);
    return r;
}

void TInputQueue::Push(const TInputRecord& record)
{
    std::lock_guard lock(inputLock_);
    records_.push_back(record);
}

void TInputQueue::Replay(TXeRGBPanel& root)
{
    TInputRecord record;
    while (PopFront(record))
        Deliver(root, record);
}

void TInputQueue::Clear()
{
    std::lock_guard lock(inputLock_);
    records_.clear();
}

std::size_t TInputQueue::Size() const
{
    std::lock_guard lock(inputLock_);
    return records_.size();
}

bool TInputQueue::PopFront(TInputRecord& record)
{
    std::lock_guard lock(inputLock_);
    if (records_.empty())
        return false;
    record = records_.front();
    records_.pop_front();
    return true;
}

void TInputQueue::Deliver(TXeRGBPanel& root, const TInputRecord& r)
{
    std::uint16_t key = r.key;
    switch (r.kind) {
    case ikMouseMove:
        root.MouseMove(r.shift, r.x, r.y);
        break;
    case ikMouseDown:
        root.MouseDown(r.button, r.shift, r.x, r.y);
        break;
    case ikMouseUp:
        root.MouseUp(r.button, r.shift, r.x, r.y);
        break;
    case ikMouseWheel: {
        bool handled = false;
        root.MouseWheel(r.shift, r.wheelDelta, TPoint{r.x, r.y}, handled);
        break;
    }
    case ikMouseEnter:
        root.MouseEnter(r.x, r.y);
        break;
    case ikMouseLeave:
        root.MouseLeave();
        break;
    case ikKeyDown:
        root.KeyDown(key, r.shift);
        break;
    case ikKeyUp:
        root.KeyUp(key, r.shift);
        break;
    case ikKeyPress: {
        char character = static_cast<char>(r.key & 0xFF);
        root.KeyPress(character);
        break;
    }
    default:
        break; // unknown kinds are ignored
    }
}
