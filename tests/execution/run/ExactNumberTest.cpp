// Number variables reach the server as they were typed: the text read as a number, its NUMBER
// encoding, the bytes handed to OCI (scripted provider) and, in StatementRunSampleTest, the
// values the embedded engine reads back.
#include "ScriptedOci.h"

#include "execution/COracleNumber.h"
#include "execution/CStatementRun.h"
#include "settings/Options.h"

#include <QLocale>

#include <gtest/gtest.h>

using scripted::state;

namespace {

std::string hex(const unsigned char *bytes, int size)
{
    std::string s;
    char b[4];
    for (int i = 0; i < size; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
        s += b;
    }
    return s;
}

std::string bytesOf(QStringView text, QStringView point = u".")
{
    const std::optional<COracleNumber> n = COracleNumber::fromText(text, point);
    return n ? hex(n->bytes().data(), n->size()) : "none";
}

QString textOf(QStringView text, QStringView point = u".")
{
    const std::optional<COracleNumber> n = COracleNumber::fromText(text, point);
    return n ? n->text() : QStringLiteral("none");
}

std::string repeated(const std::string &byte, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += " " + byte;
    return s;
}

const char kDigits38[] = "12345678901234567890123456789012345678";
const char kBytes38[] = "14 D3 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F";

} // namespace

TEST(OracleNumber, EncodesAsOracleStoresIt)
{
    EXPECT_EQ(bytesOf(u"0"), "01 80");
    EXPECT_EQ(bytesOf(u"-0.000"), "01 80");
    EXPECT_EQ(bytesOf(u"1"), "02 C1 02");
    EXPECT_EQ(bytesOf(u"-1"), "03 3E 64 66");
    EXPECT_EQ(bytesOf(u"-99"), "03 3E 02 66");
    EXPECT_EQ(bytesOf(u"100"), "02 C2 02");
    EXPECT_EQ(bytesOf(u"1001"), "03 C2 0B 02");
    EXPECT_EQ(bytesOf(u".5"), "02 C0 33");
    EXPECT_EQ(bytesOf(u"-0.5"), "03 3F 33 66");
    EXPECT_EQ(bytesOf(u"0.001"), "02 BF 0B");
    EXPECT_EQ(bytesOf(u"1e-5"), "02 BE 0B");
    EXPECT_EQ(bytesOf(u"12.3"), "03 C1 0D 1F");
    EXPECT_EQ(bytesOf(u"123.45"), "04 C2 02 18 2E");
    EXPECT_EQ(bytesOf(u"-123.45"), "05 3D 64 4E 38 66");
    EXPECT_EQ(bytesOf(u"3.14159"), "05 C1 04 0F 10 5B");
    // The ends of the range.
    EXPECT_EQ(bytesOf(u"1e-130"), "02 80 02");
    EXPECT_EQ(bytesOf(u"-1E-130"), "03 7F 64 66");
    EXPECT_EQ(bytesOf(u"1E125"), "02 FF 0B");
    EXPECT_EQ(bytesOf(u"-1e+125"), "03 00 5B 66");
    EXPECT_EQ(bytesOf(u"9.999999999999999999999999999999999999999e125"),
              "15 FF" + repeated("64", 20));
    EXPECT_EQ(bytesOf(u"-9.999999999999999999999999999999999999999e125"),
              "15 00" + repeated("02", 20));
    // 38 digits and more: every mantissa byte in use, the terminator only below 20 of them.
    EXPECT_EQ(bytesOf(QString::fromLatin1(kDigits38)), kBytes38);
    EXPECT_EQ(bytesOf(QString("-") + kDigits38),
              "15 2C 59 43 2D 17 0B 59 43 2D 17 0B 59 43 2D 17 0B 59 43 2D 17 66");
    EXPECT_EQ(bytesOf(u"-123456789012345678901234567890123456789"),
              "15 2B 64 4E 38 22 0C 64 4E 38 22 0C 64 4E 38 22 0C 64 4E 38 22 0C");
    EXPECT_EQ(bytesOf(u"0.3333333333333333333333333333333333333333"), "15 C0" + repeated("22", 20));
}

