// TextRows: the rows of a text window (message, novel, backlog): double-byte characters only, at
// most 26 a row, each row kept zero-terminated in 53 bytes.
#pragma once

#include <array>
#include <string_view>
#include <vector>

class TextRows {
public:
    static constexpr int RowChars = 26;
    static constexpr int RowBytes = 53;

    explicit TextRows(int rowCount);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int Row() const { return row_; }
    // Characters in the current row.
    int Count() const { return count_; }
    // Appends the text's double-byte characters to the current row until it holds 26; single-byte
    // characters are skipped and a lead byte without its trail byte is dropped. Past the last row
    // nothing is appended. True when the row grew.
    bool Append(std::string_view text);
    // The next row becomes current and empty; past the last row only the index moves on.
    void NewLine();
    void Clear();
    // Row r's text; empty for a row outside the window.
    std::string_view Text(int r) const;

private:
    std::vector<std::array<char, RowBytes>> rows_;
    int row_ = 0;
    int count_ = 0;
};
