// PanelLayout: builds a screen's panel tree from a table of rows (name, kind, parent, place, size,
// picture, blocks, button look, mouse and visibility), so that each screen states its tree as data
// in its own file and finds its panels by name.
#pragma once

#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <span>
#include <string_view>
#include <utility>
#include <vector>

// Number panels show digits from a ten-band strip; text panels render their own text.
enum class PanelKind : std::uint8_t { Panel, Button, Number, Text };

// A button's block counts per state and its animation (TXeRGBBtn).
struct ButtonLook {
    int normal = 1;
    int focus = 0;
    int selected = 0;
    int down = 0;
    int disable = 0;
    int animeWait = 1;
    TBtnAnimeType animeType = batWraparound;
};

struct PanelRow {
    const char* name;
    PanelKind kind;
    const char* parent; // a row listed before this one, or null: the screen attaches it later
    int x, y, width, height;
    const char* picture; // the file the picture handler loads, held as the panel's text; or null
    int blocks = 1;      // the picture's blocks (a button's come from its look)
    ButtonLook look = {};
    bool mouse = true;
    bool visible = true;
};

class PanelLayout {
public:
    // Makes the rows' panels owned by `owner`, AutoSize off; rows with a picture get the two
    // handlers as OnCreate and OnRelease.
    PanelLayout(TComponent* owner, std::span<const PanelRow> rows, const TNotifyEvent& pictureCreate = {},
                const TNotifyEvent& pictureRelease = {});

    // The panel made for the row of that name; std::out_of_range for a name not in the table.
    TXeRGBPanel* operator[](std::string_view name) const;
    TXeRGBBtn* Button(std::string_view name) const;
    // The panel made for the row at that index of the table.
    TXeRGBPanel* Row(std::size_t index) const { return panels_.at(index).second; }

private:
    std::vector<std::pair<std::string_view, TXeRGBPanel*>> panels_;
};