TEST(OracleNumber, ReadsTheNumberTypedAndNothingElse)
{
    EXPECT_EQ(textOf(u"3.5"), "3.5");
    EXPECT_EQ(textOf(u"-1.25E3"), "-1250");
    EXPECT_EQ(textOf(u"  +7  "), "7");
    EXPECT_EQ(textOf(u"5."), "5");
    EXPECT_EQ(textOf(u"007.50"), "7.5");
    EXPECT_EQ(textOf(u"2.5e-3"), "0.0025");
    EXPECT_EQ(textOf(u"123456789012345678"), "123456789012345678");
    // Both the point and the locale's separator; no group separators.
    EXPECT_EQ(textOf(u"3,5", u","), "3.5");
    EXPECT_EQ(textOf(u"3.5", u","), "3.5");
    EXPECT_EQ(textOf(u"1,5"), "none");
    EXPECT_EQ(textOf(u"1,000.5", u"."), "none");
    for (QStringView bad : {u"", u"abc", u"12abc", u"1e", u"e5", u".", u"-", u"1.2.3", u"--1",
                            u"1 000", u"0x10", u"1e5.5", u"3,5,"})
        EXPECT_EQ(textOf(bad, u","), "none") << bad.toString().toStdString();
    // Beyond what NUMBER holds: 1e126 and more is refused, below 1e-130 is 0, and digits past
    // the 40th (39th after an odd count before the point) are rounded as Oracle rounds them.
    EXPECT_EQ(textOf(u"1e126"), "none");
    EXPECT_EQ(textOf(u"99999999999999999999999999999999999999999999e82"), "none");
    EXPECT_EQ(textOf(u"1e99999999999999999999"), "none");
    EXPECT_EQ(textOf(u"1e-131"), "0");
    EXPECT_EQ(textOf(u"-4e-99999999999999999999"), "0");
    EXPECT_EQ(textOf(u"1234567890123456789012345678901234567890"),
              "1234567890123456789012345678901234567890");
    EXPECT_EQ(textOf(u"12345678901234567890123456789012345678951"),
              "12345678901234567890123456789012345679000");
    EXPECT_EQ(textOf(u"0.99999999999999999999999999999999999999999"), "1");
    EXPECT_EQ(bytesOf(u"0.99999999999999999999999999999999999999999"), "02 C1 02");
    EXPECT_EQ(textOf(u"-999999999999999999999999999999999999999999"),
              "-1000000000000000000000000000000000000000000");
}

TEST(OracleNumber, TheDefaultLocaleGivesTheSecondSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(COracleNumber::fromText(u"3,5")->text(), "3.5");
    EXPECT_EQ(COracleNumber::fromText(u"3.5")->text(), "3.5");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(COracleNumber::fromText(u"3,5").has_value());
    QLocale::setDefault(saved);
}

// A run against the scripted provider: what each Number variable hands to OCI.
TEST(ExactNumberBind, NumbersReachOciAsNumberBytesEmptyAsNullAndNoNumberNotAtAll)
{
    scripted::Session session;
    const bool output = options::EnableDBMSOutput;
    options::EnableDBMSOutput = false;
    state().stmtType = oci::OCI_STMT_UPDATE;
    std::map<std::string, std::string> sentBytes; // read while OCI executes
    state().onExecute = [&](scripted::State &s) {
        for (const scripted::Bind &b : s.binds)
            if (b.type == oci::SQLT_VNU && *b.indicator == 0)
                sentBytes[b.name] = hex(static_cast<const unsigned char *>(b.value),
                                        static_cast<const unsigned char *>(b.value)[0] + 1);
    };

    CStatementRun run;
    CSQLConnection c;
    c.setUser("SCOTT");
    c.setPassword("TIGER");
    c.setDatabase("SCRIPTED");
    ASSERT_TRUE(run.open(c).ok);
    std::vector<CSQLVariable> vars(4);
    const char *names[] = {":ID", ":HALF", ":NONE", ":BAD"};
    const char *values[] = {kDigits38, "3.5", "", "abc"};
    for (int i = 0; i < 4; ++i) {
        vars[std::size_t(i)].name = names[i];
        vars[std::size_t(i)].type = "Number";
        vars[std::size_t(i)].value = values[i];
    }
    run.setVariables(&vars);
    run.setSqlText("UPDATE t SET a = :half WHERE id = :id AND b = :none AND c = :bad");
    const CRunExecution r = run.execute();
    options::EnableDBMSOutput = output;

    EXPECT_EQ(r.outcome, CRunExecution::Outcome::Statement);
    EXPECT_EQ(r.messages, QStringList{"The value of :BAD variable (abc) has an unknown type"});
    ASSERT_EQ(state().binds.size(), 3u); // :BAD is left unbound
    for (const scripted::Bind &b : state().binds) {
        EXPECT_EQ(b.type, oci::SQLT_VNU) << b.name;
        EXPECT_EQ(b.size, 22) << b.name;
    }
    const std::vector<std::pair<std::string, oci::sb2>> sent{
        {":ID", 0}, {":HALF", 0}, {":NONE", -1}};
    EXPECT_EQ(state().sent, sent);
    EXPECT_EQ(sentBytes[":ID"], kBytes38);
    EXPECT_EQ(sentBytes[":HALF"], "03 C1 04 33");
}
