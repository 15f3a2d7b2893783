// The connections dialog's rules without a window: filling the fields, OK, the database names, the
// client labels and the connection test against the SAMPLE database.
#include "connections/CConnectionList.h"
#include "connections/ui/CClientLabels.h"
#include "connections/ui/CConnectionTest.h"
#include "connections/ui/CDatabaseNames.h"
#include "connections/ui/CLogonForm.h"
#include "engine/CEngineProvider.h"
#include "settings/CSettingsStore.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

CSQLConnection record(const QString &user, const QString &database, const QString &password = {},
                      bool savePassword = true)
{
    CSQLConnection c;
    c.setUser(user);
    c.setDatabase(database);
    c.setPassword(password);
    c.setSavePassword(savePassword);
    return c;
}

class LogonRulesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store = std::make_unique<CSettingsStore>(m_dir.filePath(QStringLiteral("Tarvolo.conf")));
        m_saved = std::make_unique<CConnectionList>(*m_store);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CConnectionList> m_saved;
};

TEST_F(LogonRulesTest, OpeningFillsFromTheSavedList)
{
    m_saved->addOrReplace(record("SCOTT", "SAMPLE", "TIGER", true));
    m_saved->addOrReplace(record("HR", "ORCL", "secret", false));

    CSQLConnection empty;
    CLogonForm::prepare(empty, *m_saved);
    EXPECT_TRUE(empty.equal(m_saved->at(0))); // the first saved record

    CSQLConnection hr = record("HR", "ORCL", "typed", true);
    hr.setConnectAs(CSQLConnection::SysDba);
    CLogonForm::prepare(hr, *m_saved);
    EXPECT_EQ(hr.password(), "secret");
    EXPECT_FALSE(hr.savePassword());
    EXPECT_EQ(hr.connectAs(), CSQLConnection::SysDba); // only password and save password
    // Without save password the field stays empty, whatever the record holds.
    EXPECT_EQ(CLogonForm::of(hr).password, "");
    EXPECT_EQ(CLogonForm::of(m_saved->at(0)).password, "TIGER");

    CSQLConnection other = record("hr", "ORCL", "mine");
    CLogonForm::prepare(other, *m_saved); // identity is case-sensitive: no match
    EXPECT_EQ(other.password(), "mine");

    CSQLConnection odd = record("X", "Y");
    odd.setConnectAs(7);
    EXPECT_EQ(CLogonForm::of(odd).connectAs, CSQLConnection::Normal);
}

TEST_F(LogonRulesTest, OkUpperCasesUserAndDatabaseButNotThePassword)
{
    CLogonForm form;
    form.user = QStringLiteral(" scott ");
    form.password = QStringLiteral("Tiger");
    form.database = QStringLiteral("orcl");
    form.connectAs = CSQLConnection::SysOper;
    form.savePassword = true;
    CSQLConnection current;
    current.setName(QStringLiteral("kept"));
    EXPECT_TRUE(form.acceptInto(current, *m_saved));
    EXPECT_EQ(current.user(), "SCOTT");
    EXPECT_EQ(current.database(), "ORCL");
    EXPECT_EQ(current.password(), "Tiger");
    EXPECT_EQ(current.connectAs(), CSQLConnection::SysOper);
    EXPECT_EQ(current.name(), "kept");
    ASSERT_EQ(m_saved->size(), 1);
    EXPECT_TRUE(m_saved->at(0).equal(current));

    // The same identity typed in lower case replaces that record in its place.
    m_saved->addOrReplace(record("HR", "ORCL"));
    form.password = QStringLiteral("Lion");
    EXPECT_TRUE(form.acceptInto(current, *m_saved));
    ASSERT_EQ(m_saved->size(), 2);
    EXPECT_EQ(m_saved->at(0).password(), "Lion");
}

TEST_F(LogonRulesTest, OkWithAnEmptyUserAddsNoSavedRecord)
{
    m_saved->addOrReplace(record("SCOTT", "SAMPLE", "TIGER"));
    CLogonForm form;
    form.user = QStringLiteral("   ");
    form.database = QStringLiteral("orcl");
    CSQLConnection current;
    EXPECT_FALSE(form.acceptInto(current, *m_saved));
    EXPECT_EQ(current.user(), "");
    EXPECT_EQ(current.database(), "ORCL");
    ASSERT_EQ(m_saved->size(), 1);
    EXPECT_EQ(m_saved->at(0).user(), "SCOTT");
}

