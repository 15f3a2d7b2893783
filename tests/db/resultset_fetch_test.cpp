#include "ScriptedOci.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"

#include <gtest/gtest.h>

using scripted::state;
using Calls = std::vector<std::string>;

namespace {

class ResultsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::set_rows_per_fetch(20);
        db::open_parameters p;
        p.service = "SCRIPTED";
        m_conn.open(p);
    }
    void TearDown() override { db::set_rows_per_fetch(20); }

    // A fresh script and session, with nothing of the previous one left.
    void reopen()
    {
        m_statement.reset();
        m_conn.close();
        EXPECT_EQ(state().liveHandles, 0);
        EXPECT_EQ(state().badFrees, 0);
        scripted::reset();
        m_conn.open(db::open_parameters{"SCRIPTED", "", "", 0, oci::OCI_OBJECT, false});
    }

    // One NUMBER column ID with rows 1..count.
    void numberRows(int count)
    {
        state().columns = {{"ID", oci::SQLT_NUM, 22}};
        for (int i = 1; i <= count; ++i)
            state().rows.push_back({scripted::number(std::to_string(i))});
    }

    std::unique_ptr<db::resultset> query()
    {
        m_statement = std::make_unique<db::statement>(m_conn, "select * from t");
        state().calls.clear();
        return m_statement->execute_query();
    }

    // Reads every row as the result grid does; returns the IDs seen.
    std::vector<std::string> readAll(db::resultset &rs)
    {
        std::vector<std::string> ids;
        while (rs.has_row()) {
            ids.emplace_back(rs.col("ID").number_text());
            rs.next();
        }
        return ids;
    }

    scripted::Session m_session;
    db::connection m_conn;
    std::unique_ptr<db::statement> m_statement;
};

} // namespace

TEST_F(ResultsetTest, DescribeDefineAndFirstFetchSequence)
{
    state().columns = {{"NAME", oci::SQLT_CHR, 30}, {"SAL", oci::SQLT_NUM, 22},
                       {"HIRED", oci::SQLT_DAT, 7}};
    auto rs = query();
    EXPECT_EQ(state().calls, (Calls{
                                 "OCIStmtExecute(svc1, stmt1, err1, 0, 0, null, null, 0)",
                                 "OCIAttrGet(stmt1, STMT, PARAM_COUNT, null, err1)",
                                 "OCIParamGet(stmt1, STMT, err1, 1)",
                                 "OCIAttrGet(par1, PARAM, NAME, size, err1)",
                                 "OCIAttrGet(par1, PARAM, DATA_TYPE, null, err1)",
                                 "OCIAttrGet(par1, PARAM, DATA_SIZE, null, err1)",
                                 "OCIDescriptorFree(par1, PARAM)",
                                 "OCIParamGet(stmt1, STMT, err1, 2)",
                                 "OCIAttrGet(par2, PARAM, NAME, size, err1)",
                                 "OCIAttrGet(par2, PARAM, DATA_TYPE, null, err1)",
                                 "OCIAttrGet(par2, PARAM, DATA_SIZE, null, err1)",
                                 "OCIDescriptorFree(par2, PARAM)",
                                 "OCIParamGet(stmt1, STMT, err1, 3)",
                                 "OCIAttrGet(par3, PARAM, NAME, size, err1)",
                                 "OCIAttrGet(par3, PARAM, DATA_TYPE, null, err1)",
                                 "OCIAttrGet(par3, PARAM, DATA_SIZE, null, err1)",
                                 "OCIDescriptorFree(par3, PARAM)",
                                 "OCIDefineByPos(stmt1, err1, 1, 62, 5, ind, rlen, null, 0)",
                                 "OCIAttrSet(def1, DEFINE, CHARSET_ID=1000/2, err1)",
                                 "OCIDefineByPos(stmt1, err1, 2, 22, 6, ind, null, null, 0)",
                                 "OCIDefineByPos(stmt1, err1, 3, 8, 156, ind, null, null, 0)",
                                 "OCIStmtFetch(stmt1, err1, 20, 2, 0)",
                                 "OCIAttrGet(stmt1, STMT, ROW_COUNT, null, err1)",
                             }));
    EXPECT_TRUE(rs->described());
    EXPECT_TRUE(rs->defined());
    EXPECT_EQ(rs->column_count(), 3);
    EXPECT_EQ(rs->col(0)->name(), "NAME");
    EXPECT_EQ(rs->col(0)->kind(), db::kind_string);
    EXPECT_EQ(rs->col(1)->kind(), db::kind_number);
    EXPECT_EQ(rs->col(2)->kind(), db::kind_date);
    EXPECT_FALSE(rs->has_row());
    EXPECT_TRUE(rs->end_of_data());
}

