// The result grid end to end against the SAMPLE database of the embedded engine: variables asked in
// the dialog, rows batch by batch, NULL cells, date formats, counting, sorting, the DBMS_OUTPUT
// view and the failures that are shown.
#include "ModalHelper.h"

#include "engine/CEngineProvider.h"
#include "execution/CDBGridCtrl.h"
#include "execution/CVariableLst.h"
#include "execution/CVariablesDlg.h"
#include "grid/CGridModel.h"
#include "settings/Options.h"
#include "ui/CScriptedPrompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString buildDir()
{
    const QString fromEnv = qEnvironmentVariable("TARVOLO_BUILD_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath() + "/../..").absolutePath();
}

class DBGridSample : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString samples = buildDir() + "/Samples";
        ASSERT_TRUE(QFile::exists(samples + "/SAMPLE.db")) << samples.toStdString();
        qputenv("TARVOLO_DATABASES", samples.toLocal8Bit());
        engine::registerEngineProvider();
        options::ReadBufferSize = 500;
        options::DateFormat = 1;
        options::TimeFormat = 0;
        options::EnableDBMSOutput = true;
    }

    // A grid connected to SAMPLE as SCOTT, running sql with the variables.
    std::unique_ptr<CDBGridCtrl> connectedGrid(const QString &sql,
                                               std::vector<CSQLVariable> *variables = nullptr)
    {
        auto grid = std::make_unique<CDBGridCtrl>();
        CSQLConnection c;
        c.setUser("SCOTT");
        c.setPassword("TIGER");
        c.setDatabase("SAMPLE");
        grid->setConnectionRecord(c);
        grid->setSqlText(sql);
        grid->setVariables(variables);
        EXPECT_TRUE(grid->connectDatabase());
        return grid;
    }

    CScriptedPrompt m_prompt;
    options::CRestoreOptions m_options; // the options these tests set or change
};

CSQLVariable variable(int kind, const QString &name)
{
    CSQLVariable v;
    v.kind = kind;
    v.name = name;
    return v;
}

int columnOf(const CDBGridCtrl &grid, const QString &name)
{
    for (int i = 0; i < int(grid.columns().size()); ++i)
        if (grid.columns()[std::size_t(i)].name == name)
            return i;
    return -1;
}

} // namespace

TEST_F(DBGridSample, VariablesAnsweredInTheDialogSelectTheRows)
{
    std::vector<CSQLVariable> vars{variable(1, "&TAB"), variable(0, ":DEPTNO")};
    auto grid = connectedGrid("SELECT * FROM &tab\r\nWHERE deptno = :deptno ORDER BY empno", &vars);
    ModalAnswer<CVariablesDlg> answer([](CVariablesDlg *d) {
        d->list()->setText(0, CVariableLst::kValueColumn, "emp");
        d->list()->setText(1, CVariableLst::kTypeColumn, "Number");
        d->list()->setText(1, CVariableLst::kValueColumn, "20");
        d->okButton()->click();
    });
    ASSERT_TRUE(grid->openQuery()) << m_prompt.messages().join("|").toStdString();
    EXPECT_TRUE(answer.found());
    EXPECT_TRUE(m_prompt.messages().isEmpty()) << m_prompt.messages().join("|").toStdString();

    EXPECT_EQ(grid->statementType(), 1);
    EXPECT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(grid->fetchedRows(), 5);
    EXPECT_TRUE(grid->endOfData());
    EXPECT_EQ(grid->gridModel()->headerData(4, Qt::Vertical, Qt::DisplayRole).toString(), "5");
    EXPECT_EQ(grid->headingText(0), "EMPNO");

    const int empno = columnOf(*grid, "EMPNO");
    const int hired = columnOf(*grid, "HIREDATE");
    const int comm = columnOf(*grid, "COMM");
    const int mgr = columnOf(*grid, "MGR");
    ASSERT_GE(comm, 0);
    EXPECT_EQ(grid->text(0, empno), "8002");
    EXPECT_EQ(grid->text(0, hired), "15.06.2015");
    EXPECT_EQ(grid->text(0, mgr), "8001");
    // NULL numbers are empty yellow cells; values are not.
    EXPECT_EQ(grid->text(0, comm), "");
    EXPECT_EQ(grid->store().effectiveFormat(0, comm).background, QColor(255, 255, 0));
    EXPECT_EQ(grid->store().effectiveFormat(0, empno).background, QColor(Qt::white));

    // The values went into the variables and their history.
    EXPECT_EQ(vars[1].type, "Number");
    EXPECT_EQ(vars[1].history, QStringList{"20"});

    // Refresh runs again with the same values and no dialog.
    ModalAnswer<CVariablesDlg> noDialog([](CVariablesDlg *d) { d->reject(); });
    ASSERT_TRUE(grid->refresh());
    EXPECT_FALSE(noDialog.found());
    EXPECT_EQ(grid->rowCount(), 5);
    EXPECT_EQ(grid->countRows(), 5);

    // Another date format applies to grids made afterwards only.
    options::DateFormat = 4;
    EXPECT_EQ(grid->dateType().dateIndex(), 1);
}

