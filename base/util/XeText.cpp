// Text utilities for Shift_JIS strings: bounded copy, line splitting, hex, front and rear, trimming,
// wildcard matching of file names, full-width integers.
#include "base/util/XeText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The lead bytes the bounded copy recognises.
bool IsCopyLeadByte(unsigned char c) { return (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF); }

// The lead and trail bytes the wildcard match recognises.
bool IsMatchLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsMatchTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

bool IsDoubleByteAt(const char* p)
{
    return IsMatchLeadByte(static_cast<unsigned char>(p[0])) && IsMatchTrailByte(static_cast<unsigned char>(p[1]));
}

char FoldLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Matches one pattern segment (up to "*" or the end of the pattern) at the name's current place,
// advancing both on success. At the end of the pattern the name must end too; a name that has only
// a final "." left also counts as ended, as file names with a trailing dot do.
bool MatchSegment(const char*& pattern, const char*& name)
{
    const char* p = pattern;
    const char* n = name;
    for (;;) {
        if (*p == '*')
            break;
        if (*p == '\0') {
            if (*n == '.' && n[1] == '\0')
                ++n;
            if (*n != '\0')
                return false;
            break;
        }
        if (IsDoubleByteAt(p)) {
            if (n[0] != p[0] || n[1] != p[1])
                return false;
            p += 2;
            n += 2;
        } else if (*p == '?') {
            ++p;
            if (*n != '\0' && *n != '.')
                ++n;
        } else {
            if (*n == '\0' || FoldLetter(*p) != FoldLetter(*n))
                return false;
            ++p;
            ++n;
        }
    }
    pattern = p;
    name = n;
    return true;
}

// Which bytes of s are blank: single-byte characters whose signed value is at most 32.
std::vector<bool> BlankBytes(const AnsiString& s)
{
    std::vector<bool> blank(s.size(), false);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (StrByteType(s, i) == mbLeadByte) {
            ++i;
            continue;
        }
        blank[i] = static_cast<signed char>(s[i]) <= 32;
    }
    return blank;
}

} // namespace

char* hstrncpy(char* dst, const char* src, unsigned int n, bool stopAtComma)
{
    unsigned int copied = 0;
    while (copied < n) {
        const unsigned char c = static_cast<unsigned char>(src[copied]);
        if (c == '\0' || c == '\r' || (stopAtComma && c == ','))
            break;
        if (IsCopyLeadByte(c)) {
            // A lead byte without its trail byte, or one that would pass n, is not copied.
            if (src[copied + 1] == '\0' || copied + 2 > n)
                break;
            dst[copied] = src[copied];
            dst[copied + 1] = src[copied + 1];
            copied += 2;
        } else {
            dst[copied] = src[copied];
            ++copied;
        }
    }
    dst[copied] = '\0';
    return dst;
}

void SeparateString(const AnsiString& s, std::span<AnsiString> out)
{
    std::size_t start = 0;
    for (AnsiString& entry : out) {
        if (start > s.size()) {
            entry.clear();
            continue;
        }
        const std::size_t end = std::min(s.find('\n', start), s.size());
        entry = s.substr(start, end - start);
        start = end + 1;
    }
}

int HexToInt(const AnsiString& s)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < s.size() && i < 8; ++i) {
        const char c = FoldLetter(s[i]);
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        value = value * 16 + digit;
    }
    return static_cast<int>(value);
}

AnsiString DivideFront(const AnsiString& s, int n)
{
    const long long count = std::min<long long>(n, static_cast<long long>(s.size()));
    return count < 1 ? AnsiString() : s.substr(0, static_cast<std::size_t>(count));
}

AnsiString DivideRear(const AnsiString& s, int n)
{
    const std::size_t from = static_cast<std::size_t>(std::max(n, 1)) - 1;
    return from >= s.size() ? AnsiString() : s.substr(from);
}

AnsiString XeTrim(const AnsiString& s) { return XeTrimRight(XeTrimLeft(s)); }

AnsiString XeTrimLeft(const AnsiString& s)
{
    const std::vector<bool> blank = BlankBytes(s);
    const auto first = std::find(blank.begin(), blank.end(), false);
    return s.substr(static_cast<std::size_t>(first - blank.begin()));
}

AnsiString XeTrimRight(const AnsiString& s)
{
    const std::vector<bool> blank = BlankBytes(s);
    const auto last = std::find(blank.rbegin(), blank.rend(), false);
    return s.substr(0, static_cast<std::size_t>(blank.rend() - last));
}

bool WildCardCmp(const char* pattern, const char* name)
{
    if (pattern == nullptr || name == nullptr)
        return false;
    const char* p = pattern;
    const char* n = name;
    if (!MatchSegment(p, n))
        return false;
    while (*p == '*') {
        while (*p == '*')
            ++p;
        if (*p == '\0')
            return true;
        // The next segment matches at the first place of the name from here on where it can.
        for (;;) {
            const char* tryPattern = p;
            const char* tryName = n;
            if (MatchSegment(tryPattern, tryName)) {
                p = tryPattern;
                n = tryName;
                break;
            }
            if (*n == '\0')
                return false;
            n += IsDoubleByteAt(n) ? 2 : 1;
        }
    }
    return true;
}

AnsiString IntToWideStr(int value, int digits)
{
    static constexpr char kMinus[] = "\x81\x7C";
    const int places = 10;
    const int width = std::clamp(digits, 1, places);
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char decimal[places];
    for (int i = places - 1; i >= 0; --i) {
        decimal[i] = static_cast<char>(magnitude % 10);
        magnitude /= 10;
    }
    AnsiString text = value < 0 ? kMinus : "";
    int i = 0;
    while (i < places - width && decimal[i] == 0)
        ++i;
    for (; i < places; ++i) {
        text += '\x82';
        text += static_cast<char>(0x4F + decimal[i]);
    }
    return text;
}
