#include "engine/CEngineSession.h"

#include "engine/EngineFunctions.h"
#include "engine/EngineOciErrors.h"
#include "oci/types.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

namespace engine {
namespace {

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

OraError execSimple(sqlite3 *db, const char *sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? OraError() : OraError::fromSqlite(db, rc);
}

bool hasUserTable(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND upper(name) = ?1",
                           -1, &stmt, nullptr)
        == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, CEngineSession::kUserTable, -1, SQLITE_STATIC);
        found = sqlite3_step(stmt) == SQLITE_ROW;
    }
    sqlite3_finalize(stmt);
    return found;
}

// Checks user and password against the user table; the connect mode against its privileges.
OraError checkLogon(sqlite3 *db, const std::string &user, const std::string &password, unsigned mode)
{
    const bool sysdba = (mode & oci::OCI_SYSDBA) != 0;
    const bool sysoper = (mode & oci::OCI_SYSOPER) != 0;
    if (!hasUserTable(db))
        return sysdba || sysoper ? ocierr::make(1031) : OraError();

    sqlite3_stmt *stmt = nullptr;
    const std::string sql = std::string("SELECT PASSWORD, CAN_SYSDBA, CAN_SYSOPER FROM ")
        + CEngineSession::kUserTable + " WHERE upper(USERNAME) = upper(?1)";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        OraError error = OraError::fromSqlite(db, sqlite3_errcode(db));
        sqlite3_finalize(stmt);
        return error;
    }
    sqlite3_bind_text(stmt, 1, user.data(), static_cast<int>(user.size()), SQLITE_TRANSIENT);
    OraError result = ocierr::make(1017);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto *stored = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        const int storedSize = sqlite3_column_bytes(stmt, 0);
        if (stored != nullptr && std::string(stored, static_cast<size_t>(storedSize)) == password) {
            const bool mayDba = sqlite3_column_int(stmt, 1) != 0;
            const bool mayOper = sqlite3_column_int(stmt, 2) != 0;
            if ((sysdba && !mayDba) || (sysoper && !mayOper))
                result = ocierr::make(1031);
            else
                result = OraError();
        }
    }
    sqlite3_finalize(stmt);
    return result;
}

} // namespace

CEngineSession::~CEngineSession()
{
    // Closing without end() rolls back what was not committed, as a dropped connection does.
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
}

OraError CEngineSession::open(const std::string &path, const std::string &user,
                              const std::string &password, unsigned mode,
                              std::unique_ptr<CEngineSession> &out)
{
    std::unique_ptr<CEngineSession> session(new CEngineSession());
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN || rc == SQLITE_PERM) {
        sqlite3_close_v2(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    session->m_db = db;
    if (rc != SQLITE_OK)
        return ocierr::make(12154);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);

    // Reading the schema proves the file is a database before anything else touches it.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return ocierr::make(12154);
    if (!sqlite3_db_readonly(db, "main"))
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);

    if (OraError error = checkLogon(db, user, password, mode))
        return error;
    if (OraError error = registerOracleFunctions(db))
        return error;
    session->m_user = upper(user);
    setSessionUser(db, session->m_user);
    out = std::move(session);
    return {};
}

bool CEngineSession::inTransaction() const
{
    return m_db != nullptr && sqlite3_get_autocommit(m_db) == 0;
}

OraError CEngineSession::beginWrite(bool *opened)
{
    if (opened != nullptr)
        *opened = false;
    if (m_ended)
        return ocierr::make(1012);
    if (inTransaction())
        return {};
    if (OraError error = execSimple(m_db, "BEGIN IMMEDIATE"))
        return error;
    if (opened != nullptr)
        *opened = true;
    return {};
}

OraError CEngineSession::commit()
{
    if (m_ended)
        return ocierr::make(1012);
    if (!inTransaction())
        return {};
    return execSimple(m_db, "COMMIT");
}

OraError CEngineSession::rollback()
{
    if (m_ended)
        return ocierr::make(1012);
    if (!inTransaction())
        return {};
    return execSimple(m_db, "ROLLBACK");
}

OraError CEngineSession::end()
{
    if (m_ended)
        return {};
    // Cursors still open on the connection would keep the commit from finishing.
    for (sqlite3_stmt *stmt = sqlite3_next_stmt(m_db, nullptr); stmt != nullptr;
         stmt = sqlite3_next_stmt(m_db, stmt))
        sqlite3_reset(stmt);
    OraError error = commit();
    m_ended = true;
    return error;
}

} // namespace engine
