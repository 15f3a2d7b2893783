// The run of a statement without any widget, against the SAMPLE database of the embedded engine:
// logon, variables asked through the source, batches, fetch all with a cancel, counting, refresh,
// DBMS_OUTPUT lines and the failures that come back as messages.
#include "db/statement.h"
#include "engine/CEngineProvider.h"
#include "execution/CStatementRun.h"
#include "execution/IVariableSource.h"
#include "settings/Options.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {

using Outcome = CRunExecution::Outcome;

// Answers the values from a table of name → (type, value), or refuses them.
class TableSource : public IVariableSource
{
public:
    bool askValues(std::vector<CSQLVariable> &variables) override
    {
        ++asked;
        if (failure)
            throw std::runtime_error(failure);
        if (refuse)
            return false;
        for (CSQLVariable &v : variables) {
            const auto it = answers.find(v.name);
            if (it != answers.end()) {
                v.type = it->second.first;
                v.value = it->second.second;
            }
        }
        return true;
    }

    std::map<QString, std::pair<QString, QString>> answers;
    int asked = 0;
    bool refuse = false;
    const char *failure = nullptr; // thrown as std::runtime_error when set
};

CSQLVariable variable(int kind, const QString &name, const QString &type = "String",
                      const QString &value = {})
{
    CSQLVariable v;
    v.kind = kind;
    v.name = name;
    v.type = type;
    v.value = value;
    return v;
}

class RunOnSample : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString samples = testfiles::buildDir() + "/Samples";
        ASSERT_TRUE(QFile::exists(samples + "/SAMPLE.db")) << samples.toStdString();
        qputenv("TARVOLO_DATABASES", samples.toLocal8Bit());
        engine::registerEngineProvider();
        m_rowsPerFetch = db::rows_per_fetch();
        db::set_rows_per_fetch(500);
        m_output = options::EnableDBMSOutput;
        options::EnableDBMSOutput = true;
    }
    void TearDown() override
    {
        db::set_rows_per_fetch(m_rowsPerFetch);
        options::EnableDBMSOutput = m_output;
    }

    static CSQLConnection scott(const QString &password = "TIGER")
    {
        CSQLConnection c;
        c.setUser("SCOTT");
        c.setPassword(password);
        c.setDatabase("SAMPLE");
        return c;
    }

    // A run logged on to SAMPLE with sql and the variables answered from m_source.
    std::unique_ptr<CStatementRun> openRun(const QString &sql,
                                           std::vector<CSQLVariable> *variables = nullptr)
    {
        auto run = std::make_unique<CStatementRun>();
        const CRunReport logon = run->open(scott());
        EXPECT_TRUE(logon.ok) << logon.messages.join("|").toStdString();
        run->setSqlText(sql);
        run->setVariables(variables);
        run->setVariableSource(&m_source);
        return run;
    }

    TableSource m_source;
    oci::ub2 m_rowsPerFetch = 0;
    bool m_output = true;
};

std::string joined(const QStringList &messages) { return messages.join("|").toStdString(); }

std::string cell(const CRowBatch &batch, int row, int column)
{
    if (row < 0 || row >= batch.rowCount() || column < 0 || column >= batch.columnCount())
        return "(no cell)";
    return batch.text(row, column).toString().toStdString();
}

} // namespace

