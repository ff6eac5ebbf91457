// Input values of the class library's controls: mouse buttons, the shift state of an input event,
// and a point.
#pragma once

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The keys and buttons held during an input event, a set of these bits.
enum TShiftStateFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

struct TPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TPoint&) const = default;
};
