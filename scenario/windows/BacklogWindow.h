// BacklogWindow: the full-screen page of 16 rows through which the player reads earlier messages,
// with its scroll bar, thumb, arrows and close button; it reports to the adventure screen with
// codes (1 and 3 clicks, 4 the scroll position changed, 6 close the backlog).
#pragma once

#include "scenario/windows/FadedWindow.h"
#include "scenario/windows/RowRenderer.h"
#include "scenario/windows/TextRows.h"

#include "platform/classes/Controls.h"

#include <cstdint>
#include <functional>
#include <string_view>

class TXeRGBPanel;

struct BacklogPanels {
    TXeRGBPanel* root = nullptr;  // LogWin
    TXeRGBPanel* text = nullptr;  // LogText
    TXeRGBPanel* close = nullptr; // LogClose
    TXeRGBPanel* bar = nullptr;   // LogBar
    TXeRGBPanel* thumb = nullptr; // LogPos
    TXeRGBPanel* up = nullptr;    // LogUp
    TXeRGBPanel* down = nullptr;  // LogDown
};

class BacklogWindow : public FadedWindow {
public:
    static constexpr int RowCount = 16;
    static constexpr int RowPitch = 24;

    explicit BacklogWindow(RowRenderer& renderer) : renderer_(renderer) {}

    void SetPanels(const BacklogPanels& panels)
    {
        panels_ = panels;
        root_ = panels.root;
    }
    const BacklogPanels& Panels() const { return panels_; }

    // Appends the text's double-byte characters to the current row and shows them at once.
    // An open or close in progress goes on. Returns IsActive.
    bool SetText(std::string_view text);
    void NewLine() { rows_.NewLine(); }
    void ClearText();
    const TextRows& Rows() const { return rows_; }

    // The number of lines to scroll over (never negative); the position goes to the end.
    void SetRange(std::int32_t lines);
    // Nothing without lines; else the position clamped to 0..lines, and the thumb placed.
    void ScrollTo(std::int32_t line);
    std::int32_t ScrollPos() const { return position_; }
    std::int32_t Lines() const { return lines_; }

    // Input from the panels.
    void MouseDown(TMouseButton button);
    void BarMouseDown(TMouseButton button, int y);
    void BarMouseMove(TShiftState shift, int y);
    void UpClick() { Step(-1); }
    void DownClick() { Step(1); }
    void CloseClick() { Fire(6); }

    std::function<void(int code)> onEvent;

private:
    void ShowChildren(bool open) override;
    void Closed() override;
    void Fire(int code) const
    {
        if (onEvent)
            onEvent(code);
    }
    void Step(int delta);
    void ScrollToBar(int y);
    int Travel() const;

    RowRenderer& renderer_;
    BacklogPanels panels_;
    TextRows rows_{RowCount};
    std::int32_t lines_ = 0;
    std::int32_t position_ = 0;
};
