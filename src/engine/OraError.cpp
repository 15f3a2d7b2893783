#include "engine/OraError.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace engine {

namespace {

struct StandardText
{
    int code;
    const char* text; // %s takes the argument
};

// Standard texts (19c wording).
constexpr StandardText Texts[] = {
    {1, "unique constraint (%s) violated"},
    {54, "resource busy and acquire with NOWAIT specified or timeout expired"},
    {600, "internal error code, arguments: [%s]"},
    {900, "invalid SQL statement"},
    {904, "%s: invalid identifier"},
    {905, "missing keyword"},
    {906, "missing left parenthesis"},
    {907, "missing right parenthesis"},
    {909, "invalid number of arguments"},
    {911, "invalid character"},
    {917, "missing comma"},
    {920, "invalid relational operator"},
    {921, "unexpected end of SQL command"},
    {923, "FROM keyword not found where expected"},
    {928, "missing SELECT keyword"},
    {932, "inconsistent datatypes: expected %s"},
    {933, "SQL command not properly ended"},
    {936, "missing expression"},
    {942, "table or view does not exist"},
    {955, "name is already used by an existing object"},
    {957, "duplicate column name"},
    {972, "identifier is too long"},
    {1002, "fetch out of sequence"},
    {1008, "not all variables bound"},
    {1013, "user requested cancel of current operation"},
    {1031, "insufficient privileges"},
    {1036, "illegal variable name/number"},
    {1400, "cannot insert NULL into (%s)"},
    {1403, "no data found"},
    {1422, "exact fetch returns more than requested number of rows"},
    {1427, "single-row subquery returns more than one row"},
    {1438, "value larger than specified precision allowed for this column"},
    {1476, "divisor is equal to zero"},
    {1481, "invalid number format model"},
    {1704, "string literal too long"},
    {1722, "invalid number"},
    {1740, "missing double quote in identifier"},
    {1742, "comment not properly terminated"},
    {1745, "invalid host/bind variable name"},
    {1756, "quoted string not properly terminated"},
    {1820, "format code cannot appear in date input format"},
    {1821, "date format not recognized"},
    {1830, "date format picture ends before converting entire input string"},
    {1839, "date not valid for month specified"},
    {1840, "input value not long enough for date format"},
    {1841, "(full) year must be between -4713 and +9999, and not be 0"},
    {1843, "not a valid month"},
    {1846, "not a valid day of the week"},
    {1847, "day of month must be between 1 and last day of month"},
    {1848, "day of year must be between 1 and 365 (366 for leap year)"},
    {1849, "hour must be between 1 and 12"},
    {1850, "hour must be between 0 and 23"},
    {1851, "minutes must be between 0 and 59"},
    {1852, "seconds must be between 0 and 59"},
    {1853, "seconds in day must be between 0 and 86399"},
    {1855, "AM/A.M. or PM/P.M. required"},
    {1858, "a non-numeric character was found where a numeric was expected"},
    {1861, "literal does not match format string"},
    {1114, "IO error writing block to file %s"},
    {1115, "IO error reading block from file %s"},
    {2290, "check constraint (%s) violated"},
    {2291, "integrity constraint (%s) violated - parent key not found"},
    {2292, "integrity constraint (%s) violated - child record found"},
    {3001, "unimplemented feature"},
    {4030, "out of process memory when trying to allocate %s"},
    {6502, "PL/SQL: numeric or value error%s"},
    {6550, "line %s:"},
    {12899, "value too large for column %s"},
    {16000, "database or pluggable database open for read-only access"},
};

std::string formatCode(std::string_view prefix, int code)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*s%05d: ", static_cast<int>(prefix.size()), prefix.data(), code);
    return buf;
}

bool startsWith(std::string_view s, std::string_view p)
{
    return s.size() >= p.size() && s.compare(0, p.size(), p) == 0;
}

// Text after `prefix` up to the end of the message.
std::string after(std::string_view msg, std::string_view prefix)
{
    std::size_t p = msg.find(prefix);
    if (p == std::string_view::npos)
        return {};
    return std::string(msg.substr(p + prefix.size()));
}

std::string quotedName(std::string_view name)
{
    return "\"" + std::string(name) + "\"";
}

// "T.C" -> "T"."C"
std::string quotedPath(std::string_view path)
{
    std::string out;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = path.find('.', start);
        if (!out.empty())
            out += '.';
        out += quotedName(path.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return out;
}

} // namespace

OraError OraError::make(int code, std::string_view message, std::string_view prefix)
{
    return OraError(code, formatCode(prefix, code) + std::string(message));
}

OraError OraError::standard(int code, std::string_view arg)
{
    for (const StandardText& t : Texts) {
        if (t.code != code)
            continue;
        std::string text = t.text;
        std::size_t p = text.find("%s");
        if (p != std::string::npos)
            text.replace(p, 2, arg);
        return make(code, text);
    }
    return make(code, arg);
}

OraError OraError::fromCurrentException()
{
    try {
        throw;
    } catch (const OraException &e) {
        return e.error();
    } catch (const std::exception &e) {
        return standard(600, e.what());
    } catch (...) {
        return standard(600, "unknown exception");
    }
}

OraError OraError::fromSqlite(sqlite3* db, int resultCode)
{
    return fromSqlite(resultCode, db ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode));
}

