#include "scenario/script/ScriptText.h"

#include "platform/codepage/CodePage.h"

#include <cerrno>
#include <cstdlib>

namespace ScriptText {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPunct(char c) { return c == '(' || c == ')' || c == ',' || c == ':'; }
bool IsWordChar(char c) { return !IsSpace(c) && !IsPunct(c) && c != '"' && c != '\'' && c != ';' && c != '@' && c != '\n' && c != '\0'; }

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text from line[i] (the opening quote) and leaves i after the closing one.
std::string ReadQuoted(std::string_view line, std::size_t& i)
{
    const char quote = line[i++];
    std::string out;
    while (i < line.size() && line[i] != quote) {
        char c = line[i++];
        // A double-byte character's second byte may be a backslash: the pair is taken whole.
        if (CodePage::IsLeadByte(static_cast<unsigned char>(c)) && i < line.size()) {
            out.push_back(c);
            out.push_back(line[i++]);
            continue;
        }
        if (c == '\\') {
            if (i >= line.size())
                break;
            const char e = line[i++];
            switch (e) {
            case 'n': c = '\n'; break;
            case 't': c = '\t'; break;
            case 'r': c = '\r'; break;
            case '\\': case '"': case '\'': c = e; break;
            case 'x': {
                const int high = i + 1 < line.size() ? HexDigit(line[i]) : -1;
                const int low = high >= 0 ? HexDigit(line[i + 1]) : -1;
                if (low < 0)
                    throw Error("\\x needs two hexadecimal digits");
                c = static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                throw Error(std::string("unknown escape \\") + e);
            }
        }
        out.push_back(c);
    }
    if (i >= line.size())
        throw Error("the quoted text does not end on its line");
    ++i;
    return out;
}

Token ReadNumber(std::string_view word)
{
    const std::string text(word);
    const bool negative = text[0] == '-';
    const std::size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
    const bool hex = text.size() > digits + 2 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long magnitude = std::strtoull(text.c_str() + digits + (hex ? 2 : 0), &end, hex ? 16 : 10);
    // strtoull would also take blanks and a second sign where the digits should start.
    if (*end != '\0' || errno == ERANGE || magnitude > 0xFFFFFFFFull || HexDigit(text[digits + (hex ? 2 : 0)]) < 0)
        throw Error("bad number '" + text + "'");
    const auto value = static_cast<std::int64_t>(magnitude);
    return {TokenKind::Number, text, negative ? -value : value};
}

} // namespace

std::vector<Token> Tokenize(std::string_view line)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsSpace(c)) {
            ++i;
        } else if (c == ';') {
            break;
        } else if (IsPunct(c)) {
            tokens.push_back({TokenKind::Punct, std::string(1, c)});
            ++i;
        } else if (c == '"' || c == '\'') {
            tokens.push_back({c == '"' ? TokenKind::Text : TokenKind::Name, ReadQuoted(line, i)});
        } else {
            const bool mark = c == '@';
            const std::size_t start = mark ? ++i : i;
            while (i < line.size() && IsWordChar(line[i]))
                ++i;
            const std::string_view word = line.substr(start, i - start);
            if (word.empty())
                throw Error(mark ? "'@' needs a mark name" : std::string("unexpected character '") + c + "'");
            const bool number = IsDigit(word[0]) || ((word[0] == '-' || word[0] == '+') && word.size() > 1 && IsDigit(word[1]));
            if (mark)
                tokens.push_back({TokenKind::Mark, std::string(word)});
            else if (number)
                tokens.push_back(ReadNumber(word));
            else
                tokens.push_back({TokenKind::Word, std::string(word)});
        }
    }
    return tokens;
}

bool IsBareWord(std::string_view name)
{
    if (name.empty() || name[0] == '.' || IsDigit(name[0]) || name[0] == '-' || name[0] == '+')
        return false;
    for (const char c : name)
        if (!IsWordChar(c) || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string Quote(std::string_view text, char quote)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out(1, quote);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (CodePage::IsLeadByte(byte) && i + 1 < text.size()) {
            out += c; // a double-byte character is written whole, even when its second byte is a backslash
            out += text[++i];
        } else if (c == '\\' || c == quote) {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c; // printable ASCII, and bytes of no double-byte character passed through raw
        }
    }
    out += quote;
    return out;
}

std::string LabelName(std::string_view label)
{
    // Keywords of scene lines and values would not read back as labels.
    const bool keyword = label == "none" || label == "start" || label == "limit" || label == "name" || label == "target";
    return IsBareWord(label) && !keyword ? std::string(label) : Quote(label, '\'');
}

} // namespace ScriptText