TEST_F(ResultsetTest, ColumnKindsAndElementSizes)
{
    struct Case {
        oci::ub2 type;
        oci::ub2 size;
        int kind;
        oci::ub2 external;
        int element;
    };
    const Case cases[] = {
        {oci::SQLT_CHR, 4000, db::kind_string, oci::SQLT_STR, 2 * 2049}, // cut to 2048
        {oci::SQLT_CHR, 1, db::kind_string, oci::SQLT_STR, 4},
        {oci::SQLT_AFC, 10, db::kind_string, oci::SQLT_STR, 22},
        {oci::SQLT_STR, 5, db::kind_string, oci::SQLT_STR, 12},
        {oci::SQLT_VCS, 5, db::kind_string, oci::SQLT_STR, 12},
        {oci::SQLT_AVC, 5, db::kind_string, oci::SQLT_STR, 12},
        {oci::SQLT_VST, 5, db::kind_string, oci::SQLT_STR, 12},
        {oci::SQLT_NUM, 22, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_INT, 4, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_FLT, 8, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_VNU, 22, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_PDN, 22, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_UIN, 4, db::kind_number, oci::SQLT_VNU, 22},
        {oci::SQLT_DAT, 7, db::kind_date, oci::SQLT_ODT, 8},
        {oci::SQLT_ODT, 7, db::kind_date, oci::SQLT_ODT, 8},
        {oci::SQLT_LNG, 0, db::kind_string, oci::SQLT_STR, 2 * 2049},     // LONG: text, its start
        {oci::SQLT_TIMESTAMP, 11, db::kind_string, oci::SQLT_STR, 2 * 129}, // room for the text
        {oci::SQLT_BIN, 16, db::kind_string, oci::SQLT_STR, 2 * 129},
        {oci::SQLT_BIN, 2000, db::kind_string, oci::SQLT_STR, 2 * 2049},  // hex twice as long, cut
        {oci::SQLT_RDD, 10, db::kind_string, oci::SQLT_STR, 2 * 129},
    };
    for (const Case &c : cases)
        state().columns.push_back({"C", c.type, c.size});
    auto rs = query();
    for (int i = 0; i < rs->column_count(); ++i) {
        const db::column *col = rs->col(i);
        EXPECT_EQ(col->kind(), cases[i].kind) << "type " << cases[i].type;
        EXPECT_EQ(col->external_type(), cases[i].external) << "type " << cases[i].type;
        EXPECT_EQ(col->element_size(), cases[i].element) << "type " << cases[i].type;
    }
}

TEST_F(ResultsetTest, LobColumnsAreRefusedWithTheirName)
{
    for (oci::ub2 type : {oci::SQLT_CLOB, oci::SQLT_BLOB, oci::SQLT_BFILEE, oci::SQLT_CFILEE}) {
        reopen();
        state().columns = {{"ID", oci::SQLT_NUM, 22}, {"DOC", type, 4000}};
        try {
            query();
            ADD_FAILURE() << "type " << type << " accepted";
        } catch (const db::error &e) {
            EXPECT_EQ(e.code(), 1009);
            EXPECT_EQ(e.description(), "Unsupported type - this version of the program doesn't "
                                       "support such an Oracle type: DOC");
        }
        EXPECT_TRUE(scripted::callsOf("OCIDefineByPos").empty());
        EXPECT_EQ(state().badFrees, 0);
        m_statement.reset();
        EXPECT_EQ(state().liveHandles, 5); // only the session's handles remain
    }
}