TEST_F(RunOnSample, AQueryComesInBatchesToItsEndAndCountsWhateverIsFetched)
{
    auto run = openRun("SELECT order_id, customer, amount FROM orders ORDER BY order_id");
    const CRunExecution r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Query) << joined(r.messages);
    EXPECT_TRUE(r.messages.isEmpty()) << joined(r.messages);
    EXPECT_EQ(run->statementType(), 1);
    ASSERT_EQ(run->columns().size(), 3u);
    EXPECT_EQ(run->columns()[0].name, "ORDER_ID");
    EXPECT_EQ(run->columns()[0].kind, db::kind_number);
    EXPECT_EQ(run->columns()[1].kind, db::kind_string);

    CRowBatch first = run->fetchNext();
    EXPECT_FALSE(first.failed);
    EXPECT_EQ(first.rowCount(), 500);
    EXPECT_EQ(first.columnCount(), 3);
    EXPECT_EQ(cell(first, 0, 0), "1");
    EXPECT_EQ(cell(first, 499, 0), "500");
    EXPECT_FALSE(first.text(0, 1).isEmpty());
    EXPECT_EQ(run->fetchedRows(), 500);
    EXPECT_FALSE(run->endOfData());

    const CRunCount counted = run->count();
    EXPECT_TRUE(counted.ok) << joined(counted.messages);
    EXPECT_EQ(counted.rows, 100000);
    EXPECT_EQ(cell(run->fetchNext(), 0, 0), "501"); // counting left the rows where they were

    // A sink that declines stops fetching all between batches, as a cancel would.
    int batches = 0;
    CRunReport all = run->fetchAll([&](CRowBatch &&) { return ++batches < 2; });
    EXPECT_TRUE(all.ok);
    EXPECT_EQ(batches, 2);
    EXPECT_EQ(run->fetchedRows(), 2000);
    EXPECT_TRUE(run->hasRows());

    qint64 rows = 0;
    CRowBatch kept;
    all = run->fetchAll([&](CRowBatch &&b) {
        rows += b.rowCount();
        if (!b.isEmpty())
            kept = std::move(b);
        return true;
    });
    EXPECT_TRUE(all.ok);
    EXPECT_EQ(rows, 98000);
    EXPECT_EQ(cell(kept, kept.rowCount() - 1, 0), "100000");
    EXPECT_EQ(run->fetchedRows(), 100000);
    EXPECT_TRUE(run->endOfData());
    EXPECT_FALSE(run->hasRows()); // the statement and its rows are gone, the columns stay
    EXPECT_EQ(run->columns().size(), 3u);
    EXPECT_TRUE(run->fetchNext().isEmpty());
    EXPECT_EQ(run->count().rows, 100000);

    // Refresh starts over from the first row.
    ASSERT_EQ(run->refresh().outcome, Outcome::Query);
    EXPECT_EQ(run->fetchedRows(), 0);
    EXPECT_EQ(cell(run->fetchNext(), 0, 0), "1");
    EXPECT_EQ(run->fetchedRows(), 500);
}

TEST_F(RunOnSample, ExactlyOneBatchEndsOnTheNextFetchAndNoRowsEndAtOnce)
{
    auto run = openRun("SELECT order_id FROM orders WHERE order_id <= 500");
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    EXPECT_EQ(run->fetchNext().rowCount(), 500);
    EXPECT_FALSE(run->endOfData());
    EXPECT_EQ(run->fetchNext().rowCount(), 0);
    EXPECT_TRUE(run->endOfData());
    EXPECT_EQ(run->fetchedRows(), 500);

    run->setSqlText("SELECT * FROM dept WHERE 1 = 0");
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    EXPECT_EQ(run->columns().size(), 3u);
    EXPECT_TRUE(run->fetchNext().isEmpty());
    EXPECT_TRUE(run->endOfData());
    EXPECT_EQ(run->count().rows, 0);
}

TEST_F(RunOnSample, NullsAndDatesBecomeTheirDisplayTexts)
{
    const int saved[] = {options::DateFormat, options::TimeFormat};
    options::DateFormat = 1;
    options::TimeFormat = 0;
    auto run = openRun("SELECT empno, hiredate, comm, ename FROM emp WHERE empno = 8002");
    options::DateFormat = saved[0];
    options::TimeFormat = saved[1];
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    const CRowBatch b = run->fetchNext();
    ASSERT_EQ(b.rowCount(), 1);
    EXPECT_EQ(cell(b, 0, 0), "8002");
    EXPECT_EQ(cell(b, 0, 1), "15.06.2015");
    EXPECT_TRUE(b.text(0, 2).isEmpty()); // NULL
    EXPECT_TRUE(b.messages.isEmpty()) << joined(b.messages);
}