OraError OraError::fromSqlite(int resultCode, std::string_view msg)
{
    // Errors raised by the engine's own functions carry their Oracle text already.
    if (startsWith(msg, "ORA-") && msg.size() > 10 && msg[9] == ':') {
        int code = 0;
        for (int i = 4; i < 9; ++i) {
            if (msg[static_cast<std::size_t>(i)] < '0' || msg[static_cast<std::size_t>(i)] > '9')
                return standard(600, msg);
            code = code * 10 + (msg[static_cast<std::size_t>(i)] - '0');
        }
        return OraError(code, std::string(msg));
    }
    int primary = resultCode & 0xff;
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return standard(54);
    case SQLITE_INTERRUPT: return standard(1013);
    case SQLITE_NOMEM: return standard(4030, "memory");
    case SQLITE_READONLY: return standard(16000);
    case SQLITE_IOERR:
    case SQLITE_FULL: return standard(1114, std::string(msg));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN: return standard(1115, std::string(msg));
    case SQLITE_TOOBIG: return standard(1704);
    case SQLITE_RANGE: return standard(1036);
    default: break;
    }
    if (primary == SQLITE_CONSTRAINT) {
        if (startsWith(msg, "UNIQUE constraint failed: ") || startsWith(msg, "PRIMARY KEY"))
            return standard(1, after(msg, ": "));
        if (startsWith(msg, "NOT NULL constraint failed: "))
            return standard(1400, quotedPath(after(msg, ": ")));
        if (startsWith(msg, "FOREIGN KEY"))
            return standard(2291, "FOREIGN KEY");
        if (startsWith(msg, "CHECK constraint failed: ORA-12899 ")) {
            // The size check the translator puts on character columns: "ORA-12899 TABLE COLUMN SIZE".
            std::string rest = after(msg, "ORA-12899 ");
            std::size_t sizeAt = rest.rfind(' ');
            std::size_t columnAt = sizeAt == std::string::npos ? std::string::npos : rest.rfind(' ', sizeAt - 1);
            if (columnAt != std::string::npos)
                return standard(12899, quotedName(rest.substr(0, columnAt)) + "." +
                                           quotedName(rest.substr(columnAt + 1, sizeAt - columnAt - 1)) +
                                           " (maximum: " + rest.substr(sizeAt + 1) + ")");
        }
        // The value checks on DATE and NUMBER columns: "ORA-01861 TABLE COLUMN", "ORA-01722 TABLE COLUMN".
        if (startsWith(msg, "CHECK constraint failed: ORA-01861 "))
            return standard(1861);
        if (startsWith(msg, "CHECK constraint failed: ORA-01722 "))
            return standard(1722);
        if (startsWith(msg, "CHECK constraint failed: "))
            return standard(2290, after(msg, ": "));
        return standard(2290, msg);
    }
    if (startsWith(msg, "no such table: ") || startsWith(msg, "no such view: ") ||
        startsWith(msg, "no such index: "))
        return standard(942);
    if (startsWith(msg, "no such column: "))
        return standard(904, quotedName(after(msg, ": ")));
    if (startsWith(msg, "no such function: ")) {
        std::string name = after(msg, ": ");
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return standard(904, quotedName(name));
    }
    if (startsWith(msg, "wrong number of arguments"))
        return standard(909);
    if (startsWith(msg, "ambiguous column name: "))
        return OraError::make(918, "column ambiguously defined");
    if (startsWith(msg, "table ") && msg.find("already exists") != std::string_view::npos)
        return standard(955);
    if (startsWith(msg, "index ") && msg.find("already exists") != std::string_view::npos)
        return standard(955);
    if (startsWith(msg, "duplicate column name"))
        return standard(957);
    if (msg.find("incomplete input") != std::string_view::npos)
        return standard(921);
    if (msg.find("unrecognized token") != std::string_view::npos)
        return standard(911);
    if (startsWith(msg, "near \"") && msg.find("syntax error") != std::string_view::npos) {
        std::string token = after(msg, "near \"");
        token = token.substr(0, token.find('"'));
        for (char& c : token)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        static const char* const expressionEnders[] = {"FROM", "WHERE", ")", ",", "GROUP", "ORDER", "AND",
                                                       "OR", "THEN", "ELSE", "END", "HAVING"};
        for (const char* e : expressionEnders)
            if (token == e)
                return standard(936);
        return standard(933);
    }
    if (msg.find("syntax error") != std::string_view::npos)
        return standard(900);
    if (msg.find("parser stack overflow") != std::string_view::npos ||
        msg.find("too large (maximum depth") != std::string_view::npos ||
        msg.find("too many terms") != std::string_view::npos ||
        msg.find("too many arguments") != std::string_view::npos || msg.find("too many SQL variables") != std::string_view::npos ||
        msg.find("too many columns") != std::string_view::npos)
        return standard(3001);
    if (msg.find("datatype mismatch") != std::string_view::npos)
        return standard(932, "NUMBER got CHAR");
    if (msg.find("no tables specified") != std::string_view::npos)
        return standard(923);
    if (msg.find("cannot start a transaction within a transaction") != std::string_view::npos ||
        msg.find("cannot commit") != std::string_view::npos)
        return standard(600, msg);
    return standard(600, msg);
}

} // namespace engine
