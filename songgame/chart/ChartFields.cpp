#include "songgame/chart/ChartFields.h"

#include "base/util/XeText.h"

#include <climits>
#include <cstdint>

AnsiString TrimField(AnsiString& line)
{
    const std::size_t comma = line.find(',');
    AnsiString field;
    if (comma == AnsiString::npos) {
        field.swap(line);
    } else {
        field = line.substr(0, comma);
        line.erase(0, comma + 1);
    }
    return XeTrim(field);
}

int ParseFixed3(std::string_view text)
{
    std::int64_t value = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'T')
            continue;
        if (StrByteType(text, i) == mbLeadByte)
            break;
        if (c == '.') {
            if (inFraction)
                break;
            inFraction = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        value = std::min<std::int64_t>(value * 10 + (c - '0'), INT_MAX);
        if (inFraction && ++fractionDigits == 3)
            break;
    }
    for (; fractionDigits < 3; ++fractionDigits)
        value = std::min<std::int64_t>(value * 10, INT_MAX);
    return static_cast<int>(value);
}

void SplitFileExt(std::string_view name, AnsiString& base, AnsiString& ext)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        base = AnsiString(name);
        ext.clear();
        return;
    }
    base = AnsiString(name.substr(0, dot));
    ext = AnsiString(name.substr(dot));
}
