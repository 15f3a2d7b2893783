#include "engine/SqlLexer.h"

#include <cctype>

namespace engine {

namespace {

bool isWordStart(unsigned char c)
{
    return std::isalpha(c) || c >= 0x80;
}

bool isWordChar(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}

char closingQuote(char open)
{
    switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
    }
}

} // namespace

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool SqlToken::isWord(std::string_view upperKeyword) const
{
    if (type != Type::Word || text.size() != upperKeyword.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != upperKeyword[i])
            return false;
    }
    return true;
}

OraError tokenizeSql(std::string_view s, std::vector<SqlToken>& out)
{
    out.clear();
    std::size_t i = 0;
    int line = 1;
    std::size_t lineStart = 0;
    auto advanceLines = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k)
            if (s[k] == '\n') {
                ++line;
                lineStart = k + 1;
            }
    };
    auto push = [&](SqlToken::Type type, std::string text, std::size_t begin, std::size_t end) {
        SqlToken t;
        t.type = type;
        t.text = std::move(text);
        t.begin = begin;
        t.end = end;
        t.line = line;
        t.column = static_cast<int>(begin - lineStart) + 1;
        out.push_back(std::move(t));
        advanceLines(begin, end);
    };
    auto readQuoted = [&](std::size_t start, std::size_t contentStart, std::string& value) -> std::size_t {
        std::size_t k = contentStart;
        while (k < s.size()) {
            if (s[k] == '\'') {
                if (k + 1 < s.size() && s[k + 1] == '\'') {
                    value.push_back('\'');
                    k += 2;
                    continue;
                }
                return k + 1;
            }
            value.push_back(s[k++]);
        }
        (void)start;
        return std::string_view::npos;
    };
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            if (c == '\n') {
                ++line;
                lineStart = i + 1;
            }
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            std::size_t close = s.find("*/", i + 2);
            if (close == std::string_view::npos)
                return OraError::standard(1742);
            advanceLines(i, close + 2);
            i = close + 2;
            continue;
        }
        // q'[...]', nq'[...]'
        if ((c == 'q' || c == 'Q' || ((c == 'n' || c == 'N') && i + 1 < s.size() && (s[i + 1] == 'q' || s[i + 1] == 'Q'))) ) {
            std::size_t q = (c == 'n' || c == 'N') ? i + 1 : i;
            if (q + 2 < s.size() && s[q + 1] == '\'') {
                char open = s[q + 2];
                char close = closingQuote(open);
                std::size_t k = q + 3;
                while (k + 1 < s.size() && !(s[k] == close && s[k + 1] == '\''))
                    ++k;
                if (k + 1 >= s.size())
                    return OraError::standard(1756);
                push(SqlToken::Type::String, std::string(s.substr(q + 3, k - q - 3)), i, k + 2);
                i = k + 2;
                continue;
            }
        }
        if ((c == 'n' || c == 'N') && i + 1 < s.size() && s[i + 1] == '\'') {
            std::string value;
            std::size_t end = readQuoted(i, i + 2, value);
            if (end == std::string_view::npos)
                return OraError::standard(1756);
            push(SqlToken::Type::String, std::move(value), i, end);
            i = end;
            continue;
        }
        if (c == '\'') {
            std::string value;
            std::size_t end = readQuoted(i, i + 1, value);
            if (end == std::string_view::npos)
                return OraError::standard(1756);
            push(SqlToken::Type::String, std::move(value), i, end);
            i = end;
            continue;
        }
        if (c == '"') {
            std::size_t close = s.find('"', i + 1);
            if (close == std::string_view::npos)
                return OraError::standard(1740);
            if (close == i + 1)
                return OraError::make(1741, "illegal zero-length identifier");
            push(SqlToken::Type::QuotedIdent, std::string(s.substr(i + 1, close - i - 1)), i, close + 1);
            i = close + 1;
            continue;
        }
        if (isWordStart(c)) {
            std::size_t k = i + 1;
            while (k < s.size() && isWordChar(static_cast<unsigned char>(s[k])))
                ++k;
            push(SqlToken::Type::Word, std::string(s.substr(i, k - i)), i, k);
            i = k;
            continue;
        }
        if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            std::size_t k = i;
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                ++k;
            if (k < s.size() && s[k] == '.' && !(k + 1 < s.size() && s[k + 1] == '.')) {
                ++k;
                while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                    ++k;
            }
            if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
                std::size_t e = k + 1;
                if (e < s.size() && (s[e] == '+' || s[e] == '-'))
                    ++e;
                if (e < s.size() && std::isdigit(static_cast<unsigned char>(s[e]))) {
                    k = e;
                    while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                        ++k;
                }
            }
            push(SqlToken::Type::Number, std::string(s.substr(i, k - i)), i, k);
            i = k;
            continue;
        }
        if (c == ':') {
            if (i + 1 < s.size() && s[i + 1] == '=') {
                push(SqlToken::Type::Symbol, ":=", i, i + 2);
                i += 2;
                continue;
            }
            std::size_t k = i + 1;
            while (k < s.size() && (s[k] == ' ' || s[k] == '\t'))
                ++k;
            if (k < s.size() && s[k] == '"') {
                std::size_t close = s.find('"', k + 1);
                if (close == std::string_view::npos)
                    return OraError::standard(1740);
                if (close == k + 1)
                    return OraError::standard(1745);
                push(SqlToken::Type::Bind, std::string(s.substr(k + 1, close - k - 1)), i, close + 1);
                i = close + 1;
                continue;
            }
            std::size_t nameStart = k;
            while (k < s.size() && (std::isalnum(static_cast<unsigned char>(s[k])) || s[k] == '_' || s[k] == '$' ||
                                    s[k] == '#'))
                ++k;
            if (k == nameStart)
                return OraError::standard(1745);
            push(SqlToken::Type::Bind, upperAscii(s.substr(nameStart, k - nameStart)), i, k);
            i = k;
            continue;
        }
        static const char* const twoChar[] = {"||", ":=", "<>", "!=", "^=", "<=", ">=", "=>", "..", "**"};
        bool matched = false;
        for (const char* t : twoChar) {
            if (i + 1 < s.size() && s[i] == t[0] && s[i + 1] == t[1]) {
                push(SqlToken::Type::Symbol, t, i, i + 2);
                i += 2;
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (std::string_view("(),;.+-*/=<>@%").find(static_cast<char>(c)) != std::string_view::npos) {
            push(SqlToken::Type::Symbol, std::string(1, static_cast<char>(c)), i, i + 1);
            ++i;
            continue;
        }
        return OraError::standard(911);
    }
    return {};
}

} // namespace engine
