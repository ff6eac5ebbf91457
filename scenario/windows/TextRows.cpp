#include "scenario/windows/TextRows.h"

#include "platform/codepage/CodePage.h"

#include <cstring>

TextRows::TextRows(int rowCount) : rows_(static_cast<std::size_t>(rowCount)) { Clear(); }

bool TextRows::Append(std::string_view text)
{
    if (row_ < 0 || row_ >= RowCount())
        return false;
    char* row = rows_[static_cast<std::size_t>(row_)].data();
    const int before = count_;
    for (std::size_t i = 0; i < text.size() && count_ < RowChars;) {
        if (!CodePage::IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        if (i + 1 >= text.size())
            break;
        row[2 * count_] = text[i];
        row[2 * count_ + 1] = text[i + 1];
        ++count_;
        i += 2;
    }
    row[2 * count_] = '\0';
    return count_ != before;
}

void TextRows::NewLine()
{
    if (row_ < RowCount())
        ++row_;
    count_ = 0;
    if (row_ < RowCount())
        rows_[static_cast<std::size_t>(row_)].fill('\0');
}

void TextRows::Clear()
{
    for (auto& row : rows_)
        row.fill('\0');
    row_ = 0;
    count_ = 0;
}

std::string_view TextRows::Text(int r) const
{
    if (r < 0 || r >= RowCount())
        return {};
    const char* row = rows_[static_cast<std::size_t>(r)].data();
    return {row, strnlen(row, RowBytes)};
}
