#pragma once

#include "connections/CSQLConnection.h"
#include "elements/CSQLVariable.h"
#include "execution/CDBColumn.h"
#include "execution/CDateType.h"
#include "execution/CRowBatch.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace db {
class column;
class connection;
class resultset;
} // namespace db

class CBoundStatement;
class IVariableSource;

// What an operation of a run reports: whether it did its work, and the messages for the user in
// the order they arose (an Oracle error's display text, a variable left unbound, an unexpected
// failure). Work that was done may still bring messages: failed DBMS_OUTPUT calls are reported
// and passed over.
struct CRunReport
{
    bool ok = false;
    QStringList messages;
};

// What one execution made.
struct CRunExecution
{
    enum class Outcome {
        NotRun,    // nothing ran and nothing is said: no session, a text under 4 characters, the
                   // values refused, a statement OCI does not know
        Failed,    // the run failed; messages say why
        Query,     // a query ran: its columns are set and its rows wait for fetchNext()
        Statement, // anything else ran; output holds its DBMS_OUTPUT lines when outputRead
    };

    Outcome outcome = Outcome::NotRun;
    QStringList messages;
    bool outputRead = false; // the option EnableDBMSOutput was on for a statement
    QStringList output;      // its DBMS_OUTPUT lines; an empty line stays a line

    bool ok() const { return outcome == Outcome::Query || outcome == Outcome::Statement; }
};

// The rows of the whole query, counted by the server.
struct CRunCount : CRunReport
{
    qint64 rows = 0;
};

// The run of one SQL text on its own session, without any window: it opens the session, asks for
// the variables' values through an IVariableSource, substitutes and binds them, executes, reads
// the DBMS_OUTPUT lines, hands a query's rows out batch by batch as display texts, counts the rows
// of the whole query and runs it again. Nothing in it throws, shows anything or waits for the
// user; every failure comes back as a message in what an operation returns, and the session stays
// usable. It owns the session, the current statement and the statement's rows, destroyed in the
// reverse order; no statement outlives the operation that made it unless it is the current
// query's. One thread at a time may drive it; a long fetch can be stopped between batches.
class CStatementRun
{
public:
    static constexpr int kQuery = 1; // OCI_STMT_SELECT

    // Takes the date display formats from the options DateFormat and TimeFormat, once.
    CStatementRun();
    ~CStatementRun(); // closes
    CStatementRun(const CStatementRun &) = delete;
    CStatementRun &operator=(const CStatementRun &) = delete;

    // Opens the session with the record's database, user, password and connect mode, closing an
    // earlier one first. A failure leaves it closed.
    CRunReport open(const CSQLConnection &connection);
    // Closes the query, then ends the session; nothing is a query any more.
    void close();
    bool isOpen() const { return m_open; }

    // The SQL text as the user wrote it.
    void setSqlText(const QString &sql) { m_sqlText = sql; }
    const QString &sqlText() const { return m_sqlText; }
    // The statement's variables (not owned; may be null): their values are asked for, substituted
    // and bound.
    void setVariables(std::vector<CSQLVariable> *variables) { m_variables = variables; }
    std::vector<CSQLVariable> *variables() const { return m_variables; }
    // Where the values come from (not owned; null uses the values as they are).
    void setVariableSource(IVariableSource *source) { m_source = source; }

    // Closes the query, asks for the values (when there are variables and askVariables is set),
    // substitutes, prepares, binds and executes the SQL text. With the option EnableDBMSOutput the
    // buffer is enabled first; a statement's lines are then read and the buffer disabled, while a
    // query's buffer is disabled right after execution, so that functions it calls while rows are
    // fetched cannot fill it.
    CRunExecution execute(bool askVariables = true);
    // The query again from its first row with the current values, without asking for them.
    CRunExecution refresh() { return execute(false); }
    // Forgets the rows, the statement and the columns; the session stays open.
    void closeQuery();

    // The OCI statement type of the last execution (1 a query; 0 before one, after a failure and
    // after close()).
    int statementType() const { return m_statementType; }
    // The current query's columns; they stay after its end of data until the query is closed.
    const std::vector<CDBColumn> &columns() const { return m_columns; }
    // True while rows can still be fetched.
    bool hasRows() const { return m_rows != nullptr; }
    bool endOfData() const { return m_endOfData; }
    qint64 fetchedRows() const { return m_fetchedRows; }

    // The next batch (at most the rows per fetch of the result set). At the end of data the
    // statement and its rows are released; after that, and for anything but a query, the batch is
    // empty. A failing fetch keeps the rows before it and sets failed.
    CRowBatch fetchNext();
    // Fetches batch after batch up to the end of data and hands each to sink; a sink that returns
    // false stops it (a cancel). ok is false when a fetch failed; the messages are the batches'.
    CRunReport fetchAll(const std::function<bool(CRowBatch &&)> &sink);

    // The rows of the whole query with the current values (0 for anything but a query); the
    // current rows are not touched.
    CRunCount count();

    // The DBMS_OUTPUT lines the last execution read.
    const QStringList &dbmsOutputLines() const { return m_output; }
    const CDateType &dateType() const { return m_dateType; }

private:
    // Substituted, prepared and bound; null for a statement OCI does not know. Throws db::error.
    std::unique_ptr<CBoundStatement> prepare(const QString &sql, QStringList &messages);
    void runDbmsStatement(const char *sql, QStringList &messages);
    QStringList readDbmsOutput(QStringList &messages);
    // Appends the column's current value; a conversion failure other than NULL is reported once.
    void appendValue(CRowBatch &batch, db::column &column, bool *reported);
    void releaseRows();

    std::unique_ptr<db::connection> m_session; // made at the first open
    bool m_open = false;
    QString m_sqlText;
    std::vector<CSQLVariable> *m_variables = nullptr; // not owned
    IVariableSource *m_source = nullptr;              // not owned
    std::unique_ptr<CBoundStatement> m_statement;     // the current query's
    std::unique_ptr<db::resultset> m_rows;            // its rows; released before the statement
    std::vector<db::column *> m_sources;              // m_rows' columns, in m_columns' order
    std::vector<CDBColumn> m_columns;
    int m_statementType = 0;
    qint64 m_fetchedRows = 0;
    bool m_endOfData = false;
    QStringList m_output;
    CDateType m_dateType;
};
