// TXeCsvRead: reads a comma-separated table and exposes the cells of its flagged rows and columns.
#pragma once

#include "platform/classes/AnsiString.h"

#include <memory>
#include <vector>

class TStream;
class TStringList;

// Only columns whose header cell is "#" and rows whose first cell is "#" count; a "!" in the header
// ends the columns, a "!" row ends the rows. Cells are cut from the kept lines on demand: quotes
// group a cell (commas inside do not split it) and one outer pair is removed when the cell is read.
// Text is multibyte (lead bytes of the ANSI code page take their trail byte with them).
//
// Positions are 1-based byte indices into a line, as NextCell and CutCell take and give them.
class TXeCsvRead {
public:
    TXeCsvRead();
    ~TXeCsvRead();
    TXeCsvRead(const TXeCsvRead&) = delete;
    TXeCsvRead& operator=(const TXeCsvRead&) = delete;

    // Reads the whole table from the stream's position; false (and an empty reader) when it has no
    // data column or no data row, or cannot be read.
    bool Read(TStream* stream);

    int GetSizeX() const { return sizeX_; }
    int GetSizeY() const { return sizeY_; }

    // The cell's leading decimal number (blanks and a sign allowed; 0 when none, clamped to the int
    // range); 0 outside the table or for a row that has no such cell.
    int GetValue(int x, int y) const;
    // Copies the cell into buffer, cut to size - 1 bytes and always terminated; false outside the
    // table, for a missing cell, or when size < 1.
    bool GetText(int x, int y, char* buffer, int size) const;
    // The cell; empty outside the table or for a missing cell.
    AnsiString GetAnsiString(int x, int y) const;

    // The cursor: SetPos moves it (no range test); each cursor read moves it one cell right.
    void SetPos(int x, int y);
    int GetValue();
    bool GetText(char* buffer, int size);
    AnsiString GetAnsiString();

    // Start of the cell after the one holding `position`, or 0 when there is none. A comma as the
    // line's last byte does not open a further cell.
    static int NextCell(const AnsiString& line, int position);
    // The cell starting at `position`, without one pair of outer quotes.
    static AnsiString CutCell(const AnsiString& line, int position);

private:
    struct Cell {
        int start = 0; // 1-based position of the cell in its line; 0 = no cell
        int line = 0;  // index of the line
    };

    void Clear();
    // Counts the data columns and rows of the loaded lines and places the cells; false when either
    // count is 0 (or the table is absurdly large).
    bool Build();
    // The cursor's column, then moves the cursor one cell right.
    int StepCursor();
    // The cell at (x, y), or null outside the table or where the row has no such cell.
    const Cell* Find(int x, int y) const;

    std::unique_ptr<TStringList> lines_;
    std::vector<Cell> cells_; // sizeX_ * sizeY_, row by row
    int sizeX_ = 0;
    int sizeY_ = 0;
    int cursorX_ = 0;
    int cursorY_ = 0;
};
