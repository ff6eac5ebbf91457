#include "scenario/text/MessagePieces.h"

#include "scenario/records/TGameState.h"
#include "scenario/text/MessageText.h"

#include <algorithm>

PieceResult HandMessagePiece(TGameState& state, MessageWindowSink& window)
{
    const AnsiString message = state.GetCurrentMessage();
    if (message.empty())
        return {};
    const std::size_t newLine = MessageText::FindSign(message, 'n');
    const std::size_t newPage = MessageText::FindSign(message, 'p');
    PieceResult result;
    AnsiString rest;
    if (newLine == 0) {
        rest = message.substr(2);
        state.NewWindowLine();
        state.AdvanceBacklog();
        window.NewLine();
    } else if (newPage == 0) {
        rest = message.substr(2);
        state.ClearWindowLines();
        window.ClearText();
    } else {
        const std::size_t end = std::min(newLine, newPage);
        const AnsiString piece = message.substr(0, end);
        rest = end < message.size() ? message.substr(end) : AnsiString();
        state.AppendWindowLine(piece);
        state.AppendBacklogLine(piece);
        if (!state.GetTextWindow())
            state.SetTextWindow(true);
        window.PrintPiece(piece, MessageText::PieceSpeed(piece, state.GetMessageSpeed()));
        result.printed = true;
    }
    state.SetMessageRest(rest);
    result.usedUp = rest.empty();
    return result;
}
