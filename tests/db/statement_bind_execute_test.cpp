#include "ScriptedOci.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"

#include <gtest/gtest.h>

#include <cstring>

using scripted::state;
using Calls = std::vector<std::string>;

namespace {

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::open_parameters p;
        p.service = "SCRIPTED";
        m_conn.open(p);
        state().calls.clear();
    }

    int expectLibraryError(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const db::error &e) {
            EXPECT_EQ(e.kind(), db::error::library_kind);
            return e.code();
        }
        ADD_FAILURE() << "no error";
        return 0;
    }

    scripted::Session m_session;
    db::connection m_conn;
};

} // namespace

TEST_F(StatementTest, PrepareExecuteAndFreeSequence)
{
    state().stmtType = oci::OCI_STMT_UPDATE;
    {
        db::statement st(m_conn, "update t set a = 1 where b = 2", 18);
        EXPECT_EQ(st.type(), oci::OCI_STMT_UPDATE);
        EXPECT_TRUE(st.prepared());
        EXPECT_FALSE(st.executed());
        st.execute();
        EXPECT_TRUE(st.executed());
    }
    EXPECT_EQ(state().calls, (Calls{
                                 "OCIHandleAlloc(env1, STMT)",
                                 "OCIStmtPrepare(stmt1, err1, \"update t set a = 1\", 18, 1, 0)",
                                 "OCIAttrGet(stmt1, STMT, STMT_TYPE, null, err1)",
                                 "OCIStmtExecute(svc1, stmt1, err1, 1, 0, null, null, 0)",
                                 "OCIHandleFree(stmt1, STMT)",
                             }));
}

TEST_F(StatementTest, UnicodeTextIsPreparedInTheSystemCodePage)
{
    db::statement st(m_conn, QStringLiteral("select 'ü' from dual"));
    EXPECT_EQ(state().calls[1], "OCIStmtPrepare(stmt1, err1, \"select '\xc3\xbc' from dual\", 21, 1, 0)");
    // An embedded NUL does not cut the statement short: the server sees (and refuses) it whole.
    state().calls.clear();
    db::statement cut(m_conn, QStringLiteral("delete from t") + QChar(0) + QStringLiteral(" where 1 = 0"));
    EXPECT_EQ(scripted::callsOf("OCIStmtPrepare").at(0),
              std::string("OCIStmtPrepare(stmt2, err1, \"delete from t\0 where 1 = 0\", 26, 1, 0)", 67));
}

TEST_F(StatementTest, SelectExecutesWithZeroIterationsOthersWithOne)
{
    const std::pair<oci::ub2, int> cases[] = {{oci::OCI_STMT_SELECT, 0}, {oci::OCI_STMT_INSERT, 1},
                                              {oci::OCI_STMT_DELETE, 1}, {oci::OCI_STMT_BEGIN, 1},
                                              {oci::OCI_STMT_DECLARE, 1}, {oci::OCI_STMT_UNKNOWN, 1}};
    int number = 0;
    for (auto [type, iterations] : cases) {
        ++number;
        state().stmtType = type;
        db::statement st(m_conn, "x");
        state().calls.clear();
        st.execute();
        st.execute(); // may run again
        EXPECT_EQ(scripted::callsOf("OCIStmtExecute").front(),
                  "OCIStmtExecute(svc1, stmt" + std::to_string(number)
                      + ", err1, " + std::to_string(iterations) + ", 0, null, null, 0)")
            << "type " << type;
    }
}

TEST_F(StatementTest, FailingPrepareOrTypeReadLeavesNothingAllocated)
{
    for (const char *fn : {"OCIStmtPrepare", "OCIAttrGet", "OCIHandleAlloc"}) {
        scripted::fail(fn, oci::OCI_ERROR);
        const int before = state().liveHandles;
        try {
            db::statement st(m_conn, "select * from missing");
            ADD_FAILURE() << fn << " failure not reported";
        } catch (const db::error &e) {
            EXPECT_EQ(e.kind(), db::error::oracle_kind);
            EXPECT_EQ(e.code(), oci::OCI_ERROR);
            EXPECT_EQ(e.description(), "(OCI_ERROR) ORA-00942: table or view does not exist\n");
        }
        EXPECT_EQ(state().liveHandles, before) << fn;
    }
    EXPECT_EQ(state().badFrees, 0);
    // Allocation errors are read through the environment.
    EXPECT_EQ(state().calls.back(), "OCIErrorGet(env1, 1, null, 4000, ENV)");
}

