#pragma once

#include "engine/DbmsOutput.h"
#include "engine/EngineValue.h"
#include "engine/OraError.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

struct sqlite3;

namespace engine {

// What a block needs from its session. The callbacks may be empty; then COMMIT and ROLLBACK run
// "COMMIT"/"ROLLBACK" on the connection when a transaction is open and DML runs as is.
struct PlsqlSession
{
    sqlite3* db = nullptr;
    DbmsOutput* output = nullptr;          // the session's DBMS_OUTPUT buffer; required
    std::function<OraError()> beforeDml;   // called before each SQL statement that writes (open a transaction)
    std::function<OraError()> commit;      // COMMIT inside the block
    std::function<OraError()> rollback;    // ROLLBACK inside the block
    std::function<bool()> cancelled;       // asked before each loop pass; true ends the block with ORA-01013
};

// Bind values of a block by normalised name (normalizeBindName). The block reads them and writes every
// `:name := ...` and OUT argument (GET_LINE) back into the map; a name it assigns stays present.
using PlsqlBinds = std::map<std::string, EngineValue>;

// Runs an anonymous block `[DECLARE ...] BEGIN ... END;` over `session.db`. Supported: NULL; INSERT,
// UPDATE, DELETE with binds and local variables; SELECT ... INTO locals or binds (ORA-01403 when no row,
// ORA-01422 for more than one); COMMIT; ROLLBACK; `:bind := expr`; locals declared with a type and optional
// `:=` default, assigned with `:=`; nested BEGIN ... END; FOR r IN (query) LOOP ... END LOOP with r.col;
// IF/ELSIF/ELSE; SQL%ROWCOUNT, SQL%FOUND, SQL%NOTFOUND; EXCEPTION WHEN <predefined name> | OTHERS THEN
// with SQLCODE and SQLERRM, RAISE and RAISE_APPLICATION_ERROR; DBMS_OUTPUT.ENABLE/DISABLE/PUT/PUT_LINE/
// NEW_LINE/GET_LINE. Expressions are evaluated by
// SQLite. The whole block is checked first; anything else fails with ORA-06550 naming line and column and
// runs nothing. Runtime failures carry "ORA-06512: at line N"; statements already run keep their effects,
// as in Oracle.
OraError executePlsqlBlock(const PlsqlSession& session, std::string_view block, PlsqlBinds& binds);

} // namespace engine
