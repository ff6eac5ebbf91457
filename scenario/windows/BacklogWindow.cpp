#include "scenario/windows/BacklogWindow.h"

#include "graphics/panels/TXeRGBPanel.h"

#include <algorithm>

bool BacklogWindow::SetText(std::string_view text)
{
    if (rows_.Append(text)) {
        const int y = RowPitch * rows_.Row();
        renderer_.Draw(rows_.Text(rows_.Row()), RowKind::List, y, *panels_.text->Alpha());
        panels_.text->SetModifyRect(XeRect(0, y, RowRenderer::Width(RowKind::List), y + RowRenderer::Height(RowKind::List)));
    }
    return IsActive();
}

void BacklogWindow::ClearText()
{
    rows_.Clear();
    panels_.text->Alpha()->Fill(0);
    panels_.text->SetModify();
}

int BacklogWindow::Travel() const { return panels_.bar->SizeY() - panels_.thumb->SizeY(); }

void BacklogWindow::SetRange(std::int32_t lines)
{
    lines_ = std::max(lines, 0);
    position_ = lines_;
    if (lines_ > 0)
        panels_.thumb->SetOffsetY(Travel());
}

void BacklogWindow::ScrollTo(std::int32_t line)
{
    if (lines_ < 1)
        return;
    position_ = std::clamp(line, 0, lines_);
    panels_.thumb->SetOffsetY(static_cast<int>(std::int64_t{Travel()} * position_ / lines_));
}

void BacklogWindow::Step(int delta)
{
    ScrollTo(position_ + delta);
    Fire(4);
}

void BacklogWindow::ScrollToBar(int y)
{
    if (lines_ > 0 && Travel() > 0)
        ScrollTo(static_cast<std::int32_t>(std::int64_t{y} * lines_ / Travel()));
}

void BacklogWindow::MouseDown(TMouseButton button)
{
    switch (button) {
    case mbLeft: Fire(1); break;
    case mbRight: Fire(6); break;
    case mbMiddle: Fire(3); break;
    }
}

void BacklogWindow::BarMouseDown(TMouseButton button, int y)
{
    if (button == mbLeft) {
        ScrollToBar(y);
        Fire(4);
    } else if (button == mbRight) {
        Fire(6);
    }
}

void BacklogWindow::BarMouseMove(TShiftState shift, int y)
{
    if ((shift & ssLeft) == 0)
        return;
    ScrollToBar(y);
    Fire(4);
}

void BacklogWindow::ShowChildren(bool open)
{
    const bool scroll = open && lines_ > 0;
    panels_.text->SetVisible(open);
    panels_.close->SetVisible(open);
    panels_.bar->SetVisible(scroll);
    panels_.up->SetVisible(scroll);
    panels_.down->SetVisible(scroll);
}

void BacklogWindow::Closed() { panels_.text->SetVisible(true); }