TEST_F(RunOnSample, ABlocksOutputLinesComeBackWhenTheOptionAsks)
{
    auto run = openRun("BEGIN\n  dbms_output.put_line('first');\n  dbms_output.put_line('');\n"
                       "  dbms_output.put_line('third');\nEND;");
    CRunExecution r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Statement) << joined(r.messages);
    EXPECT_TRUE(r.outputRead);
    EXPECT_EQ(r.output, QStringList({"first", "", "third"}));
    EXPECT_EQ(run->dbmsOutputLines(), r.output);
    EXPECT_NE(run->statementType(), 1);
    EXPECT_TRUE(run->columns().empty());
    EXPECT_EQ(run->count().rows, 0);
    EXPECT_TRUE(run->fetchNext().isEmpty());

    options::EnableDBMSOutput = false;
    r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::Statement);
    EXPECT_FALSE(r.outputRead);
    EXPECT_TRUE(r.output.isEmpty());
    EXPECT_TRUE(run->dbmsOutputLines().isEmpty());
}

TEST_F(RunOnSample, AQueryLeavesTheOutputBufferDisabled)
{
    // Were the buffer still enabled after the query, the block run with the option off would
    // leave its line there for the next block to read.
    auto run = openRun("SELECT * FROM dept");
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    options::EnableDBMSOutput = false;
    run->setSqlText("BEGIN dbms_output.put_line('stale'); END;");
    ASSERT_EQ(run->execute().outcome, Outcome::Statement);
    options::EnableDBMSOutput = true;
    run->setSqlText("BEGIN NULL; END;");
    const CRunExecution r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Statement) << joined(r.messages);
    EXPECT_TRUE(r.output.isEmpty()) << joined(r.output);
}

TEST_F(RunOnSample, VariablesAreAskedThroughTheSourceAndNotOnRefresh)
{
    std::vector<CSQLVariable> vars{variable(1, "&TAB"), variable(0, ":DEPTNO")};
    m_source.answers = {{"&TAB", {"String", "emp"}}, {":DEPTNO", {"Number", "20"}}};
    auto run = openRun("SELECT empno FROM &tab\r\nWHERE deptno = :deptno ORDER BY empno", &vars);
    CRunExecution r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Query) << joined(r.messages);
    EXPECT_EQ(m_source.asked, 1);
    EXPECT_EQ(run->fetchNext().rowCount(), 5);
    EXPECT_EQ(run->count().rows, 5);

    // Refresh takes the values as they are; a changed value selects other rows.
    vars[1].value = "10";
    ASSERT_EQ(run->refresh().outcome, Outcome::Query);
    EXPECT_EQ(m_source.asked, 1);
    EXPECT_EQ(run->fetchNext().rowCount(), 2);

    // Refused values run nothing and say nothing; the earlier query is closed.
    m_source.refuse = true;
    r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::NotRun);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(m_source.asked, 2);
    EXPECT_TRUE(run->columns().empty());
    EXPECT_FALSE(run->hasRows());

    // A source that fails in an unexpected way is reported, not passed over in silence.
    m_source.failure = "the dialog broke";
    r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.messages, QStringList{"Unexpected failure: the dialog broke"});
}