TEST_F(DBGridSample, OrdersArriveBatchByBatchAndCountWhateverIsFetched)
{
    auto grid = connectedGrid("SELECT order_id, order_date, customer, amount, status, note\n"
                              "FROM orders ORDER BY order_id");
    ASSERT_TRUE(grid->openQuery()) << m_prompt.messages().join("|").toStdString();
    EXPECT_EQ(grid->rowCount(), 500);
    EXPECT_FALSE(grid->endOfData());
    EXPECT_EQ(grid->countRows(), 100000);
    EXPECT_EQ(grid->rowCount(), 500); // counting leaves the grid alone

    grid->fetchBlock(false);
    EXPECT_EQ(grid->rowCount(), 1000);
    EXPECT_EQ(grid->fetchedRows(), 1000);
    // Sorted rows keep their numbers; rows fetched later go on counting after them (checked below).
    emit grid->headingPressed(0);
    emit grid->headingPressed(0);
    EXPECT_EQ(grid->text(0, 0), "1000");
    EXPECT_EQ(grid->gridModel()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "1000");

    // Down on the last row fetches the next batch; elsewhere it only moves.
    grid->setCurrentRow(998);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->rowCount(), 1000);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->rowCount(), 1500);
    EXPECT_EQ(grid->currentRow(), 1000);

    grid->fetchAll();
    EXPECT_EQ(grid->rowCount(), 100000);
    EXPECT_EQ(grid->fetchedRows(), 100000);
    EXPECT_TRUE(grid->endOfData());
    EXPECT_EQ(grid->text(99999, 0), "100000");
    EXPECT_EQ(grid->gridModel()->headerData(99999, Qt::Vertical, Qt::DisplayRole).toString(),
              "100000");
    grid->fetchBlock(false); // nothing more to fetch
    EXPECT_EQ(grid->rowCount(), 100000);
    EXPECT_EQ(grid->countRows(), 100000);
    EXPECT_TRUE(m_prompt.messages().isEmpty()) << m_prompt.messages().join("|").toStdString();

    // A text the count cannot wrap is reported; the grid stays as it was.
    grid->setSqlText("SELECT order_id FROM orders;");
    EXPECT_EQ(grid->countRows(), -1);
    ASSERT_EQ(m_prompt.messages().size(), 1);
    EXPECT_TRUE(m_prompt.messages()[0].startsWith("Error type: "))
        << m_prompt.messages()[0].toStdString();
    EXPECT_EQ(grid->rowCount(), 100000);
}

