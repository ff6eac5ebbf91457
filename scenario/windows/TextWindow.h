// TextWindow: a window that prints message text (the message window and the novel window): its
// rows, the open and close life cycle with its fade countdown, and printing a row character by
// character from a work plane onto the text layer, flagging only the characters newly shown.
#pragma once

#include "scenario/windows/FadedWindow.h"
#include "scenario/windows/RowRenderer.h"
#include "scenario/windows/TextRows.h"
#include "scenario/windows/WindowDrawing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class TXeAlpha;
class TXeRGBPanel;

// The panels a text window drives.
struct TextWindowPanels {
    TXeRGBPanel* root = nullptr;     // the window; shown and hidden as a whole
    TXeRGBPanel* text = nullptr;     // the text layer: a text-coloured bitmap with a coverage plane
    TXeRGBPanel* waitSign = nullptr; // the page-wait sign
    std::vector<TXeRGBPanel*> shown; // buttons shown whenever the window is open
    std::vector<TXeRGBPanel*> kept;  // buttons kept hidden
};

class TextWindow : public FadedWindow {
public:
    // Pixels between the tops of two rows.
    static constexpr int RowPitch = 24;

    TextWindow(int rowCount, RowKind kind, RowRenderer& renderer);
    ~TextWindow() override;
    TextWindow(const TextWindow&) = delete;
    TextWindow& operator=(const TextWindow&) = delete;

    void SetPanels(TextWindowPanels panels)
    {
        panels_ = std::move(panels);
        root_ = panels_.root;
    }
    const TextWindowPanels& Panels() const { return panels_; }
    // The text layer's bitmap (white) with its cleared coverage plane, and the work plane; false
    // when one cannot be made.
    bool CreatePlanes(std::uint32_t textColour);
    void FreePlanes();

    bool IsOpen() const { return state_ == wsPrinting; }
    // A row still printing is shown whole first, so that it is all there when the window reopens.
    bool Close(bool atOnce);
    // Appends the text's double-byte characters to the current row and starts printing them at
    // `speed` hundredths of a frame per character (0, or a hidden window: at once). Characters of
    // an earlier piece not shown yet stay in the print; a fade in progress ends first. Returns
    // IsActive.
    bool SetText(std::string_view text, std::int32_t speed);
    void NewLine();
    void ClearText();
    // One frame step: a fade, or printing; returns IsActive.
    bool Update(int frames, bool finish);

    bool WaitSignFlag() const { return waitSign_; }
    void SetWaitSignFlag(bool on) { waitSign_ = on; }
    const TextRows& Rows() const { return rows_; }
    // A character's cell is as wide as the row is high (18 pixels, novel 20).
    int CellWidth() const { return RowRenderer::Height(kind_); }
    std::int32_t Speed() const { return speed_; }

    std::function<void(int code)> onEvent;
    void Fire(int code) const
    {
        if (onEvent)
            onEvent(code);
    }

private:
    void ShowChildren(bool open) override;
    void Closed() override;
    // Copies characters [from, to) of the current row from the work plane to the text layer.
    void Reveal(int from, int to);
    TXeAlpha* Layer() const;

    TextRows rows_;
    RowKind kind_;
    RowRenderer& renderer_;
    TextWindowPanels panels_;
    std::unique_ptr<TXeAlpha> work_;
    std::int32_t speed_ = 100;
    int first_ = 0;    // the first character of the row being printed
    int revealed_ = 0; // characters of the current row on the text layer
    bool waitSign_ = false;
};
