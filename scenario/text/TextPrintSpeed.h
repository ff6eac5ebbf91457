// TextPrintSpeed: the adventure screen's rules for the speed a message piece prints at, with skip
// mode stopping at text the player has not read.
#pragma once

#include <cstdint>

struct TextPrintInput {
    std::int32_t speed = 0;         // the piece's own speed (hundredths of a frame per character)
    bool skipButton = false;        // skip mode switched on by its button
    bool ctrlHeld = false;          // skip mode held on by the Ctrl key
    bool noSkip = false;            // the script's no-skip flag
    bool allTextSkip = false;       // the "AllTextSkip" setting
    bool messageRead = false;       // the current message had been read before
    std::int32_t userTextSpeed = 100; // the "UserTextSpeed" setting, percent
};

struct TextPrintDecision {
    std::int32_t speed = 0;
    bool stopSkipButton = false; // the skip button turns off (unread text with "AllTextSkip" off)
};

TextPrintDecision DecideTextPrint(const TextPrintInput& input);
