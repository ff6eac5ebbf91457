// ScriptText: the tokens of one line of script text, and the quoting the disassembler writes them
// back with, shared so that what one prints the other reads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ScriptText {

enum class TokenKind : std::uint8_t {
    Word,   // mnemonic, directive, keyword or bare label
    Number, // decimal or 0x hexadecimal, optionally signed
    Text,   // "double-quoted": a text, escapes resolved
    Name,   // 'single-quoted': a label, escapes resolved
    Mark,   // @name: a jump mark
    Punct,  // one of ( ) , :
};

struct Token {
    TokenKind kind;
    std::string text;         // the word, text, name, mark name or punctuation
    std::int64_t number = 0;  // Number only
};

// Raised for a line that does not split into tokens.
class Error : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Splits one line (no line break) into tokens; a ';' outside quotes starts a comment. Bytes 0x80
// and above pass through raw in words and quoted texts, so GBK text needs no escapes.
std::vector<Token> Tokenize(std::string_view line);

// Whether `name` reads back as one Word token that is not a directive or number.
bool IsBareWord(std::string_view name);
// `text` in the given quotes with '\\', the quote and control bytes escaped.
std::string Quote(std::string_view text, char quote = '"');
// A label as the disassembler writes it: bare when it can be, else single-quoted.
std::string LabelName(std::string_view label);

} // namespace ScriptText
