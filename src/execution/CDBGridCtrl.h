#pragma once

#include "connections/CSQLConnection.h"
#include "elements/CSQLVariable.h"
#include "execution/CDBColumn.h"
#include "execution/CDateType.h"
#include "grid/CGridCtrl.h"

#include <QFont>

#include <memory>
#include <vector>

namespace db {
class connection;
class error;
class resultset;
class statement;
} // namespace db

// The result grid: runs one SQL text on its own session and shows the rows of a query batch by
// batch, or the DBMS_OUTPUT lines of any other statement. It asks for the values of the statement's
// variables (CVariablesDlg), substitutes and binds them, sorts by a pressed heading, counts the
// rows of the whole query and runs it again. Every database failure is shown through the prompt
// (CPrompt) and ends the operation; the rows already shown stay. Edits in the grid never reach the
// database.
class CDBGridCtrl : public CGridCtrl
{
    Q_OBJECT
public:
    // What one execution made: the prepared statement and, for a query, its rows (destroyed first).
    struct Execution
    {
        std::unique_ptr<db::statement> statement;
        std::unique_ptr<db::resultset> rows;
        ~Execution();
        Execution();
        Execution(Execution &&) noexcept;
        Execution &operator=(Execution &&) noexcept;
    };

    explicit CDBGridCtrl(QWidget *parent = nullptr);
    ~CDBGridCtrl() override; // closes the query and the session

    // Takes the options ReadBufferSize (as the process-wide rows per fetch), FontGrid and
    // GridHeight. The constructor runs it; hosts run it again after the options changed.
    void setUp();

    // Execution state, filled by the host before connect and open.
    void setConnectionRecord(const CSQLConnection &connection) { m_connection = connection; }
    const CSQLConnection &connectionRecord() const { return m_connection; }
    void setSqlText(const QString &sql) { m_sqlText = sql; }
    const QString &sqlText() const { return m_sqlText; }
    // The variables of the statement (not owned; may be null): values are asked for and bound.
    void setVariables(std::vector<CSQLVariable> *variables) { m_variables = variables; }

    // Opens the session with the connection record; a failure is shown, leaves it closed, false.
    bool connectDatabase();
    void disconnectDatabase();
    bool isConnected() const { return m_connected; }

    // Asks for the variables (not while refreshing), runs the statement and shows its first batch
    // of rows, or its DBMS_OUTPUT lines. False when nothing runs (no session, a text under 4
    // characters, the dialog cancelled, a statement of unknown type) or the server failed (shown).
    bool openQuery();
    // Destroys the result set, the statement and the column records; counter and end of data reset.
    void closeQuery();
    // Substitutes, prepares and binds sql (the SQL text by default) and executes it; rows for a
    // query. An empty execution for a statement of unknown type. Throws db::error.
    Execution executeStatement();
    Execution executeStatement(const QString &sql);

    // The DBMS_OUTPUT exchange; errors are shown and passed over.
    void enableDbmsOutput();
    // Reads the buffered lines (when the option EnableDBMSOutput is on), shows them, then disables.
    void readDbmsOutput();
    void disableDbmsOutput();

    // The rows of the whole query with the current variable values; 0 for a statement that is not a
    // query, -1 when counting failed (shown). The grid's rows and result set are not touched.
    int countRows();
    // Runs the query again from its first row with the current values, without the dialog.
    bool refresh();
    // Closes the query and the session and empties the grid.
    void resetGrid(); // not reset(): that name is QAbstractItemView's model-reset slot

    // Rows of the query into the grid.
    void setUpColumns();
    // Appends the next batch; measure widens the column widths to the data.
    void fetchBlock(bool measure);
    void fetchAll();
    // The one-column view of DBMS_OUTPUT lines.
    void showDbmsOutput(const QStringList &lines);

    int fetchedRows() const { return m_fetchedRows; }
    bool endOfData() const { return m_endOfData; }
    int statementType() const { return m_statementType; }
    const std::vector<CDBColumn> &columns() const { return m_columns; }
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }
    const CDateType &dateType() const { return m_dateType; }
    const QFont &cellFont() const { return m_cellFont; }

    // Sorts by the column as a press on its heading does: the same column again reverses the order.
    void sortByColumn(int column);

signals:
    // Rows were appended by the grid itself (the Down key on the last row).
    void rowsFetched(int fetchedRows);

private:
    void showError(const db::error &e);
    void onKeyPressed(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    QString valueText(CDBColumn &column, bool *failed);
    CGridCellFormat dataCellFormat() const;

    // Execution state
    std::unique_ptr<db::connection> m_session; // the grid's own session, made at the first connect
    bool m_connected = false;
    CSQLConnection m_connection; // the record the session is opened with
    QString m_sqlText;
    std::vector<CSQLVariable> *m_variables = nullptr; // not owned
    std::unique_ptr<db::statement> m_statement;       // the current query's statement
    std::unique_ptr<db::resultset> m_resultset;       // its rows; destroyed before the statement
    int m_statementType = 0;   // OCI statement type of the last open; 1 a query
    bool m_refreshing = false; // suppresses the variables dialog

    // Display state
    std::vector<CDBColumn> m_columns;
    int m_fetchedRows = 0;    // rows placed so far
    bool m_endOfData = false; // the last row is in the grid
    int m_sortColumn = 0;
    bool m_sortAscending = false;
    QFont m_cellFont;       // data cells; every text width is measured with it
    CDateType m_dateType;   // formats taken at construction
};
