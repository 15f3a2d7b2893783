#pragma once

#include "engine/OraError.h"
#include "engine/StatementKind.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The result of translating one Oracle statement.
struct TranslatedSql
{
    StatementKind kind = StatementKind::Unknown;
    bool isPlsql = false;           // BEGIN / DECLARE: `sql` is empty; run it with PlsqlBlock
    std::string sql;                // SQLite text; placeholders are ?1, ?2 ... (one number per distinct name)
    std::vector<std::string> binds; // distinct bind names, normalised (see normalizeBindName), in order of
                                    // first use in the translation; ?N stands for binds[N-1]
};

// Translates Oracle SQL to SQLite SQL:
// - tokenizes respecting 'it''s' strings, q'[...]' quotes, "quoted identifiers" and both comment kinds;
// - bind placeholders (:name, :1, :"Quoted", blanks after the colon) become ?N; names in strings and
//   comments are not binds; `:=` is not a bind;
// - unquoted identifiers are upper-cased, and every select-list item without an alias gets the column name
//   Oracle reports for it ("SAL*12", "'ABC'", the column of "e.ename" -> ENAME), so sqlite3_column_name
//   gives Oracle's names for everything but `*`, which gives the declared names;
// - DUAL, SYSDATE, SYSTIMESTAMP, USER, DATE '...' and TIMESTAMP '...' literals, '' as NULL; `||`, `+`, `-`
//   and `/` with Oracle's rules (NULL concatenates as empty; date +/- days, date - date; 7/2 = 3.5; x/0
//   fails with ORA-01476) through engine functions; MINUS; ORDER BY sorts NULLs last (first with DESC);
//   CREATE TABLE adds size checks to character columns (ORA-12899); TRUNCATE TABLE deletes all rows.
// Fails with an ORA error, never silently dropping text: 00911 invalid character (incl. a trailing ';' and
// so a second statement), 01756/01740/01742 unterminated string/identifier/comment, 00907 missing ')',
// 00933 extra ')', 00936 missing expression, 00900 empty or unknown statement (PRAGMA, GRANT ...), 03001
// for Oracle syntax the engine lacks (outer join (+), CONNECT BY, MERGE, nesting beyond 200, ROWNUM other
// than a WHERE conjunct ROWNUM <= n / < n / = 1, which becomes a LIMIT).
// For BEGIN/DECLARE it only classifies and lists the binds.
OraError translateSql(std::string_view oracleSql, TranslatedSql& out);

// The name a placeholder binds under: ":ename", "ename", ": ename" -> "ENAME"; ":1" -> "1"; ':"Ab"' -> "Ab".
// Used for both the statement's placeholders and OCIBindByName's name argument.
std::string normalizeBindName(std::string_view name);

} // namespace engine
