// Texts sent to the server and how variables are bound: substitution, carriage returns, the count
// wrapper, leading integers and the binding chosen by a variable's type.
#include "execution/CStatementText.h"
#include "execution/CVariableBinding.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

CSQLVariable var(int kind, const QString &name, const QString &value,
                 const QString &type = "String")
{
    CSQLVariable v;
    v.kind = kind;
    v.name = name;
    v.value = value;
    v.type = type;
    return v;
}

} // namespace

TEST(StatementText, SubstitutionIgnoresCaseAndNeverReplacesAnInsertedValue)
{
    const std::vector<CSQLVariable> vars{
        var(CSQLVariable::kSubstitution, "&T", "emp"),
        var(CSQLVariable::kBind, ":ID", "&T"),
    };
    EXPECT_EQ(CStatementText::substitute("SELECT * FROM &t WHERE x = :id", vars),
              "SELECT * FROM emp WHERE x = :id");
    // A value holding the name is inserted once; later occurrences are still replaced.
    const std::vector<CSQLVariable> self{var(CSQLVariable::kSubstitution, "&A", "&a&A")};
    EXPECT_EQ(CStatementText::substitute("&a + &A", self), "&a&A + &a&A");
    // Nor does a later variable see what an earlier one inserted.
    const std::vector<CSQLVariable> chain{var(CSQLVariable::kSubstitution, "&A", "&B"),
                                          var(CSQLVariable::kSubstitution, "&B", "x")};
    EXPECT_EQ(CStatementText::substitute("&A &b", chain), "&B x");
    EXPECT_EQ(CStatementText::substitute("&A", {var(CSQLVariable::kSubstitution, "&A", "")}), "");
}

TEST(StatementText, SubstitutionReplacesWholeNamesOnly)
{
    // &T and &TABLE each get their own value, whichever comes first in the list.
    const std::vector<CSQLVariable> vars{var(CSQLVariable::kSubstitution, "&T", "emp"),
                                         var(CSQLVariable::kSubstitution, "&TABLE", "dept")};
    const QString sql = "SELECT * FROM &table, &T WHERE &t.deptno = &Table.deptno";
    EXPECT_EQ(CStatementText::substitute(sql, vars),
              "SELECT * FROM dept, emp WHERE emp.deptno = dept.deptno");
    const std::vector<CSQLVariable> reversed{vars[1], vars[0]};
    EXPECT_EQ(CStatementText::substitute(sql, reversed),
              "SELECT * FROM dept, emp WHERE emp.deptno = dept.deptno");
    // Letters, digits, '_', '$' and '#' continue a name; anything else ends it.
    const std::vector<CSQLVariable> t{var(CSQLVariable::kSubstitution, "&T", "x")};
    EXPECT_EQ(CStatementText::substitute("&T1 &T_ &T$ &T# &Tü &T.a &T) &T", t),
              "&T1 &T_ &T$ &T# &Tü x.a x) x");
    // A value that holds another variable's name is not replaced again.
    const std::vector<CSQLVariable> inner{var(CSQLVariable::kSubstitution, "&T", "&TABLE"),
                                          var(CSQLVariable::kSubstitution, "&TABLE", "dept")};
    EXPECT_EQ(CStatementText::substitute("&T &TABLE", inner), "&TABLE dept");
}

TEST(StatementText, CarriageReturnsGoLineFeedsStayAndTheCountWrapsTheText)
{
    EXPECT_EQ(CStatementText::withoutCarriageReturns("a\r\nb\rc\n"), "a\nbc\n");
    EXPECT_EQ(CStatementText::countRows("SELECT 1 FROM dual -- note"),
              "SELECT count(1) CNT FROM (SELECT 1 FROM dual -- note\n)");
    EXPECT_EQ(CStatementText::enableDbmsOutput(10000), "BEGIN dbms_output.enable(10000); END;");
}

TEST(StatementText, LeadingInteger)
{
    EXPECT_EQ(CStatementText::leadingInteger(u"12abc"), 12);
    EXPECT_EQ(CStatementText::leadingInteger(u"3.5"), 3);
    EXPECT_EQ(CStatementText::leadingInteger(u"  -7 "), -7);
    EXPECT_EQ(CStatementText::leadingInteger(u"+42"), 42);
    EXPECT_EQ(CStatementText::leadingInteger(u""), 0);
    EXPECT_EQ(CStatementText::leadingInteger(u"abc"), 0);
    EXPECT_EQ(CStatementText::leadingInteger(u"- 5"), 0);
    EXPECT_EQ(CStatementText::leadingInteger(u"99999999999999999999999"),
              std::numeric_limits<qint64>::max());
    EXPECT_EQ(CStatementText::leadingInteger(u"-9223372036854775808"),
              std::numeric_limits<qint64>::min());
}

TEST(VariableBinding, TypeTextDecidesHowAValueIsBound)
{
    // A Number binds the number typed; an empty one binds NULL; one that holds no number is
    // reported and not bound.
    CVariableBinding b = CVariableBinding::decide(var(0, ":N", "3.5", "Number"));
    ASSERT_EQ(b.as, CVariableBinding::As::Number);
    ASSERT_TRUE(b.number.has_value());
    EXPECT_EQ(b.number->text(), "3.5");
    b = CVariableBinding::decide(var(0, ":N", "", "Number"));
    EXPECT_EQ(b.as, CVariableBinding::As::Number);
    EXPECT_FALSE(b.number.has_value());
    EXPECT_FALSE(CVariableBinding::decide(var(0, ":N", "  ", "Number")).number.has_value());
    for (const char *bad : {"abc", "12abc", "3.5.1", "1e"}) {
        const CSQLVariable v = var(0, ":N", bad, "Number");
        EXPECT_EQ(CVariableBinding::decide(v).as, CVariableBinding::As::Unbound) << bad;
    }
    EXPECT_EQ(CVariableBinding::unknownTypeMessage(var(0, ":N", "abc", "Number")),
              "The value of :N variable (abc) has an unknown type");

    b = CVariableBinding::decide(var(0, ":D", "07.12.2026", "Date"));
    ASSERT_EQ(b.as, CVariableBinding::As::Date);
    EXPECT_EQ(b.date.year, 2026);
    EXPECT_EQ(b.date.month, 12);
    EXPECT_EQ(b.date.day, 7);

    const CSQLVariable empty = var(0, ":D", "dd.mm.yyyy", "Date");
    EXPECT_EQ(CVariableBinding::decide(empty).as, CVariableBinding::As::Unbound);
    EXPECT_EQ(CVariableBinding::unknownTypeMessage(empty),
              "The value of :D variable (dd.mm.yyyy) has an unknown type");

    // The type is compared exactly; anything else binds the text as it is.
    b = CVariableBinding::decide(var(0, ":S", "3.5", "number"));
    EXPECT_EQ(b.as, CVariableBinding::As::String);
    EXPECT_EQ(b.text, "3.5");
}
