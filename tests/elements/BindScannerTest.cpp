#include "elements/CSQLBindVar.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// The variables found in sql as "kind name" items, e.g. "0 :ID", in list order, joined by "|".
std::string scan(const QString &sql)
{
    CSQLBindVar scanner;
    scanner.scan(sql);
    QStringList found;
    for (const CSQLVariable &v : scanner.variables()) {
        EXPECT_EQ(v.type, "String");
        EXPECT_TRUE(v.value.isEmpty() && v.history.isEmpty());
        found << QStringLiteral("%1 %2").arg(v.kind).arg(v.name);
    }
    return found.join(QLatin1Char('|')).toStdString();
}

TEST(BindScannerTest, NamesAreUpperCasedAndKeptOnceInOrder)
{
    EXPECT_EQ(scan("SELECT * FROM emp WHERE empno = :empno AND deptno = :Empno"), "0 :EMPNO");
    EXPECT_EQ(scan("SELECT &cols FROM t WHERE id = :id"), "1 &COLS|0 :ID");
    EXPECT_EQ(scan(":a + &a"), "0 :A|1 &A");
    EXPECT_EQ(scan(":emp#1$x<y>@db|z,:b"), "0 :EMP#1$X<Y>@DB|Z|0 :B");
    EXPECT_EQ(scan(QString::fromUtf16(u":gr\u00fc\u00dfe")), "0 :GR\u00dcSSE");
}

TEST(BindScannerTest, StringsHideBindNamesButNotSubstitutions)
{
    EXPECT_EQ(scan("WHERE a = ':x'"), "");
    EXPECT_EQ(scan("WHERE a = '&x'"), "1 &X");
    EXPECT_EQ(scan("WHERE a = 'it''s :x'"), "");
    EXPECT_EQ(scan("WHERE a = 'it''s' || :x"), "0 :X");
    EXPECT_EQ(scan("WHERE a = '''' AND b = :y"), "0 :Y");
    EXPECT_EQ(scan("WHERE a = 'x''"), ""); // unterminated: the rest stays a string
    EXPECT_EQ(scan("'--' || :a || '/*' || :b"), "0 :A|0 :B");
}

TEST(BindScannerTest, CommentsHideEverythingUntilTheyEnd)
{
    EXPECT_EQ(scan("SELECT 1 -- :x &w\n/* :y &v */ FROM t WHERE z = :z"), "0 :Z");
    EXPECT_EQ(scan("-- /* :a\n:b"), "0 :B"); // no block comment inside a line comment
    EXPECT_EQ(scan("/* -- */ :c"), "0 :C");  // nor a line comment in a block one
    EXPECT_EQ(scan(":d--x\n"), "0 :D");      // the hyphen ends the name
    EXPECT_EQ(scan(":e/*x*/f"), "0 :E");
    EXPECT_EQ(scan("-- :x"), ""); // comment to the end of the text
    EXPECT_EQ(scan("/* :x"), "");
    EXPECT_EQ(scan("a/*x*/:g"), "0 :G"); // the closing slash counts as a delimiter
}

TEST(BindScannerTest, ColonAndAmpersandCombinations)
{
    EXPECT_EQ(scan("BEGIN :x := 1; END;"), "0 :X");
    EXPECT_EQ(scan("a := b; c :: d; :&e"), "");
    EXPECT_EQ(scan("&a:b"), "1 &A|0 :B");
    EXPECT_EQ(scan("&a&b"), "1 &A|1 &B");
    EXPECT_EQ(scan("& x"), "1 &X"); // delimiters right after '&' are skipped
    EXPECT_EQ(scan("x = :a:b"), "0 :A|0 :B");
    EXPECT_EQ(scan("to_char(d, 'HH24:MI:SS')"), "");
}

TEST(BindScannerTest, NamesAtTheEndOfTheText)
{
    EXPECT_EQ(scan("WHERE id = :id"), "0 :ID");
    EXPECT_EQ(scan("FROM &t"), "1 &T");
    EXPECT_EQ(scan("WHERE id = :"), "");
    EXPECT_EQ(scan("WHERE id = &"), "");
    EXPECT_EQ(scan(QString()), "");
    CSQLBindVar scanner;
    scanner.scan(":a");
    scanner.scan("&b");
    ASSERT_EQ(scanner.variables().size(), 1u); // a new scan replaces the list
    EXPECT_EQ(scanner.sqlText(), "&b");
}

TEST(BindScannerTest, HistoryKeepsEachValueOnceNewestLast)
{
    CSQLVariable v;
    for (const char *value : {"1", "2", "", "1"})
        v.addToHistory(QString::fromLatin1(value));
    EXPECT_EQ(v.history.join(u'|').toStdString(), "2|1");
    EXPECT_EQ(v.historyOptionsText(), "1\n2\n");
    v.addToHistory("A");
    v.addToHistory("a");
    EXPECT_EQ(v.history.join(u'|').toStdString(), "2|1|A|a");
}

} // namespace

// Many distinct names: each is kept once, in order, and a repeat of any of them is recognised
// without comparing it with every name found so far.
TEST(BindScannerTest, AMillionDistinctNamesAreScannedInLinearTime)
{
    constexpr int kNames = 1000000;
    QString sql = QStringLiteral("SELECT ");
    sql.reserve(kNames * 10);
    for (int i = 0; i < kNames; ++i)
        sql += QStringLiteral(":v") + QString::number(i) + QLatin1Char(',');
    sql += QStringLiteral(":V0, :v999999 FROM dual");
    CSQLBindVar scanner;
    scanner.scan(sql);
    ASSERT_EQ(scanner.variables().size(), size_t(kNames));
    EXPECT_EQ(scanner.variables().front().name.toStdString(), ":V0");
    EXPECT_EQ(scanner.variables()[123456].name.toStdString(), ":V123456");
    EXPECT_EQ(scanner.variables().back().name.toStdString(), ":V999999");
}
