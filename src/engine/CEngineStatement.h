#pragma once

#include "engine/EngineHandles.h"
#include "engine/OraError.h"
#include "engine/SqlTranslator.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace engine {

class CEngineSession;

// The statement behind an OCI statement handle: the Oracle text, its translation, binds by name,
// defines by position, the SQLite cursor of an executed query and the fetch state. Every operation
// returns an OCI status and leaves the Oracle error of a failure in `error`.
class CEngineStatement
{
public:
    explicit CEngineStatement(EnvHandle *env);
    ~CEngineStatement();
    CEngineStatement(const CEngineStatement &) = delete;
    CEngineStatement &operator=(const CEngineStatement &) = delete;

    // Takes the text; SQL errors are kept for execute, as OCIStmtPrepare reports none. Drops the binds,
    // defines and cursor of an earlier text.
    void prepare(std::string_view text);
    oci::ub2 statementType() const { return m_type; }
    const std::string &text() const { return m_text; }

    // Takes ownership of a bind whose name is normalised. ORA-01036 when the text has no such
    // placeholder (the bind is then freed). A later bind of the same name replaces the earlier one.
    oci::sword bind(std::unique_ptr<BindHandle> bind, BindHandle *&out, OraError &error);
    // Takes ownership of a define; a later define of the same position replaces the earlier one.
    oci::sword define(std::unique_ptr<DefineHandle> define, DefineHandle *&out, OraError &error);

    oci::sword execute(const std::shared_ptr<CEngineSession> &session, oci::ub4 iterations,
                       oci::ub4 rowOffset, oci::ub4 mode, OraError &error);
    oci::sword fetch(oci::ub4 rows, oci::ub2 orientation, OraError &error);

    // The select list, once the query ran or was described; ORA-24338 before.
    oci::sword columns(const std::vector<ColumnInfo> *&out, OraError &error);
    // Number of select-list items; 0 for a statement that is not an executed query.
    oci::ub4 paramCount() const { return static_cast<oci::ub4>(m_columns.size()); }
    std::uint64_t rowCount() const { return m_rowCount; }
    oci::ub4 rowsFetched() const { return m_rowsFetched; }

    // Describes a declared SQLite column type the way Oracle describes the matching Oracle type.
    // Returns false when the type is empty (an expression).
    static bool describeDeclaredType(std::string_view declared, ColumnInfo &info);

private:
    enum class CursorState { None, Open, Exhausted }; // Exhausted: OCI_NO_DATA was returned

    void resetCursor();
    OraError prepareSqlite(sqlite3 *db);
    OraError checkBound() const;
    OraError bindElement(oci::ub4 element);
    void describe(bool haveRow);
    oci::sword executeQuery(oci::ub4 iterations, oci::ub4 mode, OraError &error);
    oci::sword executeBlock(oci::ub4 mode, OraError &error);
    oci::sword executeDml(oci::ub4 iterations, oci::ub4 rowOffset, OraError &error);
    oci::sword fetchRows(oci::ub4 rows, OraError &error);

    EnvHandle *m_env;
    std::string m_text;
    oci::ub2 m_type = 0;
    TranslatedSql m_translated;
    OraError m_translateError;                            // reported at execute
    std::vector<std::unique_ptr<BindHandle>> m_binds;     // every bind handle made, owned
    std::map<std::string, BindHandle *> m_bindByName;     // the latest bind of each name
    std::vector<std::unique_ptr<DefineHandle>> m_defines; // index = position - 1
    std::shared_ptr<CEngineSession> m_session;            // the session m_cursor belongs to
    sqlite3_stmt *m_cursor = nullptr;                     // the prepared translation, reused
    std::vector<ColumnInfo> m_columns;                    // the select list once described
    bool m_described = false;
    CursorState m_state = CursorState::None;
    bool m_rowPending = false;    // the cursor holds a stepped row not yet delivered
    bool m_atEnd = false;         // SQLite reported the last row; the cursor must not step again
    std::uint64_t m_rowCount = 0; // rows fetched in total (query) or affected (DML)
    oci::ub4 m_rowsFetched = 0;   // rows delivered by the last fetch
};

} // namespace engine