TEST_F(StatementTest, ExecuteFailureIsAnOracleErrorAndStatementStaysUnexecuted)
{
    db::statement st(m_conn, "insert into t values (1)");
    for (oci::sword status : {oci::OCI_ERROR, oci::OCI_INVALID_HANDLE, oci::OCI_STILL_EXECUTING}) {
        scripted::fail("OCIStmtExecute", status);
        EXPECT_THROW(st.execute(), db::error) << status;
        EXPECT_FALSE(st.executed());
    }
}

TEST_F(StatementTest, SuccessWithInfoRanTheStatementAndKeepsTheWarning)
{
    state().stmtType = oci::OCI_STMT_CREATE;
    state().errorText = "ORA-24344: success with compilation error\n";
    state().errorCode = 24344;
    db::statement st(m_conn, "create procedure p as begin null end;");
    scripted::fail("OCIStmtExecute", oci::OCI_SUCCESS_WITH_INFO);
    ASSERT_NO_THROW(st.execute());
    EXPECT_TRUE(st.executed());
    EXPECT_EQ(st.warning(), "ORA-24344: success with compilation error");
    EXPECT_EQ(state().calls.back(), "OCIErrorGet(err1, 1, null, 4000, ERROR)");
    st.execute(); // a clean run clears it
    EXPECT_EQ(st.warning(), "");
}

TEST_F(StatementTest, StatementOnUnopenedConnectionFailsCleanly)
{
    db::connection closed;
    try {
        db::statement st(closed, "select 1 from dual");
        FAIL();
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), oci::OCI_INVALID_HANDLE);
        EXPECT_EQ(e.description(), "(OCI_INVALID_HANDLE)");
    }
}

TEST_F(StatementTest, BindKindsBufferSizesAndCalls)
{
    db::statement st(m_conn, "begin :n := :d; :s := 'x'; end;");
    state().calls.clear();
    db::parameter &n = st.bind(":n", db::kind_number);
    db::parameter &d = st.bind(":d", db::kind_date);
    db::parameter &s = st.bind(":s", db::kind_string);
    EXPECT_EQ(state().calls,
              (Calls{
                  "OCINumberSetZero(err1)",
                  "OCIBindByName(stmt1, err1, \":n\", 2, 22, 6, ind, alen, null, 0, null, 0)",
                  "OCIDateSysDate(err1)",
                  "OCIBindByName(stmt1, err1, \":d\", 2, 8, 156, ind, alen, null, 0, null, 0)",
                  "OCIBindByName(stmt1, err1, \":s\", 2, 1024, 5, ind, alen, null, 0, null, 0)",
                  // UTF-16 on the character bind only, as the ub2 it is
                  "OCIAttrSet(bind3, BIND, CHARSET_ID=1000/2, err1)",
              }));
    for (db::parameter *p : {&n, &d, &s}) {
        EXPECT_TRUE(p->is_null()); // the initial buffer is not sent
        EXPECT_EQ(p->actual_length(), p->buffer_size());
    }
    EXPECT_EQ(n.external_type(), oci::SQLT_VNU);
    EXPECT_EQ(d.external_type(), oci::SQLT_ODT);
    EXPECT_EQ(s.external_type(), oci::SQLT_STR);
    EXPECT_EQ(state().binds[0].indicator[0], -1);
    EXPECT_EQ(st.parameters().size(), 3u);
}

TEST_F(StatementTest, UnknownTypeCodeAndFailedBindsCarryTheName)
{
    db::statement st(m_conn, "select :a from dual");
    try {
        st.bind(":a", 4);
        FAIL();
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1008);
        EXPECT_EQ(e.description(), "Parameter prefix is not known: :a");
    }
    for (const char *fn : {"OCIBindByName", "OCIAttrSet"}) {
        scripted::fail(fn, oci::OCI_ERROR);
        try {
            st.bind(":a", db::kind_string);
            FAIL();
        } catch (const db::error &e) {
            EXPECT_EQ(e.kind(), db::error::oracle_kind);
            EXPECT_EQ(e.description(), "(OCI_ERROR) ORA-00942: table or view does not exist\n: :a");
        }
    }
    EXPECT_TRUE(st.parameters().empty());
    EXPECT_EQ(expectLibraryError([&] { st.param(":a"); }), 1010);

    // The handle of the bind whose charset failed still addresses its buffers at execute.
    st.bind(":b", db::kind_number).set_number(2);
    st.execute();
    EXPECT_EQ(state().sent, (std::vector<std::pair<std::string, oci::sb2>>{{":a", -1}, {":b", 0}}));
}

