// RankingName: draws a short name (a ranking name) into a panel's own picture, one 17 x 34 cell of
// an alphabet picture per character. The name entry and the song score screen use it.
#pragma once

#include "platform/classes/AnsiString.h"

class TFileMan;
class TXeAlpha;
class TXeRGBBits;
class TXeRGBPanel;

// The alphabet picture is one column of 45 cells from the top: "A" to "Z", "-#.:/!?", "0" to "9",
// "*", "+". Logic thread only.
class RankingName {
public:
    static constexpr int kCellWidth = 17;
    static constexpr int kCellHeight = 34;
    static constexpr int kCells = 45;

    RankingName() = default;
    ~RankingName() { FreePictures(); }
    RankingName(const RankingName&) = delete;
    RankingName& operator=(const RankingName&) = delete;

    // A drawer made through the memory registry with the named alphabet loaded; null (nothing left
    // behind) when either fails.
    static RankingName* Create(TFileMan* files, const AnsiString& fileName);

    // Frees the old pictures and loads the named picture with its alpha plane, through the memory
    // registry; true when loaded.
    bool LoadPictures(TFileMan* files, const AnsiString& fileName);
    void FreePictures();
    bool HasPictures() const { return FBits != nullptr; }
    TXeRGBBits* Bits() const { return FBits; }
    TXeAlpha* Alpha() const { return FAlpha; }

    // The cell of a character, -1 for one without (the blank among them).
    static int CellOf(char c);

    // Draws the text into the panel's bitmap and alpha plane: the panel becomes 17 pixels wide per
    // character (no wider than its picture), the picture is cleared, and each character with a cell
    // that fits in the picture is copied in; a double-byte character ends the text. Nothing unless
    // the alphabet is loaded and the panel has a bitmap and an alpha plane and is at most 34 pixels
    // high. The panel is flagged for redrawing whenever something was drawn.
    void Draw(TXeRGBPanel* panel, const AnsiString& text) const;

private:
    TXeRGBBits* FBits = nullptr;
    TXeAlpha* FAlpha = nullptr;
};
