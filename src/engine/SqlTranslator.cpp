#include "engine/SqlTranslator.h"

#include "engine/OraDate.h"
#include "engine/OraFormat.h"
#include "engine/SqlLexer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace engine {

namespace {

using Type = SqlToken::Type;

// Words that never start an operand; everything else that is a word is a column, function or literal.
constexpr std::array<std::string_view, 70> Keywords = {
    "SELECT", "FROM",    "WHERE",  "AND",      "OR",        "NOT",     "IN",       "IS",     "LIKE",
    "BETWEEN", "EXISTS", "AS",     "ON",       "JOIN",      "INNER",   "LEFT",     "RIGHT",  "FULL",
    "OUTER",  "CROSS",   "NATURAL", "USING",   "GROUP",     "BY",      "ORDER",    "HAVING", "UNION",
    "ALL",    "INTERSECT", "MINUS", "EXCEPT",  "DISTINCT",  "UNIQUE",  "INSERT",   "INTO",   "VALUES",
    "UPDATE", "SET",     "DELETE", "CREATE",   "TABLE",     "VIEW",    "INDEX",    "DROP",   "ALTER",
    "ADD",    "PRIMARY", "KEY",    "FOREIGN",  "REFERENCES", "CONSTRAINT", "CHECK", "DEFAULT", "WITH",
    "ASC",    "DESC",    "NULLS",  "THEN",     "WHEN",      "ELSE",    "END",      "ESCAPE", "FOR",
    "OF",     "ANY",     "SOME",   "RENAME",   "TO",        "COLUMN",  "MODIFY",
};

bool isKeyword(const SqlToken& t)
{
    if (t.type != Type::Word)
        return false;
    std::string u = upperAscii(t.text);
    return std::find(Keywords.begin(), Keywords.end(), u) != Keywords.end();
}

// Functions that make a query level aggregate.
bool isAggregate(const SqlToken& t)
{
    static constexpr std::array<std::string_view, 12> Names = {"COUNT",    "SUM",      "AVG",    "MIN",
                                                              "MAX",      "STDDEV",   "VARIANCE", "MEDIAN",
                                                              "LISTAGG",  "GROUP_CONCAT", "TOTAL", "WM_CONCAT"};
    if (t.type != SqlToken::Type::Word)
        return false;
    const std::string u = upperAscii(t.text);
    return std::find(Names.begin(), Names.end(), u) != Names.end();
}

std::string quoteString(std::string_view value)
{
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string quoteIdent(std::string_view value)
{
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

class Translator
{
public:
    Translator(std::string_view source, const std::vector<SqlToken>& tokens, std::vector<std::string>& binds)
        : m_source(source), m_t(tokens), m_binds(binds)
    {
    }

    // Translates tokens [begin, end) of one nesting level.
    std::string range(std::size_t begin, std::size_t end)
    {
        struct Depth
        {
            int& depth;
            explicit Depth(int& d) : depth(d) { ++depth; }
            ~Depth() { --depth; }
        } guard(m_depth);
        if (m_depth > MaxNesting)
            fail(3001);
        if (std::optional<std::string> wrapped = groupedRownum(begin, end))
            return *wrapped;
        std::string out;
        std::vector<bool> skip;
        std::string limit = rownumLimit(begin, end, skip);
        std::size_t i = begin;
        while (i < end) {
            if (!skip.empty() && skip[i - begin]) {
                ++i;
                continue;
            }
            const SqlToken& t = m_t[i];
            if (t.isWord("SELECT")) {
                append(out, "SELECT");
                i = selectList(i + 1, end, out);
                continue;
            }
            if (t.isWord("ORDER") && i + 1 < end && m_t[i + 1].isWord("BY")) {
                append(out, "ORDER BY");
                i = orderBy(i + 2, end, out);
                continue;
            }
            if (startsOperand(i, end)) {
                append(out, chain(i, end));
                continue;
            }
            // SQLite wants a non-literal column default in parentheses.
            if (t.isWord("DEFAULT") && i + 1 < end && startsOperand(i + 1, end)) {
                append(out, "DEFAULT");
                ++i;
                append(out, "(" + chain(i, end) + ")");
                continue;
            }
            append(out, plainToken(i));
            ++i;
        }
        if (!limit.empty())
            append(out, "LIMIT " + limit);
        return out;
    }

    // A grouped, aggregate or analytic query over one table with a ROWNUM bound in its WHERE clause: Oracle
    // numbers the rows before grouping, so the rows are taken first, in a subquery named as the table was:
    // SELECT list FROM (SELECT * FROM t a WHERE ... LIMIT n) a GROUP BY ... Nullopt for any other level.
    std::optional<std::string> groupedRownum(std::size_t begin, std::size_t end)
    {
        if (begin >= end || !m_t[begin].isWord("SELECT"))
            return std::nullopt;
        int depth = 0;
        std::size_t from = end, where = end, whereEnd = end, rownum = end;
        bool grouped = false;
        for (std::size_t k = begin; k < end; ++k) {
            const SqlToken& t = m_t[k];
            if (t.isSymbol("("))
                ++depth;
            else if (t.isSymbol(")"))
                --depth;
            else if (depth == 0) {
                if (t.isWord("FROM") && from == end)
                    from = k;
                else if (t.isWord("WHERE") && where == end)
                    where = k;
                else if (t.isWord("ROWNUM") && rownum == end)
                    rownum = k;
                else if (t.isWord("UNION") || t.isWord("MINUS") || t.isWord("INTERSECT") || t.isWord("EXCEPT"))
                    return std::nullopt;
                else if (where != end && whereEnd == end &&
                         (t.isWord("GROUP") || t.isWord("HAVING") || t.isWord("ORDER")))
                    whereEnd = k;
                if (t.isWord("GROUP") || t.isWord("HAVING") || t.isWord("OVER") ||
                    (k + 1 < end && m_t[k + 1].isSymbol("(") && isAggregate(t)))
                    grouped = true;
            }
        }
        if (!grouped || from == end || where == end || rownum == end || rownum < where || rownum > whereEnd)
            return std::nullopt;
        // One table: name, schema.name, either with an alias.
        std::size_t n = where - from - 1;
        auto nameAt = [&](std::size_t k) {
            return m_t[k].type == Type::QuotedIdent || (m_t[k].type == Type::Word && !isKeyword(m_t[k]));
        };
        std::size_t table = from + 1;
        if (n >= 3 && m_t[from + 2].isSymbol(".")) {
            if (!nameAt(from + 1))
                return std::nullopt;
            table = from + 3;
            n -= 2;
        }
        if (n < 1 || n > 2 || !nameAt(table) || (n == 2 && !nameAt(table + 1)))
            return std::nullopt;
        const SqlToken& name = m_t[n == 2 ? table + 1 : table];
        const std::string alias = name.type == Type::QuotedIdent ? quoteIdent(name.text) : upperAscii(name.text);
        std::string out = range(begin, from);
        out += " FROM (SELECT * " + range(from, whereEnd) + ") " + alias;
        if (whereEnd < end)
            out += " " + range(whereEnd, end);
        return out;
    }

    // A query level whose WHERE clause has the conjunct ROWNUM <= n, ROWNUM < n or ROWNUM = 1 becomes a LIMIT:
    // marks the tokens of that conjunct (and its AND or WHERE) in `skip` and returns the limit expression.
    // ROWNUM anywhere else stays unsupported.
    std::string rownumLimit(std::size_t begin, std::size_t end, std::vector<bool>& skip)
    {
        std::size_t at = end;
        int depth = 0;
        bool orAtTop = false, compound = false, grouped = false;
        std::size_t where = end;
        for (std::size_t k = begin; k < end; ++k) {
            const SqlToken& t = m_t[k];
            if (t.isSymbol("("))
                ++depth;
            else if (t.isSymbol(")"))
                --depth;
            else if (depth == 0) {
                if (t.isWord("ROWNUM") && at == end)
                    at = k;
                else if (t.isWord("OR"))
                    orAtTop = true;
                else if (t.isWord("UNION") || t.isWord("MINUS") || t.isWord("INTERSECT") || t.isWord("EXCEPT"))
                    compound = true;
                else if (t.isWord("WHERE"))
                    where = k;
                else if (t.isWord("GROUP") || t.isWord("HAVING") || t.isWord("OVER") ||
                         (k + 1 < end && m_t[k + 1].isSymbol("(") && isAggregate(t)))
                    grouped = true;
            }
        }
        if (at == end)
            return {};
        // Oracle numbers rows before grouping and analytic functions see them, so a LIMIT on the grouped
        // rows would give other counts and sums: refused rather than answered wrongly (one table is taken
        // care of by groupedRownum).
        if (orAtTop || compound || grouped || where == end || at < where || at + 2 >= end)
            fail(3001);
        const SqlToken& op = m_t[at + 1];
        const SqlToken& bound = m_t[at + 2];
        if (bound.type != Type::Number && bound.type != Type::Bind)
            fail(3001);
        std::string value = bound.type == Type::Number ? bound.text : bindRef(bound.text);
        std::string limit;
        if (op.isSymbol("<="))
            limit = value;
        else if (op.isSymbol("<"))
            limit = "(" + value + ") - 1";
        else if (op.isSymbol("=") && bound.type == Type::Number && bound.text == "1")
            limit = "1";
        else
            fail(3001);
        std::size_t after = at + 3;
        bool endsClause = after >= end || !m_t[after].isWord("AND");
        skip.assign(end - begin, false);
        std::size_t from = at, to = after;
        if (m_t[at - 1].isWord("AND"))
            from = at - 1;
        else if (endsClause)
            from = at - 1; // WHERE ROWNUM <= n alone: the WHERE goes too
        else
            to = after + 1; // WHERE ROWNUM <= n AND ...: the AND goes
        for (std::size_t k = from; k < to; ++k)
            skip[k - begin] = true;
        return limit;
    }

    // CREATE TABLE name (columns ...): character columns get a named CHECK on their size, so an oversized
    // value fails with ORA-12899 as in Oracle (SQLite itself ignores declared lengths). The constraint uses
    // only SQLite's own functions, so the file stays writable from any SQLite client. Other CREATE
    // statements translate as they are.
    std::string createTable(std::size_t begin, std::size_t end)
    {
        std::size_t i = begin + 1;
        if (!(i < end && m_t[i].isWord("TABLE")) || i + 2 >= end)
            return range(begin, end);
        std::size_t nameAt = i + 1;
        std::size_t open = nameAt + 1;
        std::string table = m_t[nameAt].type == Type::QuotedIdent ? m_t[nameAt].text : upperAscii(m_t[nameAt].text);
        if (open + 1 < end && m_t[open].isSymbol(".") &&
            (m_t[open + 1].type == Type::Word || m_t[open + 1].type == Type::QuotedIdent)) {
            table = m_t[open + 1].type == Type::QuotedIdent ? m_t[open + 1].text : upperAscii(m_t[open + 1].text);
            open += 2;
        }
        if (open >= end || !m_t[open].isSymbol("("))
            return range(begin, end);
        std::size_t close = matching(open, end);
        std::string out = "CREATE TABLE " + range(nameAt, open) + " (";
        std::size_t k = open + 1;
        bool first = true;
        while (k < close) {
            std::size_t b = k;
            int depth = 0;
            while (k < close && !(depth == 0 && m_t[k].isSymbol(","))) {
                if (m_t[k].isSymbol("("))
                    ++depth;
                else if (m_t[k].isSymbol(")"))
                    --depth;
                ++k;
            }
            if (k == b)
                fail(904, "\"\"");
            if (!first)
                out += ", ";
            first = false;
            out += columnDefinition(table, b, k);
            if (k < close)
                ++k;
        }
        out += ")";
        if (close + 1 < end)
            out += " " + range(close + 1, end);
        return out;
    }

    // ALTER TABLE name ADD column or ADD (column): one column, with the checks CREATE TABLE gives it. Adding
    // several columns at once is beyond SQLite (ORA-03001). Other ALTER statements translate as they are.
    std::string alterTable(std::size_t begin, std::size_t end)
    {
        std::size_t at = begin + 2;
        if (!(begin + 1 < end && m_t[begin + 1].isWord("TABLE")) || at >= end)
            return range(begin, end);
        std::string table = m_t[at].type == Type::QuotedIdent ? m_t[at].text : upperAscii(m_t[at].text);
        std::size_t add = at + 1;
        if (add + 2 < end && m_t[add].isSymbol(".")) {
            table = m_t[add + 1].type == Type::QuotedIdent ? m_t[add + 1].text : upperAscii(m_t[add + 1].text);
            add += 2;
        }
        if (add + 1 >= end || !m_t[add].isWord("ADD") || m_t[add + 1].isWord("CONSTRAINT") ||
            m_t[add + 1].isWord("PRIMARY") || m_t[add + 1].isWord("UNIQUE") || m_t[add + 1].isWord("CHECK") ||
            m_t[add + 1].isWord("FOREIGN"))
            return range(begin, end);
        std::size_t first = add + 1, last = end;
        if (m_t[first].isSymbol("(")) {
            if (matching(first, end) != end - 1)
                fail(933);
            ++first;
            --last;
            int depth = 0;
            for (std::size_t k = first; k < last; ++k) {
                if (m_t[k].isSymbol("("))
                    ++depth;
                else if (m_t[k].isSymbol(")"))
                    --depth;
                else if (depth == 0 && m_t[k].isSymbol(","))
                    fail(3001);
            }
        } else if (m_t[first].isWord("COLUMN")) {
            ++first;
        }
        if (first >= last)
            fail(904, "\"\"");
        return range(begin, add) + " ADD COLUMN " + columnDefinition(table, first, last);
    }

private:
    std::string columnDefinition(const std::string& table, std::size_t b, std::size_t e)
    {
        const SqlToken& name = m_t[b];
        bool isColumn = (name.type == Type::Word && !isKeyword(name) && !name.isWord("CONSTRAINT")) ||
                        name.type == Type::QuotedIdent;
        if (!isColumn || e - b < 2 || m_t[b + 1].type != Type::Word)
            return range(b, e);
        std::string type = upperAscii(m_t[b + 1].text);
        bool character = type == "VARCHAR2" || type == "VARCHAR" || type == "NVARCHAR2" || type == "CHAR" ||
                         type == "NCHAR" || type == "RAW";
        if (!character)
            return range(b, e) + valueCheck(table, name, type);
        if (b + 4 >= e || !m_t[b + 2].isSymbol("(") || m_t[b + 3].type != Type::Number)
            return range(b, e);
        std::size_t closeAt = b + 4;
        bool charSemantics = type == "NVARCHAR2" || type == "NCHAR";
        if (closeAt < e && (m_t[closeAt].isWord("BYTE") || m_t[closeAt].isWord("CHAR"))) {
            charSemantics = m_t[closeAt].isWord("CHAR");
            ++closeAt;
        }
        if (closeAt >= e || !m_t[closeAt].isSymbol(")"))
            return range(b, e);
        std::string column = name.type == Type::QuotedIdent ? name.text : upperAscii(name.text);
        std::string size = m_t[b + 3].text;
        std::string out = range(b, b + 1) + " " + type + "(" + size + ")";
        if (closeAt + 1 < e)
            out += " " + range(closeAt + 1, e);
        std::string measure = charSemantics ? "length(" + quoteIdent(column) + ")"
                                            : "length(CAST(" + quoteIdent(column) + " AS BLOB))";
        out += " CONSTRAINT " + quoteIdent("ORA-12899 " + table + " " + column + " " + size) + " CHECK (" +
               measure + " <= " + size + ")";
        return out;
    }

    // DATE and TIMESTAMP columns accept only the storage text of a real date, numeric columns only numbers
    // (after SQLite's numeric affinity): anything else fails with ORA-01861 or ORA-01722 as the value
    // would in Oracle, instead of being stored where every later fetch of the row would fail. Only SQLite's
    // own functions, so the file stays writable from any SQLite client.
    std::string valueCheck(const std::string& table, const SqlToken& name, const std::string& type)
    {
        const std::string column = name.type == Type::QuotedIdent ? name.text : upperAscii(name.text);
        const std::string ref = quoteIdent(column);
        if (type == "DATE" || type == "TIMESTAMP")
            return " CONSTRAINT " + quoteIdent("ORA-01861 " + table + " " + column) + " CHECK (" + ref +
                   " IS NULL OR datetime(" + ref + ", '+0 seconds') IS " + ref + ")";
        if (type == "NUMBER" || type == "INTEGER" || type == "INT" || type == "SMALLINT" || type == "FLOAT" ||
            type == "DECIMAL" || type == "NUMERIC" || type == "REAL")
            return " CONSTRAINT " + quoteIdent("ORA-01722 " + table + " " + column) + " CHECK (typeof(" + ref +
                   ") IN ('integer', 'real', 'null'))";
        return {};
    }

    [[noreturn]] void fail(int code, std::string_view arg = {}) { throw OraException(OraError::standard(code, arg)); }

    static void append(std::string& out, const std::string& piece)
    {
        if (piece.empty())
            return;
        if (!out.empty() && out.back() != '(' && out.back() != '.' && piece[0] != ')' && piece[0] != '.' &&
            piece[0] != ',')
            out += ' ';
        out += piece;
    }

    std::string plainToken(std::size_t i)
    {
        const SqlToken& t = m_t[i];
        switch (t.type) {
        case Type::Word: {
            std::string u = upperAscii(t.text);
            if (u == "MINUS")
                return "EXCEPT";
            if (u == "CONNECT" || u == "PRIOR" || u == "INTERVAL" || u == "PIVOT" || u == "UNPIVOT" ||
                u == "MODEL" || u == "RETURNING")
                fail(3001);
            return u;
        }
        case Type::QuotedIdent: return quoteIdent(t.text);
        case Type::String: return t.text.empty() ? "NULL" : quoteString(t.text);
        case Type::Number: return t.text;
        case Type::Bind: return bindRef(t.text);
        case Type::Symbol:
            if (t.text == "^=")
                return "<>";
            if (t.text == ";")
                fail(911);
            if (t.text == "=>" || t.text == "@" || t.text == "%" || t.text == ":=" || t.text == ".." ||
                t.text == "**")
                fail(911);
            if (t.text == "(" || t.text == ")")
                fail(936);
            return t.text;
        }
        return t.text;
    }

    std::string bindRef(const std::string& name)
    {
        auto it = std::find(m_binds.begin(), m_binds.end(), name);
        std::size_t index = static_cast<std::size_t>(it - m_binds.begin());
        if (it == m_binds.end())
            m_binds.push_back(name);
        return "?" + std::to_string(index + 1);
    }

    // Index of the ')' matching the '(' at `open`.
    std::size_t matching(std::size_t open, std::size_t end)
    {
        int depth = 0;
        for (std::size_t k = open; k < end; ++k) {
            if (m_t[k].isSymbol("("))
                ++depth;
            else if (m_t[k].isSymbol(")") && --depth == 0)
                return k;
        }
        fail(907);
    }

    bool startsOperand(std::size_t i, std::size_t end)
    {
        const SqlToken& t = m_t[i];
        switch (t.type) {
        case Type::Number:
        case Type::String:
        case Type::Bind:
        case Type::QuotedIdent: return true;
        case Type::Word: return !isKeyword(t);
        case Type::Symbol:
            if (t.text == "(")
                return true;
            if ((t.text == "-" || t.text == "+") && i + 1 < end)
                return true;
            return false;
        }
        return false;
    }

    // operand (('+' | '-' | '||') operand)*, folded left to right into engine calls.
    // Sums of number literals stay native SQLite arithmetic, so long literal sums do not nest calls.
    std::string chain(std::size_t& i, std::size_t end)
    {
        bool accLiteral = i < end && m_t[i].type == Type::Number;
        std::string acc = term(i, end);
        accLiteral = accLiteral && acc.find_first_not_of("0123456789.eE+-") == std::string::npos;
        std::size_t operands = 1;
        while (i < end && (m_t[i].isSymbol("+") || m_t[i].isSymbol("-") || m_t[i].isSymbol("||"))) {
            std::string op = m_t[i].text;
            ++i;
            if (i >= end || !startsOperand(i, end))
                fail(936);
            bool rhsLiteral = m_t[i].type == Type::Number;
            std::string rhs = term(i, end);
            rhsLiteral = rhsLiteral && rhs.find_first_not_of("0123456789.eE+-") == std::string::npos;
            if (op != "||" && accLiteral && rhsLiteral) {
                acc += " " + op + " " + rhs;
                continue;
            }
            accLiteral = false;
            if (++operands > MaxNesting)
                fail(3001);
            const char* fn = op == "+" ? "ORA_ADD" : op == "-" ? "ORA_SUB" : "ORA_CONCAT";
            acc = std::string(fn) + "(" + acc + ", " + rhs + ")";
        }
        return acc;
    }

    std::string term(std::size_t& i, std::size_t end)
    {
        std::string acc = factor(i, end);
        while (i < end && (m_t[i].isSymbol("*") || m_t[i].isSymbol("/"))) {
            bool divide = m_t[i].isSymbol("/");
            ++i;
            if (i >= end || !startsOperand(i, end))
                fail(936);
            std::string rhs = factor(i, end);
            acc = divide ? "ORA_DIV(" + acc + ", " + rhs + ")" : "(" + acc + " * " + rhs + ")";
        }
        return acc;
    }

    std::string factor(std::size_t& i, std::size_t end)
    {
        if (m_t[i].isSymbol("-") || m_t[i].isSymbol("+")) {
            bool negative = false;
            while (i < end && (m_t[i].isSymbol("-") || m_t[i].isSymbol("+"))) {
                negative = negative != m_t[i].isSymbol("-");
                ++i;
            }
            if (i >= end || !startsOperand(i, end))
                fail(936);
            std::string operand = primary(i, end);
            return negative ? "(-" + operand + ")" : operand;
        }
        return primary(i, end);
    }

    std::string primary(std::size_t& i, std::size_t end)
    {
        const SqlToken& t = m_t[i];
        if (t.isSymbol("(")) {
            std::size_t close = matching(i, end);
            if (close == i + 1)
                fail(936);
            std::string inner = range(i + 1, close);
            i = close + 1;
            return "(" + inner + ")";
        }
        if (t.type == Type::Number || t.type == Type::Bind) {
            ++i;
            return t.type == Type::Number ? t.text : bindRef(t.text);
        }
        if (t.type == Type::String) {
            ++i;
            if (t.text.empty())
                return "NULL"; // Oracle has no empty string
            if (std::optional<std::string> date = comparedDateLiteral(i - 1))
                return quoteString(*date);
            return quoteString(t.text);
        }
        std::string u = t.type == Type::Word ? upperAscii(t.text) : std::string();
        if (t.type == Type::Word) {
            if ((u == "DATE" || u == "TIMESTAMP") && i + 1 < end && m_t[i + 1].type == Type::String) {
                std::string lit = m_t[i + 1].text;
                std::optional<OraDate> d = OraDate::fromStorageText(lit);
                if (!d || (u == "DATE" && lit.size() != 10))
                    fail(1861);
                i += 2;
                return quoteString(d->toStorageText());
            }
            if (u == "SYSDATE" || u == "CURRENT_DATE") {
                ++i;
                return "ORA_SYSDATE()";
            }
            if (u == "SYSTIMESTAMP" || u == "CURRENT_TIMESTAMP" || u == "LOCALTIMESTAMP") {
                ++i;
                return "ORA_SYSTIMESTAMP()";
            }
            if (u == "USER") {
                ++i;
                return "ORA_USER()";
            }
            if (u == "ROWNUM" || u == "LEVEL" || u == "ROWID" || u == "PRIOR" || u == "INTERVAL")
                fail(3001);
            // EXTRACT(field FROM date) reads the field through the engine's date formatting, so a value
            // that is not a date fails as TO_CHAR does.
            if (u == "EXTRACT" && i + 1 < end && m_t[i + 1].isSymbol("(")) {
                std::size_t close = matching(i + 1, end);
                if (close < i + 5 || m_t[i + 2].type != Type::Word || !m_t[i + 3].isWord("FROM"))
                    fail(936);
                static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> Fields = {{
                    {"YEAR", "YYYY"}, {"MONTH", "MM"}, {"DAY", "DD"}, {"HOUR", "HH24"}, {"MINUTE", "MI"},
                    {"SECOND", "SS"},
                }};
                const std::string field = upperAscii(m_t[i + 2].text);
                auto it = std::find_if(Fields.begin(), Fields.end(), [&](const auto& f) { return f.first == field; });
                if (it == Fields.end())
                    fail(907);
                std::string inner = range(i + 4, close);
                i = close + 1;
                return "TO_NUMBER(TO_CHAR((" + inner + "), '" + std::string(it->second) + "'))";
            }
            if (u == "CASE") {
                int depth = 0;
                std::size_t k = i;
                for (; k < end; ++k) {
                    if (m_t[k].isWord("CASE"))
                        ++depth;
                    else if (m_t[k].isWord("END") && --depth == 0)
                        break;
                }
                if (k >= end)
                    fail(905);
                std::string inner = range(i + 1, k);
                i = k + 1;
                return "CASE " + inner + " END";
            }
        }
        // [qualifier .]* name [ ( args ) ]
        std::string out;
        while (true) {
            const SqlToken& n = m_t[i];
            if (n.type == Type::Word)
                out += upperAscii(n.text);
            else if (n.type == Type::QuotedIdent)
                out += quoteIdent(n.text);
            else if (n.isSymbol("*"))
                out += "*";
            else
                fail(936);
            ++i;
            if (i + 1 < end && m_t[i].isSymbol(".") &&
                (m_t[i + 1].type == Type::Word || m_t[i + 1].type == Type::QuotedIdent || m_t[i + 1].isSymbol("*"))) {
                out += ".";
                ++i;
                continue;
            }
            break;
        }
        if (i < end && m_t[i].isSymbol("(")) {
            std::size_t close = matching(i, end);
            // The outer-join marker (+).
            if (close == i + 2 && m_t[i + 1].isSymbol("+"))
                fail(3001);
            std::string args = close == i + 1 ? std::string() : range(i + 1, close);
            i = close + 1;
            out += "(" + args + ")";
        }
        return out;
    }

    // A literal such as '01-JAN-2020' compared with something (after a comparison operator, BETWEEN or AND) is
    // a date in the session's default format to Oracle, which converts it before comparing; dates are stored
    // as text here, so the literal becomes storage text, else it would compare as a string. Other literals:
    // nullopt.
    std::optional<std::string> comparedDateLiteral(std::size_t at) const
    {
        if (at == 0)
            return std::nullopt;
        const SqlToken& before = m_t[at - 1];
        static constexpr std::array<std::string_view, 8> Comparisons = {"=", "<>", "!=", "^=", "<", ">", "<=", ">="};
        const bool compared =
            before.isWord("BETWEEN") || before.isWord("AND") ||
            (before.type == Type::Symbol &&
             std::find(Comparisons.begin(), Comparisons.end(), before.text) != Comparisons.end());
        const std::string& text = m_t[at].text;
        // DD-MON-RR as Oracle reads it: one or two digits, a month abbreviation, two or four digits.
        std::size_t k = 0;
        auto digits = [&](std::size_t min, std::size_t max) {
            std::size_t n = 0;
            while (k < text.size() && n < max && text[k] >= '0' && text[k] <= '9') {
                ++k;
                ++n;
            }
            return n >= min;
        };
        auto dash = [&] { return k < text.size() && text[k++] == '-'; };
        bool shaped = digits(1, 2) && dash();
        std::size_t yearDigits = 0;
        if (shaped) {
            std::size_t letters = 0;
            while (k < text.size() && std::isalpha(static_cast<unsigned char>(text[k]))) {
                ++k;
                ++letters;
            }
            shaped = letters == 3 && dash();
            const std::size_t yearAt = k;
            shaped = shaped && digits(2, 4) && k == text.size();
            yearDigits = k - yearAt;
        }
        if (!compared || !shaped || yearDigits == 3 || inSetClause(at))
            return std::nullopt;
        try {
            // Oracle's RR also reads a four-digit year as it is.
            return parseDate(text, yearDigits == 4 ? "DD-MON-YYYY" : DefaultDateFormat).toStorageText();
        } catch (const OraException&) {
            return std::nullopt; // not a date after all: compared as the string it is
        }
    }

    // Whether the token at `at` is in the SET list of an UPDATE, where `=` assigns to a column of a type
    // the translation does not know.
    bool inSetClause(std::size_t at) const
    {
        int depth = 0;
        for (std::size_t k = at; k-- > 0;) {
            const SqlToken& t = m_t[k];
            if (t.isSymbol(")"))
                ++depth;
            else if (t.isSymbol("("))
                --depth;
            else if (depth <= 0 && t.type == Type::Word) {
                if (t.isWord("SET"))
                    return depth == 0;
                if (t.isWord("WHERE") || t.isWord("ON") || t.isWord("HAVING") || t.isWord("SELECT") ||
                    t.isWord("WHEN") || t.isWord("FROM"))
                    return false;
            }
        }
        return false;
    }

    // The Oracle column heading of select-list tokens [b, e).
    std::string heading(std::size_t b, std::size_t e)
    {
        bool columnRef = true;
        for (std::size_t k = b; k < e; ++k) {
            bool nameToken = m_t[k].type == Type::Word || m_t[k].type == Type::QuotedIdent;
            bool expectName = (k - b) % 2 == 0;
            if (expectName ? !nameToken : !m_t[k].isSymbol("."))
                columnRef = false;
        }
        if (columnRef && (e - b) % 2 == 1 && !isKeyword(m_t[e - 1])) {
            const SqlToken& last = m_t[e - 1];
            std::string u = upperAscii(last.text);
            bool special = last.type == Type::Word && (u == "SYSDATE" || u == "USER" || u == "SYSTIMESTAMP");
            if (!special)
                return last.type == Type::QuotedIdent ? last.text : u;
        }
        std::string out;
        for (std::size_t k = b; k < e; ++k) {
            std::string_view src = m_source.substr(m_t[k].begin, m_t[k].end - m_t[k].begin);
            out += m_t[k].type == Type::QuotedIdent ? std::string(src) : upperAscii(src);
        }
        return out;
    }

    // Select-list items from `i` up to FROM (or the end of the level); returns the index after the list.
    std::size_t selectList(std::size_t i, std::size_t end, std::string& out)
    {
        while (i < end && (m_t[i].isWord("DISTINCT") || m_t[i].isWord("UNIQUE") || m_t[i].isWord("ALL"))) {
            append(out, m_t[i].isWord("ALL") ? "ALL" : "DISTINCT");
            ++i;
        }
        if (i >= end || m_t[i].isWord("FROM"))
            fail(936);
        while (true) {
            std::size_t b = i;
            int depth = 0;
            while (i < end) {
                const SqlToken& t = m_t[i];
                if (t.isSymbol("("))
                    ++depth;
                else if (t.isSymbol(")"))
                    --depth;
                if (depth == 0 && (t.isSymbol(",") || t.isWord("FROM") || t.isWord("INTO") ||
                                   t.isWord("UNION") || t.isWord("MINUS") || t.isWord("INTERSECT")))
                    break;
                if (depth < 0)
                    fail(933);
                ++i;
            }
            if (i == b)
                fail(936);
            item(b, i, out);
            if (i < end && m_t[i].isSymbol(",")) {
                out += ",";
                ++i;
                continue;
            }
            break;
        }
        return i;
    }

    // ORDER BY items; NULLs sort as the largest value, as in Oracle (SQLite sorts them first).
    std::size_t orderBy(std::size_t i, std::size_t end, std::string& out)
    {
        while (true) {
            std::size_t b = i;
            int depth = 0;
            while (i < end) {
                const SqlToken& t = m_t[i];
                if (t.isSymbol("("))
                    ++depth;
                else if (t.isSymbol(")"))
                    --depth;
                if (depth == 0 && (t.isSymbol(",") || t.isWord("FOR") || t.isWord("OFFSET") || t.isWord("FETCH") ||
                                   t.isWord("ROWS") || t.isWord("RANGE") || t.isWord("LIMIT")))
                    break;
                ++i;
            }
            std::size_t e = i;
            if (e == b)
                fail(936);
            bool nullsGiven = false;
            bool descending = false;
            std::size_t exprEnd = e;
            if (e - b >= 3 && m_t[e - 2].isWord("NULLS")) {
                nullsGiven = true;
                exprEnd = e - 2;
            }
            if (exprEnd > b && (m_t[exprEnd - 1].isWord("DESC") || m_t[exprEnd - 1].isWord("ASC"))) {
                descending = m_t[exprEnd - 1].isWord("DESC");
                --exprEnd;
            }
            if (exprEnd == b)
                fail(936);
            std::string item = range(b, exprEnd);
            if (descending)
                item += " DESC";
            if (nullsGiven)
                item += " NULLS " + upperAscii(m_t[e - 1].text);
            else
                item += descending ? " NULLS FIRST" : " NULLS LAST";
            append(out, item);
            if (i < end && m_t[i].isSymbol(",")) {
                out += ",";
                ++i;
                continue;
            }
            return i;
        }
    }

    void item(std::size_t b, std::size_t e, std::string& out)
    {
        // * and t.*
        if (m_t[e - 1].isSymbol("*") && (e - b == 1 || m_t[e - 2].isSymbol("."))) {
            std::string text;
            for (std::size_t k = b; k < e; ++k)
                text += plainToken(k);
            append(out, text);
            return;
        }
        std::size_t exprEnd = e;
        std::string alias;
        const SqlToken& last = m_t[e - 1];
        bool lastIsName = (last.type == Type::Word && !isKeyword(last)) || last.type == Type::QuotedIdent;
        if (e - b >= 2 && lastIsName) {
            const SqlToken& before = m_t[e - 2];
            bool operandEnd = before.type == Type::Word || before.type == Type::QuotedIdent ||
                              before.type == Type::Number || before.type == Type::String ||
                              before.type == Type::Bind || before.isSymbol(")");
            if (before.isWord("AS")) {
                exprEnd = e - 2;
                alias = last.type == Type::QuotedIdent ? last.text : upperAscii(last.text);
            } else if (operandEnd && !before.isWord("DATE") && !before.isWord("TIMESTAMP") && !isKeyword(before)) {
                exprEnd = e - 1;
                alias = last.type == Type::QuotedIdent ? last.text : upperAscii(last.text);
            } else if (before.isWord("END")) {
                exprEnd = e - 1;
                alias = last.type == Type::QuotedIdent ? last.text : upperAscii(last.text);
            }
        }
        if (exprEnd == b)
            fail(936);
        if (alias.empty())
            alias = heading(b, e);
        append(out, range(b, exprEnd) + " AS " + quoteIdent(alias));
    }

    static constexpr int MaxNesting = 200; // parentheses, CASE and argument lists; SQLite refuses deeper trees

    std::string_view m_source;
    const std::vector<SqlToken>& m_t;
    std::vector<std::string>& m_binds;
    int m_depth = 0;
};

} // namespace

std::string normalizeBindName(std::string_view name)
{
    std::size_t i = 0;
    if (i < name.size() && name[i] == ':')
        ++i;
    while (i < name.size() && (name[i] == ' ' || name[i] == '\t'))
        ++i;
    std::string_view rest = name.substr(i);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.remove_suffix(1);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
        return std::string(rest.substr(1, rest.size() - 2));
    return upperAscii(rest);
}

OraError translateSql(std::string_view oracleSql, TranslatedSql& out)
{
    out = TranslatedSql{};
    out.kind = classifyStatement(oracleSql);
    std::vector<SqlToken> tokens;
    if (OraError e = tokenizeSql(oracleSql, tokens))
        return e;
    if (tokens.empty())
        return OraError::standard(900);
    if (out.kind == StatementKind::Begin || out.kind == StatementKind::Declare) {
        out.isPlsql = true;
        for (const SqlToken& t : tokens)
            if (t.type == Type::Bind && std::find(out.binds.begin(), out.binds.end(), t.text) == out.binds.end())
                out.binds.push_back(t.text);
        return {};
    }
    // Parentheses must balance before anything else is judged.
    int depth = 0;
    for (const SqlToken& t : tokens) {
        if (t.isSymbol("("))
            ++depth;
        else if (t.isSymbol(")") && --depth < 0)
            return OraError::standard(933);
    }
    if (depth > 0)
        return OraError::standard(907);
    if (tokens.back().isSymbol(";"))
        return OraError::standard(911);

    switch (out.kind) {
    case StatementKind::Select:
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete:
    case StatementKind::Create:
    case StatementKind::Drop:
    case StatementKind::Alter: break;
    case StatementKind::Commit:
    case StatementKind::Rollback: {
        bool work = tokens.size() == 2 && tokens[1].isWord("WORK");
        if (tokens.size() != 1 && !work)
            return OraError::standard(3001);
        out.sql = out.kind == StatementKind::Commit ? "COMMIT" : "ROLLBACK";
        return {};
    }
    case StatementKind::Merge:
    case StatementKind::Call:
    case StatementKind::ExplainPlan: return OraError::standard(3001);
    default: {
        // TRUNCATE TABLE t -> DELETE FROM t; every other statement is unknown to the engine.
        if (tokens.size() == 3 && tokens[0].isWord("TRUNCATE") && tokens[1].isWord("TABLE")) {
            out.sql = "DELETE FROM " +
                      (tokens[2].type == Type::QuotedIdent ? quoteIdent(tokens[2].text) : upperAscii(tokens[2].text));
            return {};
        }
        return OraError::standard(900);
    }
    }
    // Oracle accepts a query in parentheses as a statement; SQLite does not.
    while (tokens.size() >= 2 && tokens.front().isSymbol("(") && tokens.back().isSymbol(")")) {
        int level = 0;
        std::size_t k = 0;
        for (; k < tokens.size(); ++k) {
            if (tokens[k].isSymbol("("))
                ++level;
            else if (tokens[k].isSymbol(")") && --level == 0)
                break;
        }
        if (k != tokens.size() - 1)
            break;
        tokens.pop_back();
        tokens.erase(tokens.begin());
    }
    if (tokens.empty())
        return OraError::standard(936);
    try {
        Translator translator(oracleSql, tokens, out.binds);
        out.sql = out.kind == StatementKind::Create  ? translator.createTable(0, tokens.size())
                  : out.kind == StatementKind::Alter ? translator.alterTable(0, tokens.size())
                                                     : translator.range(0, tokens.size());
    } catch (const OraException& e) {
        out.sql.clear();
        out.binds.clear();
        return e.error();
    }
    return {};
}

} // namespace engine