TEST_F(StatementTest, LookupIsExactAndTheLaterBindingWins)
{
    db::statement st(m_conn, "select :x, :x from dual");
    db::parameter &first = st.bind(":x", db::kind_string);
    db::parameter &second = st.bind(":x", db::kind_number);
    EXPECT_EQ(&st.param(":x"), &second);
    EXPECT_NE(&first, &second);
    EXPECT_EQ(st.parameters().size(), 2u);
    EXPECT_EQ(scripted::callsOf("OCIBindByName").size(), 2u);
    try {
        st.param(":X");
        FAIL();
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1010);
        EXPECT_EQ(e.description(), "Name not found in statement's parameters: :X");
    }
}

TEST_F(StatementTest, TextIsCutTo511UnitsWithTheTerminatorInside)
{
    db::statement st(m_conn, "select :s from dual");
    db::parameter &p = st.bind(":s", db::kind_string);
    const scripted::Bind &b = state().binds[0];
    for (std::size_t length : {0u, 1u, 511u, 512u, 1000u}) {
        const std::u16string text(length, u'w');
        p.set_text(text);
        const std::size_t kept = std::min<std::size_t>(length, 511);
        EXPECT_EQ(p.text(), text.substr(0, kept));
        EXPECT_EQ(p.actual_length(), kept * 2 + 2);
        EXPECT_EQ(*b.length, kept * 2 + 2);
        EXPECT_EQ(*b.indicator, 0);
        char16_t terminator = 1;
        std::memcpy(&terminator, static_cast<char *>(b.value) + kept * 2, 2);
        EXPECT_EQ(terminator, 0);
    }
    // A surrogate pair straddling the cut is dropped whole.
    std::u16string pairs(510, u'a');
    pairs += u"\U0001F600";
    p.set_text(pairs);
    EXPECT_EQ(p.text().size(), 510u);

    p.set_text(QStringLiteral("Grüße"));
    EXPECT_EQ(p.text(), u"Grüße");
    p.set_text(QString());
    EXPECT_TRUE(p.is_null());
    p.set_text(u"x");
    p.set_text(static_cast<const char16_t *>(nullptr));
    EXPECT_EQ(*b.indicator, -1);
    EXPECT_EQ(expectLibraryError([&] { p.text(); }), 1006);
}

// SQLT_STR with OCI_ATTR_CHARSET_ID = OCI_UTF16ID: value_sz is the buffer's size in bytes with room
// for the 2-byte terminator (511 units + 1), the text ends in a 16-bit zero, and alen counts bytes
// with that terminator, as strlen + 1 does for narrow SQLT_STR (for input OCI takes the length from
// the terminator, so alen may not be shorter than the text).
TEST_F(StatementTest, StringBindFollowsTheSqltStrConvention)
{
    db::statement st(m_conn, "select :s from dual");
    db::parameter &p = st.bind(":s", db::kind_string);
    const scripted::Bind &b = state().binds[0];
    EXPECT_EQ(b.type, oci::SQLT_STR);
    EXPECT_EQ(b.size, 1024);
    EXPECT_EQ(b.charset, oci::OCI_UTF16ID);
    p.set_text(u"abc");
    EXPECT_EQ(*b.length, 8); // 3 units of 2 bytes + the 2-byte terminator
    const char expected[8] = {'a', 0, 'b', 0, 'c', 0, 0, 0};
    EXPECT_EQ(std::memcmp(b.value, expected, sizeof expected), 0);
    p.set_text(u"");
    EXPECT_EQ(*b.length, 2); // an empty text is the terminator alone
    EXPECT_EQ(*b.indicator, 0);
}

TEST_F(StatementTest, StatementsAndResultSetsCountAsLiveChildrenOfTheirConnection)
{
    EXPECT_EQ(m_conn.live_children(), 0);
    {
        db::statement st(m_conn, "select 1 from dual");
        EXPECT_EQ(m_conn.live_children(), 1);
        auto rs = st.execute_query();
        EXPECT_EQ(m_conn.live_children(), 2);
        rs.reset();
        EXPECT_EQ(m_conn.live_children(), 1);
    }
    EXPECT_EQ(m_conn.live_children(), 0);
    scripted::fail("OCIStmtPrepare", oci::OCI_ERROR); // a statement that fails to construct
    EXPECT_THROW(db::statement(m_conn, "x"), db::error);
    EXPECT_EQ(m_conn.live_children(), 0);
}

