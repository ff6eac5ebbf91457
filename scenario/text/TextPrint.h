// TextPrint: the adventure screen's printing of one message piece: the speed rules of
// DecideTextPrint, then the piece to the novel window (novel mode) or the message window.
#pragma once

#include "scenario/text/TextPrintSpeed.h"

#include <string_view>

class TSubWinUnit;

struct TextPrintResult {
    bool printing = false;       // the window prints by frames: the screen waits for the end of printing
    bool stopSkipButton = false; // skip mode switched off at text not read before
};

TextPrintResult TextPrint(TSubWinUnit& windows, bool novel, std::string_view piece, const TextPrintInput& input);
