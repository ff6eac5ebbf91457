// TScriptEngine::ExpandText: game values put into a message's text, single-byte white space taken
// out, and double-byte characters stepped over whole.
#include "scenario/records/TGameState.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/text/MessageText.h"

#include "platform/codepage/CodePage.h"

#include <climits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal digits at `at`; a run too long for an index saturates (it names nothing anyway).
int ReadIndex(std::string_view text, std::size_t at, std::size_t& digits)
{
    int value = 0;
    digits = 0;
    while (at + digits < text.size() && IsDigit(text[at + digits])) {
        value = value > INT_MAX / 10 - 9 ? INT_MAX : value * 10 + (text[at + digits] - '0');
        ++digits;
    }
    return value;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

AnsiString TScriptEngine::ExpandText(std::string_view text) const
{
    const TGameState& state = context_.state;
    AnsiString s(text);
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '%') {
            const char letter = i + 1 < s.size() ? s[i + 1] : '\0';
            AnsiString value;
            std::size_t length = 1; // bytes replaced by the value
            if (letter == 'r') {
                value = IntToStr(state.GetFrameWord1());
                length = 2;
            } else if ((letter == 'v' || letter == 's') && i + 2 < s.size()) {
                std::size_t digits = 0;
                const int index = ReadIndex(s, i + 2, digits);
                length = 2 + digits;
                if (digits > 0)
                    // A name text ending in a lone lead byte would swallow the byte after it.
                    value = letter == 'v' ? IntToStr(state.GetVar(index))
                                          : MessageText::Cut(state.GetNameText(index), TGameState::NameTextSize);
            }
            // Any other byte after "%": only the "%" goes, and the same position is looked at again.
            s.replace(i, length, value);
            i += value.size();
        } else if (CodePage::IsLeadByte(static_cast<unsigned char>(c))) {
            if (i + 1 < s.size())
                i += 2;
            else
                s.erase(i, 1);
        } else if (IsBlank(c)) {
            s.erase(i, 1);
        } else {
            ++i;
        }
    }
    return s;
}