TEST_F(ResultsetTest, DescribeAndDefineFailuresFreeEverything)
{
    const struct {
        const char *fn;
        int skip;
        const char *suffix;
    } cases[] = {
        {"OCIParamGet", 1, ""},
        {"OCIAttrGet", 4, ""},    // DATA_TYPE of the second column
        {"OCIDefineByPos", 1, ": B"},
        {"OCIAttrSet", 1, ": B"}, // the charset of the second string column
    };
    for (const auto &c : cases) {
        state().columns = {{"A", oci::SQLT_CHR, 5}, {"B", oci::SQLT_CHR, 5}};
        scripted::fail(c.fn, oci::OCI_ERROR, c.skip);
        try {
            query();
            ADD_FAILURE() << c.fn;
        } catch (const db::error &e) {
            EXPECT_EQ(e.description(),
                      std::string("(OCI_ERROR) ORA-00942: table or view does not exist\n") + c.suffix)
                << c.fn;
        }
        state().failures.clear();
        m_statement.reset();
        EXPECT_EQ(state().liveHandles, 5) << c.fn; // no descriptor left behind
        EXPECT_EQ(state().badFrees, 0);
    }
}

TEST_F(ResultsetTest, FortyFiveRowsComeInBatchesOf20And20And5)
{
    numberRows(45);
    auto rs = query();
    EXPECT_EQ(rs->rows_fetched(), 20u);
    EXPECT_FALSE(rs->reached_end());
    std::vector<std::string> ids;
    std::vector<int> batches = {20};
    while (rs->has_row()) {
        const auto before = rs->rows_fetched();
        ids.emplace_back(rs->col("ID").number_text());
        rs->next();
        if (rs->current_row() == rs->rows_fetched() && !rs->reached_end()) {
            rs->has_row();
            batches.push_back(static_cast<int>(rs->rows_fetched() - before));
        }
    }
    EXPECT_EQ(batches, (std::vector<int>{20, 20, 5}));
    ASSERT_EQ(ids.size(), 45u);
    EXPECT_EQ(ids.front(), "1");
    EXPECT_EQ(ids[20], "21");
    EXPECT_EQ(ids.back(), "45");
    EXPECT_TRUE(rs->end_of_data());
    EXPECT_EQ(scripted::callsOf("OCIStmtFetch").size(), 3u);
}

TEST_F(ResultsetTest, ExactlyOneBatchNeedsASecondFetchToSeeTheEnd)
{
    numberRows(20);
    auto rs = query();
    EXPECT_FALSE(rs->reached_end());
    for (int i = 0; i < 20; ++i)
        rs->next();
    EXPECT_FALSE(rs->end_of_data());
    EXPECT_FALSE(rs->has_row());
    EXPECT_TRUE(rs->end_of_data());
    EXPECT_EQ(scripted::callsOf("OCIStmtFetch").size(), 2u);
    EXPECT_EQ(rs->fetch(), 0);
}

TEST_F(ResultsetTest, NoRowsAndOtherBatchSizes)
{
    state().columns = {{"ID", oci::SQLT_NUM, 22}};
    auto rs = query();
    EXPECT_EQ(rs->rows_fetched(), 0u);
    EXPECT_TRUE(rs->reached_end());
    EXPECT_FALSE(rs->has_row());
    EXPECT_FALSE(rs->next());
    EXPECT_EQ(scripted::callsOf("OCIStmtFetch").size(), 1u);
    rs.reset();

    for (int batch : {1, 7, 45, 100}) {
        reopen();
        db::set_rows_per_fetch(static_cast<oci::ub2>(batch));
        numberRows(45);
        auto all = query();
        const auto ids = readAll(*all);
        ASSERT_EQ(ids.size(), 45u) << "batch " << batch;
        EXPECT_EQ(ids[44], "45");
        EXPECT_EQ(scripted::callsOf("OCIStmtFetch").size(), std::size_t(45 / batch + 1));
        all.reset();
        m_statement.reset();
    }
}

