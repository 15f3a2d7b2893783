#pragma once

#include "elements/CSQLVariable.h"
#include "execution/COracleNumber.h"
#include "oci/api.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace db {
class connection;
class resultset;
class statement;
} // namespace db

// One statement of a run: its text prepared on the run's session, its bind variables bound by
// name. It owns the db::statement and the buffers of the numbers it binds as NUMBER bytes; the
// statement, whose bind handles point into those buffers, is destroyed first. Destroy it (and the
// rows it returned) before the session.
class CBoundStatement
{
public:
    static constexpr int kQuery = 1; // OCI_STMT_SELECT

    // Prepares text on the session (in the system code page, up to an embedded NUL). Throws
    // db::error.
    CBoundStatement(db::connection &session, const QString &text);
    ~CBoundStatement();
    CBoundStatement(const CBoundStatement &) = delete;
    CBoundStatement &operator=(const CBoundStatement &) = delete;

    // The OCI statement type; 0 when OCI does not know the statement.
    int type() const;

    // Binds every bind variable, in list order, as CVariableBinding decides: numbers as their
    // exact NUMBER bytes (NULL when empty), dates, texts. Returns the reports of the variables left
    // unbound. Throws db::error when a bind fails (a name the statement does not hold).
    QStringList bind(const std::vector<CSQLVariable> &variables);

    // Executes; a query's rows come back with their first batch fetched (destroy them before this
    // statement), anything else gives null. Throws db::error.
    std::unique_ptr<db::resultset> execute();

private:
    struct NumberSlot;
    void bindNumber(const std::string &name, const COracleNumber &number);

    std::vector<std::unique_ptr<NumberSlot>> m_numbers; // declared first: outlive m_statement
    std::unique_ptr<db::statement> m_statement;
};
