#include "scenario/text/TextPrint.h"

#include "scenario/windows/TSubWinUnit.h"

TextPrintResult TextPrint(TSubWinUnit& windows, bool novel, std::string_view piece, const TextPrintInput& input)
{
    const TextPrintDecision decision = DecideTextPrint(input);
    const bool printing = novel ? windows.NovelWinSetText(piece, decision.speed) : windows.MesWinSetText(piece, decision.speed);
    return {printing, decision.stopSkipButton};
}
