#pragma once

#include "engine/OraError.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// One lexical token of Oracle SQL or PL/SQL text.
struct SqlToken
{
    enum class Type {
        Word,        // unquoted identifier or keyword
        QuotedIdent, // "Name"; text holds the name without quotes
        String,      // '...', N'...', q'[...]'; text holds the value
        Number,      // 12, 1.5, .5, 1e3
        Bind,        // :name; text holds the normalised name
        Symbol,      // operators and punctuation: ( ) , ; . + - * / || := = <> != ^= <= >= < > => .. @ %
    };
    Type type = Type::Symbol;
    std::string text;      // see above; for Word the text as written, for Symbol the symbol
    std::size_t begin = 0; // byte offset of the token in the source
    std::size_t end = 0;   // one past its last byte
    int line = 1;          // 1-based
    int column = 1;        // 1-based, in bytes

    bool isWord(std::string_view upperKeyword) const;
    bool isSymbol(std::string_view s) const { return type == Type::Symbol && text == s; }
};

// Splits text into tokens, dropping blanks and both comment kinds. Fails with ORA-01756 for an unterminated
// string, ORA-01740 for an unterminated quoted identifier, ORA-01742 for an unterminated comment, ORA-01745
// for a colon without a name and ORA-00911 for a character SQL has no use for.
OraError tokenizeSql(std::string_view text, std::vector<SqlToken>& out);

std::string upperAscii(std::string_view s);

} // namespace engine