TEST_F(RunOnSample, NumberVariablesArriveAsTyped)
{
    std::vector<CSQLVariable> vars{
        variable(0, ":BIG", "Number", "123456789012345678"), variable(0, ":HALF", "Number", "3.5"),
        variable(0, ":NEG", "Number", " -1.25E3 "), variable(0, ":NONE", "Number", "")};
    auto run = openRun("SELECT :big big, :half half, :neg neg, :half * 2 twice,\n"
                       "CASE WHEN :none IS NULL THEN 'null' ELSE 'set' END none FROM dual",
                       &vars);
    const CRunExecution r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Query) << joined(r.messages);
    const CRowBatch b = run->fetchNext();
    ASSERT_EQ(b.rowCount(), 1) << joined(b.messages);
    EXPECT_EQ(cell(b, 0, 0), "123456789012345678");
    EXPECT_EQ(cell(b, 0, 1), "3.5");
    EXPECT_EQ(cell(b, 0, 2), "-1250");
    EXPECT_EQ(cell(b, 0, 3), "7");
    EXPECT_EQ(cell(b, 0, 4), "null");

    // A fraction is not cut to its integer: the rows a bound number selects are the ones typed.
    std::vector<CSQLVariable> sal{variable(0, ":S", "Number", "2980.25")};
    run->setVariables(&sal);
    run->setSqlText("SELECT ename FROM emp WHERE sal = :s");
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    const CRowBatch szabo = run->fetchNext();
    ASSERT_EQ(szabo.rowCount(), 1);
    EXPECT_EQ(cell(szabo, 0, 0), "SZABO");
}

TEST_F(RunOnSample, FailuresComeBackAsMessagesAndTheSessionStaysUsable)
{
    // A logon failure.
    CStatementRun refused;
    const CRunReport logon = refused.open(scott("wrong"));
    EXPECT_FALSE(logon.ok);
    ASSERT_EQ(logon.messages.size(), 1);
    EXPECT_TRUE(logon.messages[0].startsWith("Error type: ")) << joined(logon.messages);
    EXPECT_FALSE(refused.isOpen());
    refused.setSqlText("SELECT * FROM dept");
    const CRunExecution nothing = refused.execute();
    EXPECT_EQ(nothing.outcome, Outcome::NotRun);
    EXPECT_TRUE(nothing.messages.isEmpty());

    // An invalid statement, a text under four characters, a text the count cannot wrap.
    auto run = openRun("SELECT * FROM no_such_table");
    CRunExecution r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_TRUE(r.messages[0].startsWith("Error type: ")) << joined(r.messages);
    EXPECT_TRUE(r.messages[0].contains("ORA-00942")) << joined(r.messages);
    EXPECT_EQ(run->statementType(), 0);
    run->setSqlText("SEL");
    r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::NotRun);
    EXPECT_TRUE(r.messages.isEmpty());
    run->setSqlText("SELECT * FROM dept");
    ASSERT_EQ(run->execute().outcome, Outcome::Query);
    run->setSqlText("SELECT * FROM dept;");
    const CRunCount counted = run->count();
    EXPECT_FALSE(counted.ok);
    ASSERT_EQ(counted.messages.size(), 1);
    EXPECT_TRUE(counted.messages[0].startsWith("Error type: ")) << joined(counted.messages);
    EXPECT_EQ(run->fetchNext().rowCount(), 5); // the rows of the query are untouched

    // An unparsable date is reported, then the server refuses the unbound variable.
    std::vector<CSQLVariable> vars{variable(0, ":D", "Date", "dd.mm.yyyy")};
    run->setVariables(&vars);
    run->setSqlText("SELECT ename FROM emp WHERE hiredate > :d");
    r = run->execute();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    ASSERT_EQ(r.messages.size(), 2) << joined(r.messages);
    EXPECT_EQ(r.messages[0], "The value of :D variable (dd.mm.yyyy) has an unknown type");
    EXPECT_TRUE(r.messages[1].startsWith("Error type: "));

    vars[0].value = "01.01.2023";
    r = run->execute();
    ASSERT_EQ(r.outcome, Outcome::Query) << joined(r.messages);
    EXPECT_EQ(run->fetchNext().rowCount(), 2);

    run->close();
    EXPECT_FALSE(run->isOpen());
    EXPECT_TRUE(run->columns().empty());
    EXPECT_EQ(run->execute().outcome, Outcome::NotRun);
}
