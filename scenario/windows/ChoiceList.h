// ChoiceList: the box of up to four rows with a cursor bar through which the scenario asks the
// player to pick a line; it reports with codes (1, 2, 3 clicks; 5 the cursor row is chosen).
#pragma once

#include "scenario/windows/FadedWindow.h"
#include "scenario/windows/RowRenderer.h"

#include "platform/classes/Controls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

class TXeRGBPanel;

struct ChoicePanels {
    TXeRGBPanel* root = nullptr;   // SelWin
    TXeRGBPanel* cursor = nullptr; // SelCur
    TXeRGBPanel* text = nullptr;   // SelText
};

class ChoiceList : public FadedWindow {
public:
    static constexpr int RowCount = 4;
    static constexpr int RowPitch = 24;
    static constexpr int CursorTop = 14;

    explicit ChoiceList(RowRenderer& renderer) : renderer_(renderer) {}

    void SetPanels(const ChoicePanels& panels)
    {
        panels_ = panels;
        root_ = panels.root;
    }
    const ChoicePanels& Panels() const { return panels_; }

    // The cursor goes to row 0 first.
    bool Open(bool atOnce);
    // Empties the rows and disables rows 1 to 3.
    void ClearText();
    // Row 0..3 (others ignored): the text cut to 52 bytes without splitting a character, single-
    // byte characters kept; rows 1 to 3 are enabled exactly when the text is not empty.
    void SetText(int row, std::string_view text);
    std::string_view Text(int row) const;
    bool Enabled(int row) const { return row == 0 || (row > 0 && row < RowCount && enabled_[static_cast<std::size_t>(row)]); }

    // Refuses rows outside 0..3 and disabled rows.
    void SetCursor(int row);
    // Idle only: up to the nearest enabled row above (row 0 when none), down to the nearest
    // enabled row below (no move when none).
    void CursorUp();
    void CursorDown();
    int Cursor() const { return cursor_; }

    // Input from the panels; y in SelText's coordinates.
    void WindowMouseDown(TMouseButton button);
    void TextMouseMove(int y);
    void TextMouseDown(TMouseButton button, int y);
    // The row under a point of SelText (rows 20 pixels high, 4-pixel gaps), or -1.
    static int RowAt(int y);

    std::function<void(int code)> onEvent;

private:
    void ShowChildren(bool open) override;
    void Closed() override;
    void Fire(int code) const
    {
        if (onEvent)
            onEvent(code);
    }

    RowRenderer& renderer_;
    ChoicePanels panels_;
    std::array<std::array<char, 53>, RowCount> rows_{};
    std::array<bool, RowCount> enabled_{};
    int cursor_ = 0;
};
