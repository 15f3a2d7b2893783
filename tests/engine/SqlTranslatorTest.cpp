#include "EngineSqlFixture.h"

#include "engine/StatementKind.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

std::vector<std::string> bindsOf(const std::string& sql)
{
    TranslatedSql t;
    if (OraError e = translateSql(sql, t))
        return {e.text()};
    return t.binds;
}

int translateError(const std::string& sql)
{
    TranslatedSql t;
    return translateSql(sql, t).code();
}

} // namespace

TEST(StatementKindTest, LeadingKeywordAfterCommentsAndParentheses)
{
    EXPECT_EQ(classifyStatement("select 1 from dual"), StatementKind::Select);
    EXPECT_EQ(classifyStatement("  -- note\n /* block */ ((SELECT 1 FROM dual))"), StatementKind::Select);
    EXPECT_EQ(classifyStatement("WITH x AS (SELECT 1 FROM dual) SELECT * FROM x"), StatementKind::Select);
    EXPECT_EQ(classifyStatement("update t set a=1"), StatementKind::Update);
    EXPECT_EQ(classifyStatement("DELETE t"), StatementKind::Delete);
    EXPECT_EQ(classifyStatement("Insert into t values (1)"), StatementKind::Insert);
    EXPECT_EQ(classifyStatement("create table t (a int)"), StatementKind::Create);
    EXPECT_EQ(classifyStatement("drop table t"), StatementKind::Drop);
    EXPECT_EQ(classifyStatement("alter table t add b int"), StatementKind::Alter);
    EXPECT_EQ(classifyStatement("begin null; end;"), StatementKind::Begin);
    EXPECT_EQ(classifyStatement("declare x number; begin null; end;"), StatementKind::Declare);
    EXPECT_EQ(classifyStatement("merge into t using s on (1=1)"), StatementKind::Merge);
    EXPECT_EQ(classifyStatement("commit"), StatementKind::Commit);
    EXPECT_EQ(classifyStatement("rollback"), StatementKind::Rollback);
    EXPECT_EQ(classifyStatement("truncate table t"), StatementKind::Unknown);
    EXPECT_EQ(classifyStatement("selectx"), StatementKind::Unknown);
    EXPECT_EQ(classifyStatement(""), StatementKind::Unknown);
    EXPECT_EQ(classifyStatement("/* unterminated"), StatementKind::Unknown);
    EXPECT_TRUE(isDdlStatement("truncate table t"));
    EXPECT_FALSE(isDdlStatement("insert into t values (1)"));
}

TEST(SqlTranslatorTest, BindPlaceholdersAreFoundOutsideStringsAndComments)
{
    EXPECT_EQ(bindsOf("select * from t where a = :Name and b = : name and c = :1 and d = :\"Mixed\""),
              (std::vector<std::string>{"NAME", "1", "Mixed"}));
    EXPECT_EQ(bindsOf("select ':x', 'it''s :y', \":z\" -- :c\n /* :d */ from t where e = :e"),
              (std::vector<std::string>{"E"}));
    EXPECT_EQ(bindsOf("select q'[ :q ]' from t where a = :a"), (std::vector<std::string>{"A"}));
    EXPECT_EQ(bindsOf("begin :x := :y + 1; :X := 2; end;"), (std::vector<std::string>{"X", "Y"}));

    TranslatedSql t;
    ASSERT_FALSE(translateSql("select :b, :a, :b from dual", t));
    EXPECT_NE(t.sql.find("?1"), std::string::npos);
    EXPECT_NE(t.sql.find("?2"), std::string::npos);
    EXPECT_EQ(t.sql.find("?3"), std::string::npos);
    EXPECT_EQ(t.kind, StatementKind::Select);

    EXPECT_EQ(normalizeBindName(":ename"), "ENAME");
    EXPECT_EQ(normalizeBindName(": 1"), "1");
    EXPECT_EQ(normalizeBindName(":\"Ab\""), "Ab");
    EXPECT_EQ(normalizeBindName("dept_no"), "DEPT_NO");
}

