// The database layer (db::connection, statement, resultset, column) running on the embedded engine,
// through the provider registry, as the program uses it.
#include "EngineOciFixture.h"

#include "db/column.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "engine/CEngineProvider.h"

#include <QString>

using namespace oci;

class EngineDbLayer : public EngineOciFixture
{
protected:
    void SetUp() override
    {
        EngineOciFixture::SetUp();
        createDatabase(
            "LAYER",
            "CREATE TABLE TARVOLO_USERS (USERNAME VARCHAR2(30), PASSWORD VARCHAR2(30), CAN_SYSDBA "
            "NUMBER(1), CAN_SYSOPER NUMBER(1));"
            "INSERT INTO TARVOLO_USERS VALUES ('SCOTT', 'TIGER', 0, 0);"
            "CREATE TABLE ROWS45 (N NUMBER, LABEL VARCHAR2(20), HIRED DATE);"
            "WITH RECURSIVE R(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM R WHERE X < 45) "
            "INSERT INTO ROWS45 SELECT X, 'label ' || X, '2023-06-15 08:09:10' FROM R;"
            "CREATE TABLE WIDE (TXT VARCHAR2(4000));"
            "INSERT INTO WIDE VALUES (printf('%.3000c', 'w'));"
            "CREATE TABLE DOCS (ID NUMBER, BODY CLOB);"
            "CREATE TABLE VALS (V NUMBER, S VARCHAR2(10), D DATE);"
            "INSERT INTO VALS VALUES (0.5, 'x', NULL), (123.45, NULL, '2000-02-29 23:59:58'), "
            "(-0.00001, 'y', NULL), (1e40, 'z', NULL), (NULL, 'n', NULL);");
        engine::registerEngineProvider();
        ASSERT_NO_THROW(m_conn.open(db::open_parameters::from_unicode("layer", "scott", "TIGER", 0)));
        db::set_rows_per_fetch(20);
    }
    void TearDown() override
    {
        m_conn.close();
        EngineOciFixture::TearDown();
    }

    // Rows delivered per fetch call until the result set reports its end.
    std::vector<int> batches(const char *sql)
    {
        db::statement stmt(m_conn, sql);
        std::unique_ptr<db::resultset> rs = stmt.execute_query();
        std::vector<int> sizes{static_cast<int>(rs->rows_fetched())};
        while (!rs->reached_end())
            sizes.push_back(rs->fetch());
        return sizes;
    }

    db::connection m_conn;
};

TEST_F(EngineDbLayer, FetchesInBatchesAndReportsTheEnd)
{
    EXPECT_EQ(batches("SELECT N FROM ROWS45 ORDER BY N"), (std::vector<int>{20, 20, 5}));
    EXPECT_EQ(batches("SELECT N FROM ROWS45 WHERE N <= 20"), (std::vector<int>{20, 0}));
    EXPECT_EQ(batches("SELECT N FROM ROWS45 WHERE N < 0"), (std::vector<int>{0}));

    // Reading row by row as the grid does visits every row once, in order.
    db::statement stmt(m_conn, "SELECT N, LABEL, HIRED FROM ROWS45 ORDER BY N");
    auto rs = stmt.execute_query();
    int expected = 1;
    while (rs->has_row()) {
        EXPECT_EQ(rs->col("N").number_text(), std::to_string(expected));
        const std::u16string_view label = rs->col("LABEL").text();
        EXPECT_EQ(QString::fromUtf16(label.data(), static_cast<qsizetype>(label.size())),
                  QString("label %1").arg(expected));
        const db::datetime hired = rs->col("HIRED").date();
        EXPECT_EQ(hired, (db::datetime{2023, 6, 15, 8, 9, 10}));
        ++expected;
        rs->next();
    }
    EXPECT_EQ(expected, 46);
    EXPECT_TRUE(rs->end_of_data());
}

TEST_F(EngineDbLayer, ValuesConvertAsTheGridReadsThem)
{
    db::statement wide(m_conn, "SELECT TXT FROM WIDE");
    auto rs = wide.execute_query();
    ASSERT_TRUE(rs->has_row());
    EXPECT_EQ(rs->col("TXT").element_size(), 2 * (2048 + 1));
    EXPECT_EQ(rs->col("TXT").text(), std::u16string(2048, u'w'));

    db::statement vals(m_conn, "SELECT V, S, D FROM VALS");
    auto values = vals.execute_query();
    std::vector<std::string> texts;
    int nulls = 0;
    while (values->has_row()) {
        try {
            texts.emplace_back(values->col("V").number_text());
        } catch (const db::error &e) {
            EXPECT_EQ(e.code(), db::error::cannot_convert);
            ++nulls;
        }
        values->next();
    }
    EXPECT_EQ(texts, (std::vector<std::string>{".5", "123.45", "-.00001", "1" + std::string(40, '0')}));
    EXPECT_EQ(nulls, 1);

    db::statement nullRow(m_conn, "SELECT S, D FROM VALS WHERE V = 123.45");
    auto row = nullRow.execute_query();
    ASSERT_TRUE(row->has_row());
    try {
        (void)row->col("S").text();
        ADD_FAILURE() << "NULL text was read";
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1006);
    }
    EXPECT_EQ(row->col("D").date(), (db::datetime{2000, 2, 29, 23, 59, 58}));

    try {
        db::statement lob(m_conn, "SELECT ID, BODY FROM DOCS");
        auto refused = lob.execute_query();
        ADD_FAILURE() << "a CLOB column was accepted";
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1009);
        EXPECT_NE(e.description().find("BODY"), std::string::npos);
    }
}

TEST_F(EngineDbLayer, BindsAndDbmsOutputLinesTravelThroughTheLayer)
{
    db::statement query(m_conn, "SELECT count(1) CNT FROM (SELECT N FROM ROWS45 WHERE N > :LOW AND "
                                "LABEL <> :name AND HIRED >= :since)");
    query.bind(":LOW", db::kind_number).set_number(40);
    query.bind(":name", db::kind_string).set_text(u"label 44");
    query.bind(":since", db::kind_date).set_date(db::datetime{2023, 1, 1, 0, 0, 0});
    auto counted = query.execute_query();
    ASSERT_TRUE(counted->has_row());
    EXPECT_EQ(counted->col("CNT").number_text(), "4");

    db::statement block(m_conn, "BEGIN dbms_output.enable(100000); dbms_output.put_line('héllo'); "
                                "dbms_output.put('a'); dbms_output.put_line('b'); END;");
    block.execute();

    db::statement get(m_conn, "BEGIN dbms_output.get_line(:1, :2); END;");
    db::parameter &line = get.bind(":1", db::kind_string);
    db::parameter &status = get.bind(":2", db::kind_number);
    std::vector<std::u16string> lines;
    for (int guard = 0; guard < 10; ++guard) {
        get.execute();
        if (status.integer() != 0)
            break;
        lines.emplace_back(line.text());
    }
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"héllo", u"ab"}));
    EXPECT_EQ(status.integer(), 1);
}

TEST_F(EngineDbLayer, WrongPasswordShowsTheOracleMessage)
{
    db::connection other;
    try {
        other.open(db::open_parameters::from_unicode("LAYER", "SCOTT", "tiger", 0));
        ADD_FAILURE() << "logon with a wrong password succeeded";
    } catch (const db::error &e) {
        EXPECT_EQ(e.oracle_error(), 1017);
        EXPECT_TRUE(e.display_text().contains("ORA-01017: invalid username/password; logon denied"))
            << e.display_text().toStdString();
    }
    other.close();
}