TEST_F(DBGridSample, SortingANumberColumnByValueBothWays)
{
    auto grid = connectedGrid("SELECT n, t FROM (SELECT 10 n, 'ten' t FROM dual UNION ALL\n"
                              "SELECT 9, 'nine' FROM dual UNION ALL SELECT 100, NULL FROM dual)");
    ASSERT_TRUE(grid->openQuery()) << m_prompt.messages().join("|").toStdString();
    ASSERT_EQ(grid->rowCount(), 3);
    auto column = [&](int c) {
        return QStringList{grid->text(0, c), grid->text(1, c), grid->text(2, c)};
    };
    auto numbers = [&] {
        QStringList n;
        for (int r = 0; r < 3; ++r)
            n << grid->gridModel()->headerData(r, Qt::Vertical, Qt::DisplayRole).toString();
        return n;
    };
    emit grid->headingPressed(0);
    EXPECT_EQ(column(0), QStringList({"9", "10", "100"}));
    EXPECT_EQ(numbers(), QStringList({"2", "1", "3"})); // row numbers travel with their rows
    EXPECT_EQ(grid->sortArrow(0), CGridCtrl::SortArrow::Ascending);
    emit grid->headingPressed(0);
    EXPECT_EQ(column(0), QStringList({"100", "10", "9"}));
    EXPECT_EQ(grid->sortArrow(0), CGridCtrl::SortArrow::Descending);
    // Another heading sorts ascending with its own kind: empty strings last, the NULL stays yellow.
    emit grid->headingPressed(1);
    EXPECT_EQ(column(1), QStringList({"nine", "ten", ""}));
    EXPECT_EQ(grid->sortArrow(1), CGridCtrl::SortArrow::Ascending);
    EXPECT_EQ(grid->sortArrow(0), CGridCtrl::SortArrow::None);
    EXPECT_EQ(grid->store().effectiveFormat(2, 1).background, QColor(255, 255, 0));
}

TEST_F(DBGridSample, ABlocksOutputLinesFillTheOneColumnView)
{
    auto grid =
        connectedGrid("BEGIN\n  dbms_output.put_line('first');\n  dbms_output.put_line('');\n"
                      "  dbms_output.put_line('third');\nEND;");
    ASSERT_TRUE(grid->openQuery()) << m_prompt.messages().join("|").toStdString();
    EXPECT_TRUE(m_prompt.messages().isEmpty()) << m_prompt.messages().join("|").toStdString();
    EXPECT_NE(grid->statementType(), 1);
    ASSERT_EQ(grid->columnCount(), 1);
    EXPECT_EQ(grid->columnWidth(0), 1000);
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->text(0, 0), "first");
    EXPECT_EQ(grid->text(1, 0), "");
    EXPECT_EQ(grid->text(2, 0), "third");
    EXPECT_EQ(grid->fetchedRows(), 0);
    EXPECT_EQ(grid->countRows(), 0);

    // With the option off the lines are not read.
    options::EnableDBMSOutput = false;
    ASSERT_TRUE(grid->openQuery());
    EXPECT_EQ(grid->rowCount(), 0);
}

TEST_F(DBGridSample, AnEmptyDateIsReportedThenTheServerRefusesTheUnboundVariable)
{
    std::vector<CSQLVariable> vars{variable(0, ":D")};
    auto grid = connectedGrid("SELECT ename FROM emp WHERE hiredate > :d", &vars);
    ModalAnswer<CVariablesDlg> answer([](CVariablesDlg *d) {
        d->list()->setText(0, CVariableLst::kTypeColumn, "Date");
        d->okButton()->click();
    });
    EXPECT_FALSE(grid->openQuery());
    EXPECT_TRUE(answer.found());
    const QStringList messages = m_prompt.messages();
    ASSERT_EQ(messages.size(), 2) << messages.join("|").toStdString();
    EXPECT_EQ(messages[0], "The value of :D variable (dd.mm.yyyy) has an unknown type");
    EXPECT_TRUE(messages[1].startsWith("Error type: ")) << messages[1].toStdString();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->columnCount(), 0);

    // A parsable date binds.
    vars[0].value = "01.01.2023";
    ASSERT_TRUE(grid->refresh()) << m_prompt.messages().join("|").toStdString();
    EXPECT_EQ(grid->rowCount(), 2); // ESPOSITO and O'BRIEN were hired later
}

