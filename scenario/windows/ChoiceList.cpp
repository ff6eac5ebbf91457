#include "scenario/windows/ChoiceList.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "scenario/text/MessageText.h"

#include <cstring>

bool ChoiceList::Open(bool atOnce)
{
    SetCursor(0);
    return FadedWindow::Open(atOnce);
}

void ChoiceList::ClearText()
{
    for (auto& row : rows_)
        row.fill('\0');
    enabled_.fill(false);
    panels_.text->Alpha()->Fill(0);
    panels_.text->SetModify();
}

void ChoiceList::SetText(int row, std::string_view text)
{
    if (row < 0 || row >= RowCount)
        return;
    const AnsiString kept = MessageText::Cut(text, MessageText::LineBytes);
    auto& bytes = rows_[static_cast<std::size_t>(row)];
    bytes.fill('\0');
    std::memcpy(bytes.data(), kept.data(), kept.size());
    enabled_[static_cast<std::size_t>(row)] = row > 0 && !kept.empty();
    renderer_.Draw(kept, RowKind::List, RowPitch * row, *panels_.text->Alpha());
    panels_.text->SetModify();
}

std::string_view ChoiceList::Text(int row) const
{
    if (row < 0 || row >= RowCount)
        return {};
    const char* bytes = rows_[static_cast<std::size_t>(row)].data();
    return {bytes, strnlen(bytes, 53)};
}

void ChoiceList::SetCursor(int row)
{
    if (row < 0 || row >= RowCount || !Enabled(row))
        return;
    cursor_ = row;
    panels_.cursor->SetOffsetY(RowPitch * row + CursorTop);
}

void ChoiceList::CursorUp()
{
    if (state_ != wsIdle || cursor_ < 1)
        return;
    int row = cursor_ - 1;
    while (row > 0 && !Enabled(row))
        --row;
    SetCursor(row);
}

void ChoiceList::CursorDown()
{
    if (state_ != wsIdle)
        return;
    for (int row = cursor_ + 1; row < RowCount; ++row)
        if (Enabled(row)) {
            SetCursor(row);
            return;
        }
}

int ChoiceList::RowAt(int y)
{
    if (y < 0 || y >= RowPitch * RowCount || y % RowPitch >= RowRenderer::Height(RowKind::List))
        return -1;
    return y / RowPitch;
}

void ChoiceList::WindowMouseDown(TMouseButton button)
{
    Fire(button == mbLeft ? 1 : button == mbRight ? 2 : 3);
}

void ChoiceList::TextMouseMove(int y)
{
    const int row = RowAt(y);
    if (state_ == wsIdle && row >= 0 && row != cursor_)
        SetCursor(row);
}

void ChoiceList::TextMouseDown(TMouseButton button, int y)
{
    if (button != mbLeft) {
        WindowMouseDown(button);
        return;
    }
    const int row = RowAt(y);
    if (state_ != wsIdle || row < 0) {
        Fire(1);
        return;
    }
    if (row != cursor_)
        SetCursor(row);
    Fire(Enabled(row) ? 5 : 1);
}

void ChoiceList::ShowChildren(bool open)
{
    panels_.text->SetVisible(open);
    panels_.cursor->SetVisible(open);
}

void ChoiceList::Closed() { panels_.text->SetVisible(true); }
