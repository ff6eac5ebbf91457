// TSongID: song code order, text, folder name and the identity file's version rule.
#include "scenario/records/TSongID.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace {

// The prefixes the order knows, in order; row 0 is the game's own.
constexpr std::array<std::string_view, 10> SongPrefixes = {"TV", "WX", "YB", "VN", "UQ", "PJ", "XM", "NB", "ZT", "RZ"};

int PrefixRow(const TSongID& code)
{
    const std::string_view prefix(code.FCode, 2);
    const auto found = std::find(SongPrefixes.begin(), SongPrefixes.end(), prefix);
    return static_cast<int>(found - SongPrefixes.begin());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

TSongID TSongID::FromText(std::string_view text)
{
    TSongID code{};
    std::memcpy(code.FCode, text.data(), std::min<std::size_t>(text.size(), sizeof code.FCode));
    return code;
}

TSongID StringToTag4(std::string_view text)
{
    TSongID code{};
    if (text.size() != sizeof code.FCode)
        return code;
    for (std::size_t i = 0; i < sizeof code.FCode; ++i)
        code.FCode[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    return code;
}

int CompareSongId(const TSongID& a, const TSongID& b)
{
    const int rowA = PrefixRow(a);
    const int rowB = PrefixRow(b);
    if (rowA != rowB)
        return rowA < rowB ? -1 : 1;
    for (std::size_t i = 0; i < sizeof a.FCode; ++i) {
        const auto ca = static_cast<unsigned char>(a.FCode[i]);
        const auto cb = static_cast<unsigned char>(b.FCode[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            break;
    }
    return 0;
}

AnsiString SongIdCode(const TSongID& code)
{
    return AnsiString(code.FCode, strnlen(code.FCode, sizeof code.FCode));
}

AnsiString SongFolderName(const TSongID& code)
{
    const AnsiString text = SongIdCode(code);
    const bool unsafe = std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || c == '.' || byte < 0x20 || byte == 0x7F;
    });
    if (text.empty() || unsafe)
        return {};
    return "Song\\" + text;
}

int ParseVersionNumber(std::string_view text)
{
    if (text.size() != 7 || !IsDigit(text[3]) || !IsDigit(text[5]) || !IsDigit(text[6]))
        return 0;
    return (text[3] - '0') * 100 + (text[5] - '0') * 10 + (text[6] - '0');
}
