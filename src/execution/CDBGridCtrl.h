#pragma once

#include "connections/CSQLConnection.h"
#include "elements/CSQLVariable.h"
#include "execution/CStatementRun.h"
#include "execution/CVariablesDlg.h"
#include "grid/CGridCtrl.h"

#include <QFont>

#include <vector>

// The result grid: a view over a CStatementRun of one SQL text on its own session. It shows a
// query's rows batch by batch, or the DBMS_OUTPUT lines of any other statement, asks for the
// values of the statement's variables with the variables dialog, sorts by a pressed heading, counts
// the rows of the whole query and runs it again. Every message the run returns is shown through the
// prompt (CPrompt); the rows already shown stay. Edits in the grid never reach the database.
class CDBGridCtrl : public CGridCtrl
{
    Q_OBJECT
public:
    explicit CDBGridCtrl(QWidget *parent = nullptr);
    ~CDBGridCtrl() override; // the run closes the query and the session

    // Takes the options ReadBufferSize (as the process-wide rows per fetch), FontGrid and
    // GridHeight. The constructor runs it; hosts run it again after the options changed.
    void setUp();

    // Execution state, filled by the host before connect and open.
    void setConnectionRecord(const CSQLConnection &connection) { m_connection = connection; }
    const CSQLConnection &connectionRecord() const { return m_connection; }
    void setSqlText(const QString &sql) { m_run.setSqlText(sql); }
    const QString &sqlText() const { return m_run.sqlText(); }
    // The variables of the statement (not owned; may be null): values are asked for and bound.
    void setVariables(std::vector<CSQLVariable> *variables) { m_run.setVariables(variables); }
    // The run the grid shows, for hosts that read its state.
    const CStatementRun &run() const { return m_run; }

    // Opens the session with the connection record; a failure is shown, leaves it closed, false.
    bool connectDatabase();
    void disconnectDatabase() { m_run.close(); }
    bool isConnected() const { return m_run.isOpen(); }

    // Asks for the variables, runs the statement and shows its first batch of rows, or its
    // DBMS_OUTPUT lines. False when nothing runs (no session, a text under 4 characters, the
    // dialog cancelled, a statement of unknown type) or the run failed (shown).
    bool openQuery();
    // Runs the query again from its first row with the current values, without the dialog.
    bool refresh();
    // Forgets the query's rows and columns; the grid's cells stay.
    void closeQuery() { m_run.closeQuery(); }
    // The rows of the whole query with the current variable values; 0 for a statement that is not
    // a query, -1 when counting failed (shown). The grid's rows are not touched.
    qint64 countRows();
    // Closes the query and the session and empties the grid.
    void resetGrid(); // not reset(): that name is QAbstractItemView's model-reset slot

    // Appends the next batch; measure widens the column widths to the data.
    void fetchBlock(bool measure);
    void fetchAll();
    // The one-column view of DBMS_OUTPUT lines.
    void showDbmsOutput(const QStringList &lines);

    qint64 fetchedRows() const { return m_run.fetchedRows(); }
    bool endOfData() const { return m_run.endOfData(); }
    int statementType() const { return m_run.statementType(); }
    const std::vector<CDBColumn> &columns() const { return m_run.columns(); }
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }
    const CDateType &dateType() const { return m_run.dateType(); }
    const QFont &cellFont() const { return m_cellFont; }

    // Sorts by the column as a press on its heading does: the same column again reverses the order.
    void sortByColumn(int column);

signals:
    // Rows were appended by the grid itself (the Down key on the last row).
    void rowsFetched(qint64 fetchedRows);

private:
    bool present(const CRunExecution &execution);
    void setUpColumns();
    void place(const CRowBatch &rows, bool measure);
    void showMessages(const QStringList &messages);
    void onKeyPressed(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    CGridCellFormat dataCellFormat() const;

    CStatementRun m_run;
    CVariablesDlgSource m_variableSource{this};
    CSQLConnection m_connection; // the record the session is opened with
    std::vector<int> m_widths;   // per column: the widest text measured, pixels
    int m_sortColumn = 0;
    bool m_sortAscending = false;
    QFont m_cellFont; // data cells; every text width is measured with it
};