TEST(SqlTranslatorTest, BrokenSqlGivesOraErrors)
{
    EXPECT_EQ(translateError("select 'abc from dual"), 1756);
    EXPECT_EQ(translateError("select q'[abc from dual"), 1756);
    EXPECT_EQ(translateError("select \"abc from dual"), 1740);
    EXPECT_EQ(translateError("select 1 /* open"), 1742);
    EXPECT_EQ(translateError("select (1 from dual"), 907);
    EXPECT_EQ(translateError("select 1) from dual"), 933);
    EXPECT_EQ(translateError("select 1 from dual;"), 911);
    EXPECT_EQ(translateError("select 1 from dual; drop table t"), 911);
    EXPECT_EQ(translateError("select a from t where b = : "), 1745);
    EXPECT_EQ(translateError("select a ? b from t"), 911);
    EXPECT_EQ(translateError(""), 900);
    EXPECT_EQ(translateError("  -- only a comment"), 900);
    EXPECT_EQ(translateError("pragma table_info(t)"), 900);
    EXPECT_EQ(translateError("vacuum"), 900);
    EXPECT_EQ(translateError("select a from t, u where t.x = u.x(+)"), 3001);
    EXPECT_EQ(translateError("select level from dual connect by level < 3"), 3001);
    EXPECT_EQ(translateError("select from t"), 936);
    EXPECT_EQ(translateError("select 1 + from dual"), 936);
    EXPECT_EQ(translateError("select date 'not a date' from dual"), 1861);
    EXPECT_EQ(translateError(std::string("select \x01\xff\x80 from dual")), 911);
}

TEST_F(EngineSqlFixture, BrokenSqlCorpusNeverCrashesAndAlwaysNamesAnOraError)
{
    // A 100 KB statement runs when SQLite can hold it and fails with an ORA error when it cannot.
    std::string list = "select count(*) from dual where 1 in (0";
    std::string sum = "select 1";
    while (list.size() < 100 * 1024) {
        list += ", 2";
        sum += " + 1";
    }
    EXPECT_EQ(value(list + ", 1)"), "1");
    EXPECT_EQ(value(sum + " from dual"), "ORA-03001: unimplemented feature");

    std::string deep(5000, '(');
    const std::string corpus[] = {
        "select * from no_such_table",
        "select no_such_column from dual",
        "select no_such_function(1) from dual",
        "select 1 from dual where",
        "select 1 from dual order",
        "insert into",
        "update dual set",
        "select nvl(1) from dual",
        "select " + deep + "1" + std::string(5000, ')') + " from dual",
        "select " + deep,
        std::string("\0\0\0", 3),
        "select 'a' || from dual",
        "create table",
        "select case when 1 = 1 then 2 from dual",
    };
    for (const std::string& sql : corpus) {
        SCOPED_TRACE(sql.substr(0, 60));
        std::string result = value(sql);
        EXPECT_EQ(result.rfind("ORA-", 0), 0u) << result;
        EXPECT_EQ(result.find("ORA-00600"), std::string::npos) << result;
    }
}

TEST_F(EngineSqlFixture, ColumnNamesAreThoseOracleReports)
{
    run("create table emp (empno number(4) not null, ename varchar2(10), sal number(7,2), \"Mixed\" varchar2(5))");
    EXPECT_EQ(columnNames("select * from emp"), (std::vector<std::string>{"EMPNO", "ENAME", "SAL", "Mixed"}));
    EXPECT_EQ(columnNames("select e.ename, sal * 12, sal*12 annual, nvl(sal, 0) as \"Pay\", 'abc', sysdate, user, "
                          "count(1) cnt from emp e group by e.ename, sal"),
              (std::vector<std::string>{"ENAME", "SAL*12", "ANNUAL", "Pay", "'ABC'", "SYSDATE", "USER", "CNT"}));
    EXPECT_EQ(columnNames("SELECT count(1) CNT FROM (select ename, empno from emp\n)"),
              (std::vector<std::string>{"CNT"}));
    EXPECT_EQ(columnNames("select x.* from (select 1 + 1, ename from emp) x"),
              (std::vector<std::string>{"1+1", "ENAME"}));
    EXPECT_EQ(columnNames("select case when sal > 1 then 'hi' end level_ from emp"),
              (std::vector<std::string>{"LEVEL_"}));
}

