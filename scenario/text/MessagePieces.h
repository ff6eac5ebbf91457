// MessagePieces: hands the current message of the scenario record to the text window one piece at
// a time, a piece ending at each new-line ("\n") or new-page ("\p") sign; the pieces also go to the
// record's window lines and backlog.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>

class TGameState;

// The text window the pieces go to (the adventure screen's message or novel window).
class MessageWindowSink {
public:
    virtual ~MessageWindowSink() = default;
    virtual void NewLine() = 0;
    virtual void ClearText() = 0;
    // Prints the piece at `speed` hundredths of a frame per character (0: at once).
    virtual void PrintPiece(const AnsiString& piece, std::int32_t speed) = 0;
};

struct PieceResult {
    bool printed = false; // a piece went to the window: the run yields
    bool usedUp = false;  // the message is now empty: it is recorded as read
};

// One step: a sign at the start of the rest is acted on, otherwise the text up to the next sign
// is printed. Nothing happens when the record holds no message.
PieceResult HandMessagePiece(TGameState& state, MessageWindowSink& window);
