// TXeCsvRead: reads a comma-separated table and exposes the cells of its flagged rows and columns.
#include "base/util/TXeCsvRead.h"

#include "platform/classes/Stream.h"
#include "platform/classes/StringList.h"
#include "platform/codepage/CodePage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

namespace {

// More cells than any table of the game holds by far; a bigger table is taken as broken input
// rather than an allocation to attempt.
constexpr std::size_t kMaxCells = std::size_t{1} << 24;

// The byte that flags a cell starting at `start`: its first byte, or the byte after an opening
// quote when the quote is not the line's last byte.
char FlagOf(const AnsiString& line, int start)
{
    const auto at = static_cast<std::size_t>(start - 1);
    if (line[at] == '"' && at + 1 < line.size())
        return line[at + 1];
    return line[at];
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The leading decimal number of a text, as the C library's atoi reads it, clamped to the int range.
int LeadingNumber(const AnsiString& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : std::min(value, static_cast<long long>(INT_MAX));
    return static_cast<int>(value);
}

} // namespace

TXeCsvRead::TXeCsvRead() = default;
TXeCsvRead::~TXeCsvRead() = default;

void TXeCsvRead::Clear()
{
    lines_.reset();
    cells_.clear();
    sizeX_ = 0;
    sizeY_ = 0;
}

int TXeCsvRead::NextCell(const AnsiString& line, int position)
{
    if (position < 1)
        return 0;
    const std::size_t length = line.size();
    std::size_t p = static_cast<std::size_t>(position);
    // The first byte may sit anywhere in the line, so its class needs the scan from the line's
    // start; every later step lands on a character boundary, where the lead-byte test is enough.
    bool lead = ByteType(line, position) == mbLeadByte;
    auto leadAt = [&line](std::size_t q) { return CodePage::IsLeadByte(static_cast<unsigned char>(line[q - 1])); };
    while (p <= length) {
        const char c = line[p - 1];
        if (c == ',')
            break;
        if (lead) {
            p += 2;
        } else if (c == '"') {
            ++p;
            while (p <= length && line[p - 1] != '"')
                p += leadAt(p) ? 2 : 1;
            if (p <= length)
                ++p;
        } else {
            ++p;
        }
        lead = p <= length && leadAt(p);
    }
    if (p <= length)
        ++p; // over the comma
    return p > length ? 0 : static_cast<int>(p);
}

AnsiString TXeCsvRead::CutCell(const AnsiString& line, int position)
{
    const auto size = static_cast<long long>(line.size());
    if (position < 1 || position > size)
        return {};
    const int next = NextCell(line, position);
    const long long length = next < 1 ? size - position + (line.back() != ',' ? 1 : 0) : next - position - 1;
    if (length <= 0)
        return {};
    AnsiString cell = line.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(length));
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
        cell = cell.substr(1, cell.size() - 2);
    return cell;
}

bool TXeCsvRead::Read(TStream* stream)
{
    Clear();
    if (stream == nullptr)
        return false;
    try {
        lines_ = std::make_unique<TStringList>();
        lines_->LoadFromStream(*stream);
        if (!Build()) {
            Clear();
            return false;
        }
    } catch (const std::exception&) {
        Clear();
        return false;
    }
    SetPos(0, 0);
    return true;
}

bool TXeCsvRead::Build()
{
    const TStringList& lines = *lines_;
    if (lines.Count() < 2)
        return false;

    // Header: the first cell flags the rows and is skipped. Every further cell is a column: a data
    // column under "#", ignored under anything else; columns from a "!" on are never data.
    const AnsiString& header = lines[0];
    std::vector<bool> dataColumn;
    bool stopped = false;
    for (int c = NextCell(header, 1); c > 0; c = NextCell(header, c)) {
        const char flag = FlagOf(header, c);
        stopped = stopped || flag == '!';
        dataColumn.push_back(!stopped && flag == '#');
        if (dataColumn.back())
            ++sizeX_;
    }
    if (sizeX_ == 0)
        return false;

    // Rows: a non-empty line whose first cell is "#"; a "!" line ends them.
    for (int i = 1; i < lines.Count(); ++i) {
        const AnsiString& line = lines[i];
        if (line.empty())
            continue;
        const char flag = FlagOf(line, 1);
        if (flag == '!')
            break;
        if (flag == '#')
            ++sizeY_;
    }
    if (sizeY_ == 0 || static_cast<std::size_t>(sizeX_) * static_cast<std::size_t>(sizeY_) > kMaxCells)
        return false;
    cells_.assign(static_cast<std::size_t>(sizeX_) * static_cast<std::size_t>(sizeY_), Cell{});

    // The same walk again, now placing each data row's cells under the data columns.
    int row = 0;
    for (int i = 1; i < lines.Count() && row < sizeY_; ++i) {
        const AnsiString& line = lines[i];
        if (line.empty() || FlagOf(line, 1) != '#')
            continue;
        int column = 0;
        std::size_t headerCell = 0;
        for (int c = NextCell(line, 1); c > 0 && column < sizeX_ && headerCell < dataColumn.size();
             c = NextCell(line, c), ++headerCell) {
            if (dataColumn[headerCell])
                cells_[static_cast<std::size_t>(row) * sizeX_ + column++] = Cell{c, i};
        }
        ++row;
    }
    return true;
}

const TXeCsvRead::Cell* TXeCsvRead::Find(int x, int y) const
{
    if (x < 0 || x >= sizeX_ || y < 0 || y >= sizeY_)
        return nullptr;
    const Cell& cell = cells_[static_cast<std::size_t>(y) * sizeX_ + x];
    return cell.start < 1 || cell.line <= 0 ? nullptr : &cell;
}

AnsiString TXeCsvRead::GetAnsiString(int x, int y) const
{
    const Cell* cell = Find(x, y);
    return cell == nullptr ? AnsiString() : CutCell((*lines_)[cell->line], cell->start);
}

int TXeCsvRead::GetValue(int x, int y) const
{
    return Find(x, y) == nullptr ? 0 : LeadingNumber(GetAnsiString(x, y));
}

bool TXeCsvRead::GetText(int x, int y, char* buffer, int size) const
{
    if (Find(x, y) == nullptr || buffer == nullptr || size < 1)
        return false;
    const AnsiString cell = GetAnsiString(x, y);
    // As strncpy: the copy ends at the first zero byte; unlike it, the buffer is always terminated.
    const std::size_t length = strnlen(cell.c_str(), std::min(cell.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(buffer, cell.data(), length);
    buffer[length] = '\0';
    return true;
}

void TXeCsvRead::SetPos(int x, int y)
{
    cursorX_ = x;
    cursorY_ = y;
}

int TXeCsvRead::StepCursor()
{
    const int x = cursorX_;
    if (cursorX_ < INT_MAX)
        ++cursorX_;
    return x;
}

int TXeCsvRead::GetValue() { return GetValue(StepCursor(), cursorY_); }

bool TXeCsvRead::GetText(char* buffer, int size) { return GetText(StepCursor(), cursorY_, buffer, size); }

AnsiString TXeCsvRead::GetAnsiString() { return GetAnsiString(StepCursor(), cursorY_); }
