// The game's two exceptions: EGameErr for broken game-data invariants and resource failures, and
// EGameEnd, raised only to unwind the logic thread back to its top when it is terminated.
#pragma once

#include "platform/classes/Exception.h"

class EGameErr : public Exception {
public:
    EGameErr();
};

class EGameEnd : public Exception {
public:
    EGameEnd();
};
