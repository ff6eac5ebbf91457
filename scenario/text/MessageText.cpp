#include "scenario/text/MessageText.h"

#include "platform/codepage/CodePage.h"

namespace MessageText {

namespace {

// The byte count of the whole characters that fit in `limit` bytes.
std::size_t WholeCharacters(std::string_view text, std::size_t limit)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t step = CodePage::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > limit || i + step > text.size())
            break;
        i += step;
    }
    return i;
}

} // namespace

AnsiString Cut(std::string_view text, std::size_t limit) { return AnsiString(text.substr(0, WholeCharacters(text, limit))); }

std::size_t FindSign(std::string_view text, char letter)
{
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == '\\' && text[i + 1] == letter)
            return i;
        i += CodePage::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return std::string_view::npos;
}

std::int32_t PieceSpeed(std::string_view piece, std::int32_t messageSpeed)
{
    // "【" in Shift-JIS opens a speaker's name, which always shows at once.
    if (messageSpeed <= 0 || piece.starts_with("\x81\x79"))
        return 0;
    return 30000 / messageSpeed;
}

} // namespace MessageText
