// TInputRecord and TInputQueue: mouse and key events copied on the UI thread and replayed, in order,
// into the root panel on the frame's thread.
#pragma once

#include "platform/classes/Controls.h"

#include <cstdint>
#include <deque>
#include <mutex>

class TXeRGBPanel;

// Kinds of input records.
enum TInputKind : std::uint8_t {
    ikMouseMove = 0,
    ikMouseDown = 1,
    ikMouseUp = 2,
    ikMouseWheel = 3,
    ikMouseEnter = 4,
    ikMouseLeave = 5,
    ikKeyDown = 6,
    ikKeyUp = 7,
    ikKeyPress = 8,
};

// One event; every record starts zeroed and each kind fills only its own fields.
struct TInputRecord {
    std::uint8_t kind = 0;
    std::int32_t x = 0; // client position, kinds 0 to 4
    std::int32_t y = 0;
    TShiftState shift = 0;
    TMouseButton button = mbLeft; // kinds 1 and 2
    std::int32_t wheelDelta = 0;  // kind 3, a multiple of 120 per notch
    std::uint16_t key = 0;        // kinds 6 and 7: virtual-key code; kind 8: the character in the low byte

    static TInputRecord MouseMove(TShiftState shift, int x, int y);
    static TInputRecord MouseButton(std::uint8_t kind, TMouseButton button, TShiftState shift, int x, int y);
    static TInputRecord MouseWheel(TShiftState shift, int wheelDelta, int x, int y);
    static TInputRecord MouseEnter(int x, int y);
    static TInputRecord MouseLeave();
    static TInputRecord Key(std::uint8_t kind, std::uint16_t key, TShiftState shift);
    static TInputRecord KeyPress(char character);
};

// First in, first out, without a length limit. The lock is innermost and held only to append one
// record, take one or clear: the UI thread never waits for a frame, and the panel handlers that a
// replay calls run without it (they may push, clear or change the form's state).
class TInputQueue {
public:
    void Push(const TInputRecord& record);
    // Hands records to `root` until the queue is empty, so records pushed while earlier ones are
    // replayed are replayed too; kinds above 8 are skipped.
    void Replay(TXeRGBPanel& root);
    void Clear();
    std::size_t Size() const;

    // Delivers one record to the panel tree as its kind says.
    static void Deliver(TXeRGBPanel& root, const TInputRecord& record);

private:
    bool PopFront(TInputRecord& record);

    mutable std::mutex inputLock_; // the form's input lock: guards records_
    std::deque<TInputRecord> records_;
};
