// PanelLayout: builds a screen's panel tree from a table of rows (name, kind, parent, place, size,
// picture or text, block counts, flags), so that each screen keeps its layout as data in its own
// file and wires only its events in code.
#pragma once

#include "graphics/panels/TXeRGBPanel.h"

#include <cstdint>
#include <span>
#include <vector>

enum TPanelKind : std::uint8_t { pkPanel, pkButton, pkNumber, pkText };

// Row flags.
inline constexpr unsigned plHidden = 1;  // made invisible
inline constexpr unsigned plKeys = 2;    // takes keys (KeyControl)
inline constexpr unsigned plNoMouse = 4; // not hit by the mouse (MouseControl off)

// The block ranges of a button's strip, in the order TXeRGBBtn stacks them.
struct TButtonPatterns {
    int normal = 1;
    int focus = 0;
    int selected = 0;
    int down = 0;
    int disable = 0;
};

inline constexpr int kNoParent = -1;
inline constexpr int kNoPart = -1;

struct TPanelRow {
    const char* name;
    TPanelKind kind;
    int parent; // the index of an earlier row, or kNoParent for a panel that its screen attaches
    int x;
    int y;
    int width;        // 0 keeps the kind's own size
    int height;
    const char* text; // the picture's file name (the panel's Text), or a text panel's text
    int blocks;       // NumBlock of a plain panel (0 keeps it); a button's comes from its patterns
    unsigned flags;
    TButtonPatterns patterns; // buttons only
    int part;                 // the part of the screen's parts sheet it shows, or kNoPart
};

// Makes one panel per row, in order, owned by `owner`, with Name, place, size, Text, blocks and
// flags from the row; the result is indexed like the rows. A parent index that does not name an
// earlier row leaves the panel without a parent.
std::vector<TXeRGBPanel*> BuildPanels(TComponent* owner, std::span<const TPanelRow> rows);
