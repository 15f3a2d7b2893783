#pragma once

#include "engine/DbmsOutput.h"
#include "engine/OraError.h"

#include <memory>
#include <string>

struct sqlite3;

namespace engine {

// One logged-on session of the engine: its own SQLite connection to the database file (WAL, a busy
// timeout, the Oracle functions registered), the user, the DBMS_OUTPUT buffer and Oracle's
// transaction rules. A transaction opens with the first write and stays open until commit, rollback,
// DDL or the end of the session, which commits. Closing the connection without end() (the process
// dying) loses only what was never committed.
class CEngineSession
{
public:
    // The user table: USERNAME (matched case-insensitively), PASSWORD (case-sensitive), CAN_SYSDBA and
    // CAN_SYSOPER (1 allows that connect mode). A database without it admits any user in normal mode.
    static constexpr const char *kUserTable = "TARVOLO_USERS";
    static constexpr int kBusyTimeoutMs = 5000;

    ~CEngineSession();
    CEngineSession(const CEngineSession &) = delete;
    CEngineSession &operator=(const CEngineSession &) = delete;

    // Opens path and logs user on. mode holds OCI_SYSDBA / OCI_SYSOPER bits. Fails with ORA-01017 for a
    // wrong user or password, ORA-01031 for a connect mode the user lacks, ORA-12154 when the file
    // cannot be opened as a database.
    static OraError open(const std::string &path, const std::string &user, const std::string &password,
                         unsigned mode, std::unique_ptr<CEngineSession> &out);

    sqlite3 *db() const { return m_db; }
    DbmsOutput &output() { return m_output; }
    const std::string &user() const { return m_user; }
    bool isEnded() const { return m_ended; }
    bool inTransaction() const;

    // Opens a write transaction unless one is open; returns whether this call opened it.
    OraError beginWrite(bool *opened = nullptr);
    OraError commit();
    OraError rollback();
    // Ends the session as OCISessionEnd does: commits the open transaction; the connection stays until
    // the last statement lets go of it, but every further call fails with ORA-01012.
    OraError end();

private:
    CEngineSession() = default;

    sqlite3 *m_db = nullptr;
    std::string m_user;   // as USER reports it (upper case)
    DbmsOutput m_output;
    bool m_ended = false; // end() has run
};

} // namespace engine
