// TAvgUnit: message pieces, the text windows' operations and the skip and auto buttons.
#include "scenario/adventure/TAvgUnit.h"

#include "scenario/adventure/AvgHost.h"
#include "scenario/records/TGameState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/text/MessagePieces.h"
#include "scenario/text/TextPrint.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"

// The message window or novel window the record's pieces go to.
class TAvgUnit::MessageSink final : public MessageWindowSink {
public:
    explicit MessageSink(TAvgUnit& unit) : unit_(unit) {}
    void NewLine() override { unit_.TextNewLine(); }
    void ClearText() override { unit_.TextClear(); }
    void PrintPiece(const AnsiString& piece, std::int32_t speed) override { unit_.PrintPiece(piece, speed); }

private:
    TAvgUnit& unit_;
};

bool TAvgUnit::HasMessageText() { return !State().GetCurrentMessage().empty(); }

bool TAvgUnit::PrintMessagePiece(TScriptEngine& engine)
{
    MessageSink sink(*this);
    const PieceResult result = HandMessagePiece(State(), sink);
    if (result.printed)
        engine.Yield();
    return result.usedUp;
}

void TAvgUnit::MarkMessageRead() { State().SetMessageRead(context_.readMes); }

void TAvgUnit::WriteAutoSave() { SaveGameSlot(context_.host.SaveFolder(), 0, context_.records); }

void TAvgUnit::PrintPiece(const AnsiString& piece, std::int32_t speed)
{
    const TGameState& s = State();
    const TextPrintInput input{speed,
                               modes_.Skip(),
                               modes_.Ctrl(),
                               s.GetNoSkip(),
                               context_.config.AllTextSkip != 0,
                               s.GetReadFlag(),
                               context_.config.UserTextSpeed};
    const TextPrintResult result = TextPrint(*windows_, s.GetNovel(), piece, input);
    if (result.stopSkipButton) {
        modes_.StopSkip();
        SelectButtons();
    }
    if (result.printing)
        SetWaitState(WaitState::TextPrinting);
}

void TAvgUnit::SelectButtons() { windows_->MesWinSelectButtons(modes_.Auto(), modes_.Skip()); }

void TAvgUnit::SetPageWaitSign(bool on)
{
    if (State().GetNovel())
        windows_->NovelWinSetWaitSign(on);
    else
        windows_->MesWinSetWaitSign(on);
}

bool TAvgUnit::TextWindowBusy() const { return windows_->MesWinIsActive() || windows_->NovelWinIsActive(); }

void TAvgUnit::TextNewLine()
{
    if (State().GetNovel())
        windows_->NovelWinNewLine();
    else
        windows_->MesWinNewLine();
}

void TAvgUnit::TextClear()
{
    if (State().GetNovel())
        windows_->NovelWinClearText();
    else
        windows_->MesWinClearText();
}

void TAvgUnit::WaitText()
{
    const bool atOnce = Skipping();
    const bool novel = State().GetNovel();
    const bool shown = novel ? windows_->NovelWin().IsReady() : windows_->MesWin().IsReady();
    if (State().GetTextWindow() && !shown)
        novel ? windows_->NovelWinOpen(atOnce) : windows_->MesWinOpen(atOnce);
    else if (!State().GetTextWindow() && shown)
        novel ? windows_->NovelWinClose(atOnce) : windows_->MesWinClose(atOnce);
    if (TextWindowBusy())
        SetWaitState(WaitState::TextPrinting);
}

void TAvgUnit::TextReprint()
{
    const TGameState& s = State();
    const bool novel = s.GetNovel();
    TextClear();
    const int last = s.GetCurrentWindowLine();
    for (int i = 0; i <= last; ++i) {
        const AnsiString line = s.GetWindowLine(i);
        novel ? windows_->NovelWinSetText(line, 0) : windows_->MesWinSetText(line, 0);
        if (i < last)
            TextNewLine();
    }
}

void TAvgUnit::TextReset()
{
    const bool atOnce = Skipping();
    windows_->MesWinClearText();
    windows_->NovelWinClearText();
    if (State().GetTextWindow()) {
        if (State().GetNovel()) {
            windows_->MesWinClose(atOnce);
            windows_->NovelWinOpen(atOnce);
        } else {
            windows_->NovelWinClose(atOnce);
            windows_->MesWinOpen(atOnce);
        }
        if (TextWindowBusy())
            SetWaitState(WaitState::TextPrinting);
    }
    ShowClockWindows();
}

void TAvgUnit::Wait(std::int64_t milliseconds)
{
    const bool skipping = Skipping();
    if (skipping)
        windows_->SetClock();
    waits_.StartTimed(milliseconds, skipping);
    SetWaitState(WaitState::Timed);
}
