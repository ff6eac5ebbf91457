// Fuzzes message text from a script string: expansion of game values, the 255-byte message, the
// pieces handed to a window, the record's window lines and backlog, a text window's rows and a
// choice row's cut. The record stays sane, every step uses some of the message up, and no cut
// leaves a lead byte without its trail byte.
#include "base/packs/TFileMan.h"
#include "platform/codepage/CodePage.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "NullScriptScreen.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/text/MessagePieces.h"
#include "scenario/text/MessageText.h"
#include "scenario/windows/TextRows.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {


class RowsWindow : public MessageWindowSink {
public:
    void NewLine() override { rows.NewLine(); }
    void ClearText() override { rows.Clear(); }
    void PrintPiece(const AnsiString& piece, std::int32_t speed) override
    {
        if (speed < 0)
            __builtin_trap();
        rows.Append(piece);
    }
    TextRows rows{16};
};

// No character is cut in two: walking by characters ends exactly at the end.
void CheckWhole(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size())
        i += CodePage::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i != text.size())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    static TFileMan files(nullptr);
    auto state = std::make_unique<TGameState>();
    auto sceneStart = std::make_unique<TGameState>();
    auto system = std::make_unique<TSystemState>();
    TReadMesTable readMes;
    NullScriptScreen screen;
    const TScriptEngine engine({files, files, *state, *sceneStart, *system, readMes, screen});
    state->SetNameText(1, input.substr(0, 100));
    const AnsiString expanded = engine.ExpandText(input);
    CheckWhole(expanded);
    state->SetScript(1, 1);
    state->SetCurrentMessage(expanded, 7, readMes);
    if (state->GetCurrentMessage().size() > MessageText::MessageBytes)
        __builtin_trap();
    RowsWindow window;
    for (int steps = 0; !state->GetCurrentMessage().empty(); ++steps) {
        const std::size_t before = state->GetCurrentMessage().size();
        HandMessagePiece(*state, window);
        if (state->GetCurrentMessage().size() >= before || !state->IsSane())
            __builtin_trap();
    }
    state->SetMessageRead(readMes);
    for (int i = 0; i < TGameState::WindowLineCount; ++i)
        CheckWhole(state->GetWindowLine(i));
    CheckWhole(state->GetBacklogLine(state->GetBacklogCount() - 1));
    const AnsiString choice = MessageText::Cut(input, MessageText::LineBytes);
    if (choice.size() > MessageText::LineBytes)
        __builtin_trap();
    CheckWhole(choice);
    return 0;
}
