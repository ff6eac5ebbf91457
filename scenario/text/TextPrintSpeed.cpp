#include "scenario/text/TextPrintSpeed.h"

#include <algorithm>

TextPrintDecision DecideTextPrint(const TextPrintInput& input)
{
    TextPrintDecision decision;
    decision.stopSkipButton = input.skipButton && !input.allTextSkip && !input.messageRead;
    const bool skipping = (input.skipButton && !decision.stopSkipButton) || input.ctrlHeld;
    if (!input.noSkip && skipping) {
        decision.speed = 0;
    } else if (input.speed > 0 && !input.noSkip) {
        // 64-bit: the setting's range is checked by its reader, not here.
        const std::int64_t scaled = std::int64_t{input.speed} * input.userTextSpeed / 100;
        decision.speed = input.userTextSpeed <= 0 ? 0 : static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, 1, INT32_MAX));
    } else {
        decision.speed = input.speed;
    }
    return decision;
}