TEST_F(EngineSqlFixture, OracleOperatorsKeepOracleSemantics)
{
    EXPECT_EQ(value("select 'a' || null || 'b' from dual"), "ab");
    EXPECT_EQ(value("select null || null from dual"), "<null>");
    EXPECT_EQ(value("select 'x' || 0.5 || 1 from dual"), "x.51");
    EXPECT_EQ(value("select 1 + 2 || 'x' from dual"), "3x");
    EXPECT_EQ(value("select 2 * 3 + 4 / 8 from dual"), "6.5");
    EXPECT_EQ(value("select 7 / 2 from dual"), "3.5");
    EXPECT_EQ(value("select 8 / 2 from dual"), "4");
    EXPECT_EQ(value("select -(-3) - -2 from dual"), "5");
    std::string signs;
    for (int k = 0; k < 50001; ++k)
        signs += "- ";
    EXPECT_EQ(value("select " + signs + "4 from dual"), "-4");
    EXPECT_EQ(errorCode("select 1 / 0 from dual"), 1476);
    EXPECT_EQ(errorCode("select 1.5 / (2 - 2) from dual"), 1476);
    EXPECT_EQ(value("select date '2024-02-28' + 1 from dual"), "2024-02-29 00:00:00");
    EXPECT_EQ(value("select 1 + date '2024-02-28' from dual"), "2024-02-29 00:00:00");
    EXPECT_EQ(value("select timestamp '2024-03-01 06:00:00' - 0.25 from dual"), "2024-03-01 00:00:00");
    EXPECT_EQ(value("select date '2024-03-01' - date '2024-02-01' from dual"), "29");
    EXPECT_EQ(errorCode("select date '2024-03-01' + date '2024-02-01' from dual"), 975);
    EXPECT_EQ(value("select extract(year from date '2024-02-28') * 100 + extract(month from date '2024-02-28') "
                    "from dual"), "202402");
    EXPECT_EQ(value("select extract(minute from timestamp '2024-03-01 06:07:08') from dual"), "7");
    EXPECT_EQ(value("select extract(day from null) from dual"), "<null>");
    EXPECT_EQ(errorCode("select extract(week from sysdate) from dual"), 907);
    // Beyond 64-bit integers arithmetic runs in doubles: 15 significant digits.
    EXPECT_EQ(value("select 9223372036854775807 + 1 from dual"), "9223372036854780000");
    EXPECT_EQ(value("select '5' + 1 from dual"), "6");
    EXPECT_EQ(errorCode("select 'x' + 1 from dual"), 1722);
    EXPECT_EQ(value("select count(*) from dual where 1 ^= 2"), "1");
    EXPECT_EQ(value("select dummy from dual"), "X");
    EXPECT_EQ(value("((select dummy from dual))"), "X");
    EXPECT_EQ(errorCode("()"), 900);
    EXPECT_EQ(value("select 1 from dual minus select 2 from dual"), "1");
    EXPECT_EQ(value("select case when 1 = 1 then 'y' else 'n' end from dual"), "y");
}

TEST_F(EngineSqlFixture, BindsAndLiteralsReachSqlite)
{
    run("create table t (id number, name varchar2(20), born date default sysdate, note varchar2(10))");
    run("insert into t (id, name, born) values (:id, :name, date '2000-01-31')",
        {EngineValue::number(*OraNumber::fromText("1.25")), EngineValue::text("Ann")});
    run("insert into t (id, name) values (:1, :2)", {EngineValue::integer(2), EngineValue::text("Bob")});
    run("insert into t (id, name, born) values (:1, 'it''s', :2)",
        {EngineValue::integer(3), EngineValue::date(*OraDate::fromStorageText("1999-12-31 23:59:59"))});
    EXPECT_EQ(value("select name from t where id = :x", {EngineValue::real(1.25)}), "Ann");
    EXPECT_EQ(value("select name from t where born = :d", {EngineValue::text("1999-12-31 23:59:59")}), "it's");
    EXPECT_EQ(value("select count(1) from t where born > sysdate - 1"), "1");
    EXPECT_EQ(value("select add_months(born, 1) from t where id = 1.25"), "2000-02-29 00:00:00");
    EXPECT_EQ(value("select user from dual"), "<null>");
    setSessionUser(m_db, "scott");
    EXPECT_EQ(value("select user from dual"), "SCOTT");
    run("truncate table t");
    EXPECT_EQ(value("select count(*) from t"), "0");
}