TEST_F(ResultsetTest, ValuesAndNullsOfEveryKind)
{
    state().columns = {{"S", oci::SQLT_CHR, 10}, {"N", oci::SQLT_NUM, 22}, {"D", oci::SQLT_DAT, 7}};
    state().rows = {
        {scripted::text(u"Grüße"), scripted::number("123.45"), scripted::date(1999, 12, 31, 23, 59, 1)},
        {scripted::null(), scripted::null(), scripted::null()},
        {scripted::text(u"this is longer than ten"), scripted::number("-.5"), scripted::date(2000, 1, 1, 0, 0, 0)},
    };
    auto rs = query();
    ASSERT_TRUE(rs->has_row());
    db::column &s = rs->col("S");
    db::column &n = rs->col("N");
    db::column &d = rs->col("D");
    EXPECT_EQ(s.text(), u"Grüße");
    EXPECT_EQ(QStringView(s.text()).toString(), QStringLiteral("Grüße"));
    state().calls.clear();
    EXPECT_EQ(n.number_text(), "123.45");
    EXPECT_EQ(state().calls, Calls{"OCINumberToText(err1, \"TM\", 2, null, 0, 65)"});
    EXPECT_EQ(n.number_text("FM999.0", 7), "123.45");
    EXPECT_EQ(state().calls.back(), "OCINumberToText(err1, \"FM999.0\", 7, null, 0, 65)");
    EXPECT_EQ(d.date(), (db::datetime{1999, 12, 31, 23, 59, 1}));

    auto code = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const db::error &e) {
            EXPECT_TRUE(e.description().find(':') == std::string::npos); // no detail
            return e.code();
        }
        return 0;
    };
    EXPECT_EQ(code([&] { s.number_text(); }), 1006);
    EXPECT_EQ(code([&] { s.date(); }), 1006);
    EXPECT_EQ(code([&] { n.text(); }), 1006);
    EXPECT_EQ(code([&] { d.text(); }), 1006);

    ASSERT_TRUE(rs->next());
    EXPECT_TRUE(s.is_null());
    EXPECT_EQ(code([&] { s.text(); }), 1006);
    EXPECT_EQ(code([&] { n.number_text(); }), 1006);
    EXPECT_EQ(code([&] { d.date(); }), 1006);

    ASSERT_TRUE(rs->next());
    EXPECT_EQ(s.text(), u"this is lo"); // cut by the fetch; still a value
    EXPECT_EQ(n.number_text(), "-.5");
    EXPECT_EQ(d.date().year, 2000);
    EXPECT_FALSE(rs->next());
    EXPECT_FALSE(rs->has_row());

    scripted::fail("OCINumberToText", oci::OCI_ERROR);
    EXPECT_THROW(n.number_text(), db::error);
}

TEST_F(ResultsetTest, NamesLookupByNameIndexAndOrder)
{
    state().columns = {{"A\xc3\x84", oci::SQLT_CHR, 5}, {"X", oci::SQLT_CHR, 5}, {"X", oci::SQLT_NUM, 22}};
    state().rows = {{scripted::text(u"a"), scripted::text(u"first"), scripted::number("2")}};
    auto rs = query();
    ASSERT_TRUE(rs->has_row());
    EXPECT_EQ(&rs->col("X"), rs->col(2));
    EXPECT_EQ(rs->col("X").number_text(), "2");
    EXPECT_EQ(rs->col(1)->text(), u"first");
    EXPECT_EQ(rs->col(0)->name_unicode(), QStringLiteral("AÄ"));
    EXPECT_EQ(rs->col(3), nullptr);
    EXPECT_EQ(rs->col(-1), nullptr);
    EXPECT_EQ(rs->first_column(), rs->col(0));
    EXPECT_EQ(rs->column_after(rs->col(0)), rs->col(1));
    EXPECT_EQ(rs->column_after(rs->col(2)), nullptr);
    try {
        rs->col("x");
        FAIL();
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1011);
        EXPECT_EQ(e.description(), "Result set doesn't contain column with such name: x");
    }
}

TEST_F(ResultsetTest, FetchStatusesAndAFailedFirstFetch)
{
    numberRows(45);
    auto rs = query();
    scripted::fail("OCIStmtFetch", oci::OCI_SUCCESS_WITH_INFO); // accepted, nothing delivered
    EXPECT_EQ(rs->fetch(), 0);
    EXPECT_TRUE(rs->reached_end());

    for (oci::sword status : {oci::OCI_ERROR, oci::OCI_INVALID_HANDLE, oci::OCI_NEED_DATA}) {
        rs.reset();
        m_statement.reset();
        state().nextRow = 0;
        state().rowCount = 0;
        scripted::fail("OCIStmtFetch", status);
        try {
            query();
            ADD_FAILURE() << status;
        } catch (const db::error &e) {
            EXPECT_EQ(e.code(), status);
        }
        m_statement.reset();
        EXPECT_EQ(state().liveHandles, 5);
    }
}

TEST_F(ResultsetTest, ImplausibleRowCountsStayWithinTheBuffers)
{
    numberRows(45);
    auto rs = query();
    state().rowCount = 1000; // a provider that over-reports
    EXPECT_EQ(rs->fetch(), 20);
    state().rowCount = 3; // and one that goes backwards
    EXPECT_EQ(rs->fetch(), 0);
    EXPECT_TRUE(rs->reached_end());
}
