// TGameState's message text: the current message with its read flag, the window lines and the
// newest backlog line that its pieces are written to.
#include "scenario/records/RecordText.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/text/MessageText.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsScriptNumber(std::int32_t number) { return number >= 0 && number <= 0xFFFF; }

std::uint32_t ReadKey(std::int32_t script, std::int32_t message)
{
    return static_cast<std::uint32_t>(script) * 0x10000u + static_cast<std::uint32_t>(message);
}

} // namespace

void TGameState::SetMessageSpeed(std::int32_t speed) { FMessageSpeed = std::clamp(speed, 0, 3000); }

AnsiString TGameState::GetCurrentMessage() const { return ReadText(FMessage); }

void TGameState::SetCurrentMessage(std::string_view text, std::int32_t number, const TReadMesTable& readMes)
{
    FMessageNumber = number;
    SetMessageRest(text);
    FReadFlag = number >= 1 && number <= 0xFFFF && IsScriptNumber(FScriptNumber) &&
                readMes.IsTextRead(ReadKey(FScriptNumber, number));
}

void TGameState::SetMessageRest(std::string_view rest) { StoreText(FMessage, MessageText::Cut(rest, MessageText::MessageBytes)); }

void TGameState::SetMessageRead(TReadMesTable& readMes)
{
    if (FReadFlag != 0 || FMessageNumber <= 0)
        return;
    if (FMessageNumber <= 0xFFFF && IsScriptNumber(FScriptNumber))
        readMes.SetTextRead(ReadKey(FScriptNumber, FMessageNumber));
    FMessageNumber = -1;
}

void TGameState::NewWindowLine()
{
    if (FWindowLine >= WindowLineCount - 1)
        return;
    ++FWindowLine;
    std::memset(FWindowLines[FWindowLine], 0, LineSize);
}

void TGameState::AppendWindowLine(std::string_view text)
{
    if (FWindowLine < 0 || FWindowLine >= WindowLineCount)
        return;
    char(&line)[LineSize] = FWindowLines[FWindowLine];
    StoreText(line, MessageText::Cut(ReadText(line) + AnsiString(text), MessageText::LineBytes));
}

void TGameState::AppendBacklogLine(std::string_view text)
{
    char(&line)[LineSize] = FBacklog[FBacklogLast];
    StoreText(line, MessageText::Cut(ReadText(line) + AnsiString(text), MessageText::LineBytes));
}
