#include "scenario/windows/TextWindow.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/helpers/PictureLoading.h"

#include <algorithm>

TextWindow::TextWindow(int rowCount, RowKind kind, RowRenderer& renderer)
    : rows_(rowCount), kind_(kind), renderer_(renderer)
{
}

TextWindow::~TextWindow() = default;

bool TextWindow::CreatePlanes(std::uint32_t textColour)
{
    TXeRGBPanel* text = panels_.text;
    if (!RecreatePanelImage(text, mmAlpha))
        return false;
    TXeRGBBits* bits = text->Image();
    bits->BoxFill(0, 0, bits->Width() - 1, bits->Height() - 1, bits->TXeRGBtoPixel(XeRGB(textColour)));
    text->Alpha()->Fill(0);
    work_ = std::make_unique<TXeAlpha>(nullptr);
    if (!work_->Resize(RowRenderer::Width(kind_), RowRenderer::Height(kind_)) || !work_->Create()) {
        work_.reset();
        return false;
    }
    work_->Fill(0);
    return true;
}

void TextWindow::FreePlanes()
{
    FreePanelImage(panels_.text);
    work_.reset();
}

TXeAlpha* TextWindow::Layer() const { return panels_.text->Alpha(); }

void TextWindow::ShowChildren(bool open)
{
    panels_.text->SetVisible(open);
    panels_.waitSign->SetVisible(open && waitSign_);
    for (TXeRGBPanel* button : panels_.shown)
        button->SetVisible(open);
    for (TXeRGBPanel* button : panels_.kept)
        button->SetVisible(false);
}

void TextWindow::Closed()
{
    panels_.text->SetVisible(true);
    panels_.waitSign->SetVisible(false);
}

bool TextWindow::Close(bool atOnce)
{
    if (state_ == wsPrinting)
        Update(0, true);
    return FadedWindow::Close(atOnce);
}

bool TextWindow::SetText(std::string_view text, std::int32_t speed)
{
    if (!rows_.Append(text))
        return IsActive();
    // Printing takes the state over, so a fade in progress ends first: an opening window would
    // otherwise keep its text layer hidden, a closing one stay on screen.
    if (state_ == wsOpening || state_ == wsClosing)
        FadedWindow::Update(0, true);
    speed_ = panels_.root->Visible() ? std::max(speed, 0) : 0;
    const int row = rows_.Row();
    if (speed_ > 0) {
        renderer_.Draw(rows_.Text(row), kind_, 0, *work_);
        // A piece appended while an earlier one prints goes on from the first character not shown.
        first_ = revealed_;
        counter_ = 0;
        state_ = wsPrinting;
    } else {
        renderer_.Draw(rows_.Text(row), kind_, RowPitch * row, *Layer());
        panels_.text->SetModifyRect(XeRect(0, RowPitch * row, RowRenderer::Width(kind_), RowPitch * row + RowRenderer::Height(kind_)));
        revealed_ = rows_.Count();
        if (state_ == wsPrinting)
            state_ = wsIdle;
    }
    return IsActive();
}

void TextWindow::NewLine()
{
    // The rest of a row still printing goes onto the layer before the row is left.
    if (state_ == wsPrinting)
        Update(0, true);
    rows_.NewLine();
    revealed_ = 0;
}

void TextWindow::ClearText()
{
    rows_.Clear();
    revealed_ = 0;
    if (state_ == wsPrinting)
        state_ = wsIdle;
    Layer()->Fill(0);
    panels_.text->SetModify();
}

void TextWindow::Reveal(int from, int to)
{
    if (to <= from)
        return;
    const int cell = CellWidth();
    const int y = RowPitch * rows_.Row();
    const int height = RowRenderer::Height(kind_);
    Layer()->Draw(cell * from, y, work_.get(), cell * from, 0, cell * (to - from), height);
    panels_.text->SetModifyRect(XeRect(cell * from, y, cell * to, y + height));
}

bool TextWindow::Update(int frames, bool finish)
{
    if (state_ != wsPrinting)
        return FadedWindow::Update(frames, finish);
    const int count = rows_.Count();
    int target = count;
    if (!finish) {
        counter_ += 100 * std::max(frames, 0);
        target = first_ + std::min(counter_ / speed_, count - first_);
    }
    if (target > revealed_) {
        Reveal(revealed_, target);
        revealed_ = target;
    }
    if (revealed_ >= count)
        state_ = wsIdle;
    return IsActive();
}
