#pragma once

#include "db/connection.h"
#include "db/oci_owner.h"
#include "db/parameter.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace db {

class resultset;

// Rows per fetch: one process-wide count, initially 20, read when a result set is created.
// Values below 1 are stored as 1.
oci::ub2 rows_per_fetch();
void set_rows_per_fetch(oci::ub2 rows);

// One SQL statement or PL/SQL block prepared on an open connection, with its bind parameters.
// Destroy it before its connection is closed, and its result sets before it.
class statement {
public:
    // Prepares sql (system code page; length -1 = up to the terminator). Throws db::error; a
    // failing prepare leaves nothing allocated.
    statement(connection &conn, const char *sql, int length = -1);
    // The same for UTF-16 text, converted to the system code page first; the whole text is
    // prepared, also past an embedded NUL (which the server then refuses).
    statement(connection &conn, const QString &sql);
    ~statement(); // frees the statement handle, then the parameters
    statement(const statement &) = delete;
    statement &operator=(const statement &) = delete;

    oci::ub2 type() const { return m_type; } // OCI_ATTR_STMT_TYPE; 1 is a SELECT

    // Creates and binds a parameter of kind type_code (kind_number, kind_date, kind_string) under
    // name (with its colon); other codes fail with library error 1008. The statement owns it.
    parameter &bind(const std::string &name, int type_code);

    // The parameter last bound under exactly this name (byte-wise); library error 1010 when none.
    parameter &param(const std::string &name) const;

    const std::vector<std::unique_ptr<parameter>> &parameters() const { return m_parameters; }

    // Executes: 0 iterations for a SELECT, 1 otherwise. Throws an Oracle error on failure. A
    // warning (OCI_SUCCESS_WITH_INFO, e.g. ORA-24344 for a procedure created with compilation
    // errors) means the statement ran: its text is kept in warning().
    void execute();

    // The warning of the last execute (system code page, without a trailing line break); empty when
    // it succeeded without one.
    const std::string &warning() const { return m_warning; }

    // execute(), then a result set over this statement with its first batch fetched; owned by the
    // caller and destroyed before this statement.
    std::unique_ptr<resultset> execute_query();

    bool prepared() const { return m_prepared; }
    bool executed() const { return m_executed; }
    oci::OCIStmt *handle() const { return static_cast<oci::OCIStmt *>(m_handle.get()); }
    connection &conn() const { return *m_connection; }

private:
    statement(connection &conn, const QByteArray &sql); // prepares every byte of sql

    connection *m_connection;
    connection::child m_child; // counted while the statement lives
    oci_owner m_handle;        // the OCIStmt; freed before the parameters
    oci::ub2 m_type = 0;
    std::vector<std::unique_ptr<parameter>> m_parameters; // in bind order
    std::map<std::string, parameter *> m_by_name;          // last bound wins
    std::vector<std::unique_ptr<parameter>> m_failed;     // bound by OCI, then failed: the bind
                                                          // handle still points at their buffers
    bool m_prepared = false;
    bool m_executed = false;
    std::string m_warning;
};

} // namespace db