TEST_F(LogonRulesTest, TheTestRecordKeepsTheTypedTextsAndTheChosenConnectAs)
{
    CLogonForm form;
    form.user = QStringLiteral("scott");
    form.password = QStringLiteral("tiger");
    form.database = QStringLiteral("sample ");
    form.connectAs = CSQLConnection::SysDba;
    const CSQLConnection test = form.testRecord();
    EXPECT_EQ(test.user(), "scott");
    EXPECT_EQ(test.password(), "tiger");
    EXPECT_EQ(test.database(), "sample");
    EXPECT_EQ(test.connectAs(), CSQLConnection::SysDba);
}

TEST_F(LogonRulesTest, ChoosingARowCopiesItsSavedRecord)
{
    CSQLConnection hr = record("HR", "ORCL", "pw");
    hr.setConnectAs(CSQLConnection::SysDba);
    m_saved->addOrReplace(hr);
    CSQLConnection current = record("SCOTT", "SAMPLE");
    EXPECT_FALSE(CLogonForm::choose("HR", "orcl", *m_saved, current));
    EXPECT_EQ(current.user(), "SCOTT");
    EXPECT_TRUE(CLogonForm::choose("HR", "ORCL", *m_saved, current));
    EXPECT_TRUE(current.equal(hr));
}

TEST(DatabaseNamesTest, EachNameOnceInGroupOrderWithTheFirstSpelling)
{
    const QStringList names = CDatabaseNames::merge({"ORCL", "", "SAMPLE", "ORCL", "dev"},
                                                    {"SALES.WORLD", "ORCL", "DEV", "  "},
                                                    {"SAMPLE", "Test", "sales.world"});
    EXPECT_EQ(names, QStringList({"ORCL", "SAMPLE", "dev", "SALES.WORLD", "Test"}));
}

TEST(ClientLabelsTest, NameTheClientOrTheEmbeddedEngine)
{
    const oci::description engine{"Tarvolo embedded engine (SQLite 3.40.1)", "1.5.0.0.0"};
    CClientLabels labels = CClientLabels::make(
        {"/opt/oracle/client/lib/libclntsh.so.19.1", "19.8.0.0.0"}, "OraClient19Home1", {engine});
    EXPECT_TRUE(labels.clientLoaded);
    EXPECT_EQ(labels.path, "/opt/oracle/client/lib/libclntsh.so.19.1");
    EXPECT_EQ(labels.version, "19.8.0.0.0");
    EXPECT_EQ(labels.home, "OraClient19Home1");

    labels = CClientLabels::make({"/opt/instantclient/libclntsh.so", "21.1.0.0.0"}, "", {});
    EXPECT_EQ(labels.home, CClientLabels::noHomeNameText());

    labels = CClientLabels::make({}, "ignored", {{}, engine});
    EXPECT_FALSE(labels.clientLoaded);
    EXPECT_EQ(labels.path, "Tarvolo embedded engine (SQLite 3.40.1)");
    EXPECT_EQ(labels.version, "1.5.0.0.0");
    EXPECT_EQ(labels.home, CClientLabels::noClientText());

    labels = CClientLabels::make({}, "", {});
    EXPECT_EQ(labels.path, CClientLabels::noClientText());
    EXPECT_EQ(labels.version, "");
}

class ConnectionTestSample : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString samples = testfiles::buildDir() + "/Samples";
        ASSERT_TRUE(QFile::exists(samples + "/SAMPLE.db")) << samples.toStdString();
        qputenv("TARVOLO_DATABASES", samples.toLocal8Bit());
        engine::registerEngineProvider();
    }
};

TEST_F(ConnectionTestSample, SucceedsAsScottAndNamesTheConnection)
{
    const CConnectionTest result = CConnectionTest::run(record("scott", "sample", "TIGER"));
    EXPECT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(result.message, "The connection scott - sample is OK");
}

TEST_F(ConnectionTestSample, AWrongPasswordOrConnectModeGivesTheOracleError)
{
    CConnectionTest result = CConnectionTest::run(record("SCOTT", "SAMPLE", "tiger"));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith("Error type: Oracle\nDescription: (OCI_ERROR) ORA-01017"))
        << result.message.toStdString();
    EXPECT_TRUE(result.message.endsWith('\n'));

    CSQLConnection sysdba = record("SCOTT", "SAMPLE", "TIGER");
    sysdba.setConnectAs(CSQLConnection::SysDba);
    result = CConnectionTest::run(sysdba);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("ORA-01031")) << result.message.toStdString();
}

} // namespace
