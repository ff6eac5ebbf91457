// AnsiString helpers: byte types, backslash path parts, case folding, integer conversion.
#include "platform/classes/AnsiString.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include <charconv>

TMbcsByteType StrByteType(std::string_view s, std::size_t index)
{
    if (index >= s.size())
        return mbSingleByte;
    // Walk from the start: only a scan from a known character boundary can tell a trail byte.
    // A lead byte is a lead byte even when nothing follows it.
    const int codePage = CodePage::Ansi();
    std::size_t i = 0;
    while (i < index) {
        const bool lead = CodePage::IsLeadByte(static_cast<unsigned char>(s[i]), codePage);
        if (lead && i + 1 == index)
            return mbTrailByte;
        i += lead ? 2 : 1;
    }
    return CodePage::IsLeadByte(static_cast<unsigned char>(s[index]), codePage) ? mbLeadByte : mbSingleByte;
}

TMbcsByteType ByteType(std::string_view s, int index)
{
    if (index < 1)
        return mbSingleByte;
    return StrByteType(s, static_cast<std::size_t>(index - 1));
}

namespace {

// Index of the last single-byte character of `s` that is one of `delimiters`, or npos.
std::size_t LastDelimiter(std::string_view s, std::string_view delimiters)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (CodePage::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (delimiters.find(s[i]) != std::string_view::npos)
            found = i;
    }
    return found;
}

char FoldUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char FoldLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

AnsiString ExtractFilePath(std::string_view name)
{
    const std::size_t at = LastDelimiter(name, "\\:");
    return at == std::string_view::npos ? AnsiString() : AnsiString(name.substr(0, at + 1));
}

AnsiString ExtractFileDir(std::string_view name)
{
    const std::size_t at = LastDelimiter(name, "\\:");
    if (at == std::string_view::npos)
        return {};
    // The separator goes unless it follows another separator or a drive's ":" (a root keeps it).
    const bool afterDelimiter = at > 0 && StrByteType(name, at - 1) == mbSingleByte &&
                                (name[at - 1] == '\\' || name[at - 1] == ':');
    const bool dropSeparator = at > 0 && name[at] == '\\' && !afterDelimiter;
    return AnsiString(name.substr(0, dropSeparator ? at : at + 1));
}

AnsiString ExtractFileName(std::string_view name)
{
    const std::size_t at = LastDelimiter(name, "\\:");
    return AnsiString(at == std::string_view::npos ? name : name.substr(at + 1));
}

AnsiString ExtractFileExt(std::string_view name)
{
    const std::size_t at = LastDelimiter(name, ".\\:");
    if (at == std::string_view::npos || name[at] != '.')
        return {};
    return AnsiString(name.substr(at));
}

AnsiString ChangeFileExt(std::string_view name, std::string_view ext)
{
    const std::size_t at = LastDelimiter(name, ".\\:");
    const std::size_t stem = (at == std::string_view::npos || name[at] != '.') ? name.size() : at;
    return AnsiString(name.substr(0, stem)) + AnsiString(ext);
}

AnsiString IncludeTrailingBackslash(std::string_view name)
{
    AnsiString result(name);
    if (!result.empty() && LastDelimiter(result, "\\") != result.size() - 1)
        result += '\\';
    return result;
}

AnsiString UpperCase(std::string_view s)
{
    AnsiString result(s);
    for (char& c : result)
        c = FoldUpper(c);
    return result;
}

AnsiString LowerCase(std::string_view s)
{
    AnsiString result(s);
    for (char& c : result)
        c = FoldLower(c);
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldUpper(a[i]) != FoldUpper(b[i]))
            return false;
    return true;
}

AnsiString IntToStr(long long value) { return std::to_string(value); }

int StrToInt(std::string_view s)
{
    std::string_view digits = s;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
        throw EConvertError("'" + AnsiString(s) + "' is not a valid integer value");
    return value;
}

int StrToIntDef(std::string_view s, int fallback)
{
    try {
        return StrToInt(s);
    } catch (const EConvertError&) {
        return fallback;
    }
}