TEST_F(StatementTest, ClosingAConnectionWithALiveStatementAssertsInDebugBuilds)
{
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            db::statement st(m_conn, "select 1 from dual");
            m_conn.close();
        },
        "die before their connection");
#endif
}

TEST_F(StatementTest, ValuesOfTheWrongKindFail)
{
    db::statement st(m_conn, "x");
    db::parameter &s = st.bind(":s", db::kind_string);
    db::parameter &n = st.bind(":n", db::kind_number);
    db::parameter &d = st.bind(":d", db::kind_date);
    EXPECT_EQ(expectLibraryError([&] { s.set_number(1); }), 1005);
    EXPECT_EQ(expectLibraryError([&] { s.set_date({}); }), 1005);
    EXPECT_EQ(expectLibraryError([&] { n.set_text(u"1"); }), 1005);
    EXPECT_EQ(expectLibraryError([&] { n.set_text(static_cast<const char16_t *>(nullptr)); }), 1005);
    EXPECT_EQ(expectLibraryError([&] { d.set_number(1); }), 1005);
    EXPECT_EQ(expectLibraryError([&] { n.text(); }), 1006);
    EXPECT_EQ(expectLibraryError([&] { n.integer(); }), 1006); // NULL
    s.set_text(u"5");
    EXPECT_EQ(expectLibraryError([&] { s.integer(); }), 1006);
}

TEST_F(StatementTest, NumberAndDateValuesReachTheBuffers)
{
    db::statement st(m_conn, "x");
    db::parameter &n = st.bind(":n", db::kind_number);
    db::parameter &d = st.bind(":d", db::kind_date);
    state().calls.clear();
    n.set_number(12.5);
    EXPECT_EQ(state().calls, Calls{"OCINumberFromReal(err1, 12.5, 8)"});
    EXPECT_FALSE(n.is_null());

    d.set_date({2024, 2, 29, 23, 59, 58});
    oci::OCIDate od{};
    std::memcpy(&od, state().binds[1].value, sizeof od);
    EXPECT_EQ(od.OCIDateYYYY, 2024);
    EXPECT_EQ(od.OCIDateMM, 2);
    EXPECT_EQ(od.OCIDateDD, 29);
    EXPECT_EQ(od.OCIDateTime.OCITimeHH, 23);
    EXPECT_EQ(od.OCIDateTime.OCITimeMI, 59);
    EXPECT_EQ(od.OCIDateTime.OCITimeSS, 58);
    EXPECT_EQ(*state().binds[1].indicator, 0);

    scripted::fail("OCINumberFromReal", oci::OCI_ERROR);
    db::parameter &fresh = st.bind(":f", db::kind_number);
    EXPECT_THROW(fresh.set_number(1e200), db::error);
    EXPECT_TRUE(fresh.is_null());
}

TEST_F(StatementTest, OutputStatusOfAGetLineBlockReadsAsInteger)
{
    state().stmtType = oci::OCI_STMT_BEGIN;
    db::statement st(m_conn, "BEGIN dbms_output.get_line(:1, :2); END;");
    db::parameter &line = st.bind(":1", db::kind_string);
    db::parameter &status = st.bind(":2", db::kind_number);
    state().onExecute = [](scripted::State &s) {
        const std::u16string text = u"hello";
        std::memcpy(s.binds[0].value, text.c_str(), (text.size() + 1) * 2);
        *s.binds[0].indicator = 0;
        auto *num = static_cast<unsigned char *>(s.binds[1].value);
        num[0] = 1;
        num[1] = '1';
        *s.binds[1].indicator = 0;
    };
    st.execute();
    EXPECT_EQ(line.text(), u"hello");
    state().calls.clear();
    EXPECT_EQ(status.integer(), 1);
    EXPECT_EQ(state().calls, Calls{"OCINumberToInt(err1, 4, 2)"});
    scripted::fail("OCINumberToInt", oci::OCI_ERROR);
    EXPECT_THROW(status.integer(), db::error);
}

TEST(RowsPerFetch, ProcessWideValueStartsAt20AndNeverDropsBelowOne)
{
    EXPECT_EQ(db::rows_per_fetch(), 20);
    db::set_rows_per_fetch(0);
    EXPECT_EQ(db::rows_per_fetch(), 1);
    db::set_rows_per_fetch(500);
    EXPECT_EQ(db::rows_per_fetch(), 500);
    db::set_rows_per_fetch(20);
}