TEST_F(DBGridSample, FailuresAreShownAndNothingRunsWithoutASession)
{
    CDBGridCtrl grid;
    CSQLConnection c;
    c.setUser("SCOTT");
    c.setPassword("wrong");
    c.setDatabase("SAMPLE");
    grid.setConnectionRecord(c);
    grid.setSqlText("SELECT * FROM dept");
    EXPECT_FALSE(grid.connectDatabase());
    EXPECT_FALSE(grid.isConnected());
    ASSERT_EQ(m_prompt.messages().size(), 1);
    EXPECT_TRUE(m_prompt.messages()[0].startsWith("Error type: "));
    EXPECT_FALSE(grid.openQuery());
    EXPECT_EQ(m_prompt.messages().size(), 1);

    auto ok = connectedGrid("SEL");
    EXPECT_FALSE(ok->openQuery()); // under four characters: nothing runs, nothing is said
    ok->setSqlText("SELECT * FROM no_such_table");
    EXPECT_FALSE(ok->openQuery());
    EXPECT_EQ(m_prompt.messages().size(), 2);
    ok->setSqlText("SELECT * FROM dept");
    ASSERT_TRUE(ok->openQuery());
    EXPECT_EQ(ok->rowCount(), 5);
    ok->resetGrid();
    EXPECT_FALSE(ok->isConnected());
    EXPECT_EQ(ok->rowCount(), 0);
    EXPECT_EQ(ok->columnCount(), 0);
}

// The grid as the user sees it, in a plain window: headings, row numbers, the current row, a sort
// arrow and yellow NULL cells. With $TARVOLO_SCREENSHOT set the picture is saved there.
TEST_F(DBGridSample, ShownInAWindow)
{
    QWidget window;
    window.setWindowTitle("SCOTT@SAMPLE");
    auto grid = connectedGrid("SELECT empno, ename, job, mgr, hiredate, sal, comm, deptno\n"
                              "FROM emp ORDER BY empno");
    grid->setParent(&window);
    grid->setGeometry(10, 10, 880, 330);
    window.resize(900, 350);
    ASSERT_TRUE(grid->openQuery());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    emit grid->headingPressed(5);
    emit grid->headingPressed(5);
    grid->setCurrentCell(2, 1);
    grid->setFocus();
    QCoreApplication::processEvents();

    EXPECT_EQ(grid->sortArrow(5), CGridCtrl::SortArrow::Descending);
    EXPECT_EQ(grid->text(0, 1), "HALVORSEN"); // the highest salary first
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_GT(grid->columnWidth(1), grid->columnWidth(7) - 1);
    const QImage image = window.grab().toImage();
    EXPECT_FALSE(image.isNull());
    const QString path = qEnvironmentVariable("TARVOLO_SCREENSHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(image.save(path));
    }
}

TEST_F(DBGridSample, ColumnsFitTheirFirstBatchUpToTheLargestWidth)
{
    const QString wide(40, QChar('x'));
    const QString sql = "SELECT '" + wide + "' id, 1 n FROM dual";
    options::SizeToHeader = false;
    auto grid = connectedGrid(sql);
    ASSERT_TRUE(grid->openQuery());
    const QFontMetrics metrics(grid->cellFont());
    EXPECT_EQ(grid->columnWidth(0), metrics.horizontalAdvance(wide) + 30);

    options::MaxColWidth = 50;
    ASSERT_TRUE(grid->refresh());
    EXPECT_EQ(grid->columnWidth(0), 50 + 30);

    options::SizeToHeader = true;
    ASSERT_TRUE(grid->refresh());
    EXPECT_EQ(grid->columnWidth(0), metrics.horizontalAdvance("ID") + 30);
}

TEST_F(DBGridSample, ExactlyOneBatchEndsOnTheNextFetchAndEditsStayInTheGrid)
{
    auto grid = connectedGrid("SELECT order_id FROM orders WHERE order_id <= 500");
    ASSERT_TRUE(grid->openQuery());
    EXPECT_EQ(grid->rowCount(), 500);
    EXPECT_FALSE(grid->endOfData());
    grid->fetchBlock(false);
    EXPECT_TRUE(grid->endOfData());
    EXPECT_EQ(grid->rowCount(), 500);

    // A double click edits the cell in place; running the query again shows the stored value.
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    const QRect cell = grid->visualRect(grid->gridModel()->index(0, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(grid->isEditing());
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "edited");
    grid->commitEditor();
    EXPECT_EQ(grid->text(0, 0), "edited");
    ASSERT_TRUE(grid->refresh());
    EXPECT_EQ(grid->text(0, 0), "1");
}