TEST(OraErrorTest, SqliteFailuresMapToOracleTexts)
{
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "no such table: EMP").text(), "ORA-00942: table or view does not exist");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "no such column: X").text(), "ORA-00904: \"X\": invalid identifier");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "no such function: foo").text(),
              "ORA-00904: \"FOO\": invalid identifier");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_CONSTRAINT_UNIQUE, "UNIQUE constraint failed: EMP.EMPNO").text(),
              "ORA-00001: unique constraint (EMP.EMPNO) violated");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_CONSTRAINT_NOTNULL, "NOT NULL constraint failed: EMP.ENAME").text(),
              "ORA-01400: cannot insert NULL into (\"EMP\".\"ENAME\")");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "near \"FROM\": syntax error").code(), 936);
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "near \"X\": syntax error").code(), 933);
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "incomplete input").code(), 921);
    EXPECT_EQ(OraError::fromSqlite(SQLITE_BUSY, "database is locked").code(), 54);
    EXPECT_EQ(OraError::fromSqlite(SQLITE_INTERRUPT, "interrupted").code(), 1013);
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "ORA-01476: divisor is equal to zero").text(),
              "ORA-01476: divisor is equal to zero");
    EXPECT_EQ(OraError::fromSqlite(SQLITE_ERROR, "something new").code(), 600);
    EXPECT_EQ(OraError::standard(1008).text(), "ORA-01008: not all variables bound");
    EXPECT_EQ(OraError::standard(12899, "\"S\".\"T\".\"C\" (actual: 5, maximum: 4)").text(),
              "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 5, maximum: 4)");
}

TEST_F(EngineSqlFixture, CharacterColumnsEnforceTheirDeclaredSize)
{
    run("create table notes (id number primary key, code varchar2(3 byte), name nvarchar2(3), \"Tag\" char(2) "
        "not null, body clob)");
    run("insert into notes (id, code, name, \"Tag\") values (1, 'abc', '\xC3\xA9\xC3\xA9\xC3\xA9', 'xy')");
    EXPECT_EQ(value("select count(*) from notes"), "1");
    try {
        run("insert into notes (id, code, \"Tag\") values (2, 'abcd', 'x')");
        FAIL() << "an oversized value was stored";
    } catch (const std::string& error) {
        EXPECT_EQ(error, "ORA-12899: value too large for column \"NOTES\".\"CODE\" (maximum: 3)");
    }
    // VARCHAR2 counts bytes, NVARCHAR2 characters.
    EXPECT_EQ(errorCode("insert into notes (id, code, \"Tag\") values (3, '\xC3\xA9\xC3\xA9', 'x')"), 12899);
    EXPECT_EQ(errorCode("update notes set \"Tag\" = 'xyz'"), 12899);
    EXPECT_EQ(errorCode("insert into notes (id, code) values (4, 'a')"), 1400);
    EXPECT_EQ(errorCode("insert into notes (id, \"Tag\") values (1, 'a')"), 1);
    EXPECT_EQ(value("select count(*) from notes"), "1");
}

TEST_F(EngineSqlFixture, DateAndNumberColumnsRefuseValuesTheyCouldNotGiveBack)
{
    run("create table visits (id number primary key, at date default sysdate, seen timestamp, score float)");
    EXPECT_EQ(value("insert into visits (id, at, seen, score) values ('1', date '2024-02-29', sysdate, 2.5)"), "<0 rows>");
    EXPECT_EQ(value("insert into visits (id, at) values (2, to_date('01-JAN-2020'))"), "<0 rows>");
    EXPECT_EQ(errorCode("insert into visits (id, at) values (3, '01-JAN-2020')"), 1861);
    EXPECT_EQ(errorCode("insert into visits (id, at) values (3, '2024-02-30 00:00:00')"), 1861);
    EXPECT_EQ(errorCode("update visits set seen = 'soon'"), 1861);
    // In a SET list the literal stays a string: the column could as well be text.
    EXPECT_EQ(errorCode("update visits set seen = '01-JAN-2020' where at > '01-JAN-2000'"), 1861);
    EXPECT_EQ(errorCode("insert into visits (id) values ('abc')"), 1722);
    EXPECT_EQ(errorCode("update visits set score = '1,5'"), 1722);
    EXPECT_EQ(value("select count(*) || max(at) from visits where score = 2.5 or at < date '2021-01-01'"),
                    "22024-02-29 00:00:00");

    // Columns added later get the same checks; Oracle's parentheses around the column are accepted.
    run("alter table visits add (note varchar2(3))");
    run("alter table visits add due date");
    EXPECT_EQ(errorCode("update visits set note = 'long'"), 12899);
    EXPECT_EQ(errorCode("update visits set due = 'tomorrow'"), 1861);
    EXPECT_EQ(errorCode("alter table visits add (a number, b number)"), 3001);
}

TEST_F(EngineSqlFixture, EmptyStringsAreNullAndNullsSortLast)
{
    EXPECT_EQ(value("select nvl('', 'empty is null') from dual"), "empty is null");
    EXPECT_EQ(value("select count(*) from dual where :s is null", {EngineValue::text("")}), "1");
    EXPECT_EQ(value("select 0.1 + 0.2 from dual"), ".3");
    EXPECT_EQ(value("select 1.1 * 800 from dual"), "880");
    run("create table s (n number)");
    run("insert into s values (2)");
    run("insert into s values (null)");
    run("insert into s values (1)");
    auto column = [&](const std::string& sql) {
        std::string out;
        for (const auto& row : run(sql))
            out += row[0] + ";";
        return out;
    };
    EXPECT_EQ(column("select n from s order by n"), "1;2;<null>;");
    EXPECT_EQ(column("select n from s order by n desc"), "<null>;2;1;");
    EXPECT_EQ(column("select n from s order by n asc nulls first"), "<null>;1;2;");
    EXPECT_EQ(column("select n from s order by nvl(n, 0), 1"), "<null>;1;2;");
}

TEST_F(EngineSqlFixture, DefaultFormatDateLiteralsCompareAsDates)
{
    run("create table h (d date, s varchar2(20))");
    run("insert into h values (date '2019-12-31', '01-JAN-2020')");
    run("insert into h values (date '2020-01-01', 'x')");
    run("insert into h values (date '2021-06-15', 'y')");
    EXPECT_EQ(value("select count(*) from h where d >= '01-JAN-2020'"), "2");
    EXPECT_EQ(value("select count(*) from h where d between '1-jan-20' and '31-DEC-2020'"), "1");
    EXPECT_EQ(value("select count(*) from h where d = '15-JUN-21'"), "1");
    // Elsewhere, or not a date, the literal stays a string.
    EXPECT_EQ(value("select '01-JAN-2020' from dual"), "01-JAN-2020");
    EXPECT_EQ(value("select count(*) from h where s in ('01-JAN-2020')"), "1");
    EXPECT_EQ(value("select count(*) from h where s = '01-JAN-2020x'"), "0");
}

TEST_F(EngineSqlFixture, RownumBoundsBecomeLimits)
{
    run("create table r (n number)");
    for (int k = 1; k <= 5; ++k)
        run("insert into r values (" + std::to_string(k) + ")");
    EXPECT_EQ(value("select count(*) from (select n from r where rownum <= 3)"), "3");
    EXPECT_EQ(value("select count(*) from (select n from r where n > 1 and rownum < 3)"), "2");
    EXPECT_EQ(value("select count(*) from (select n from r where rownum <= :x and n > 4)", {EngineValue::integer(3)}), "1");
    EXPECT_EQ(value("select n from (select n from r order by n desc) where rownum = 1"), "5");
    EXPECT_EQ(errorCode("select n from r where rownum > 2"), 3001);
    EXPECT_EQ(errorCode("select n from r where n = 1 or rownum <= 2"), 3001);
    EXPECT_EQ(errorCode("select rownum from r"), 3001);
    // Oracle counts and groups only the numbered rows; a LIMIT on the groups would answer 5, not 2.
    EXPECT_EQ(value("select count(*) from r where rownum <= 2"), "2");
    EXPECT_EQ(value("select count(*) from r x where x.n > 1 and rownum < 3"), "2");
    EXPECT_EQ(value("select sum(n) from r where rownum <= :x group by n / n having count(*) > 1",
                    {EngineValue::integer(3)}), "6");
    EXPECT_EQ(value("select max(c) from (select n, count(*) over () c from r where rownum <= 2)"), "2");
    EXPECT_EQ(errorCode("select count(*) from r a, r b where rownum <= 2"), 3001);
}
