#include "connections/CConnectionList.h"
#include "connections/CSQLConnection.h"
#include "settings/CSettingsStore.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kSection = QStringLiteral("Connections");

CSQLConnection record(const QString &user, const QString &database, const QString &password = {})
{
    CSQLConnection c;
    c.setUser(user);
    c.setDatabase(database);
    c.setPassword(password);
    return c;
}

class ConnectionStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store = std::make_unique<CSettingsStore>(m_dir.filePath(QStringLiteral("Tarvolo.conf")));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Stores a record with only a user and a database under index.
    void storeRecord(int index, const QString &user, const QString &database,
                     const QString &client = {})
    {
        CSQLConnection c = record(user, database);
        c.setClient(client);
        c.save(kSection, index, *m_store);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CSettingsStore> m_store;
};

TEST_F(ConnectionStoreTest, RecordsEndAtTheFirstIndexWithoutUser)
{
    storeRecord(0, "SCOTT", "ORCL");
    storeRecord(1, "HR", "ORCL");
    storeRecord(3, "SYS", "ORCL");
    CConnectionList list(*m_store);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).user(), "SCOTT");
    EXPECT_EQ(list.at(1).user(), "HR");

    CSQLConnection probe;
    probe.setName(QStringLiteral("kept"));
    EXPECT_FALSE(probe.load(kSection, 2, *m_store));
    EXPECT_EQ(probe.server(), "Oracle"); // untouched past the missing user
}

TEST_F(ConnectionStoreTest, SaveAllRebuildsTheSection)
{
    for (int i = 0; i < 5; ++i)
        storeRecord(i, QStringLiteral("U%1").arg(i), "DB");
    CConnectionList list(*m_store);
    ASSERT_EQ(list.size(), 5);
    list.remove(record("U1", "DB"));
    list.remove(record("U3", "DB"));
    list.saveAll();
    EXPECT_FALSE(m_store->contains(kSection, "User_3"));
    EXPECT_FALSE(m_store->contains(kSection, "Database_4"));

    CConnectionList again(*m_store);
    ASSERT_EQ(again.size(), 3);
    EXPECT_EQ(again.at(0).user(), "U0");
    EXPECT_EQ(again.at(1).user(), "U2");
    EXPECT_EQ(again.at(2).user(), "U4");
}

TEST_F(ConnectionStoreTest, OneIdentityLoadsOnceAtTheEarlierPlaceWithTheLaterValues)
{
    storeRecord(0, "SCOTT", "ORCL", "first");
    storeRecord(1, "HR", "ORCL");
    storeRecord(2, "SCOTT", "ORCL", "second");
    storeRecord(3, "scott", "ORCL"); // case makes another identity
    CConnectionList list(*m_store);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(0).client(), "second");
    EXPECT_EQ(list.at(1).user(), "HR");
    EXPECT_EQ(list.at(2).user(), "scott");

    list.saveAll();
    EXPECT_EQ(m_store->readString(kSection, "DBClient_0"), "second");
    EXPECT_FALSE(m_store->contains(kSection, "User_3"));
}

TEST_F(ConnectionStoreTest, ListOperationsUseTheIdentity)
{
    CConnectionList list(*m_store);
    list.addOrReplace(record("A", "DB1", "a"));
    list.addOrReplace(record("B", "DB1", "b"));
    list.addOrReplace(record("A", "DB1", "new"));
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).password(), "new");

    ASSERT_NE(list.find(record("B", "DB1")), nullptr);
    EXPECT_EQ(list.find(record("B", "DB2")), nullptr);
    EXPECT_EQ(list.find(record("b", "DB1")), nullptr);

    list.remove(list.at(0)); // a record of the list itself
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.at(0).user(), "B");
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(ConnectionStoreTest, PasswordIsStoredScrambledAndOnlyWhenAsked)
{
    EXPECT_EQ(CSQLConnection::scramble(QString()), QString());
    EXPECT_EQ(CSQLConnection::scramble("A"), QString(QChar(0x41 ^ 0x6B)));
    const QString odd = QString::fromUtf16(u"k\u0160tiger\"=;[x]\\ \u4e2d");
    EXPECT_EQ(CSQLConnection::scramble(CSQLConnection::scramble(odd)), odd);

    // 'k' scrambles to a NUL character and others to control characters: all survive the store.
    CSQLConnection kept = record("SCOTT", "ORCL", odd);
    kept.save(kSection, 0, *m_store);
    CSQLConnection dropped = record("HR", "ORCL", "secret");
    dropped.setSavePassword(false);
    dropped.save(kSection, 1, *m_store);
    EXPECT_TRUE(dropped.password().isEmpty());
    m_store->sync();

    CSettingsStore reread(m_store->fileName());
    EXPECT_EQ(reread.readString(kSection, "Password_1"), QString());
    CSQLConnection loaded;
    ASSERT_TRUE(loaded.load(kSection, 0, reread));
    EXPECT_EQ(loaded.password(), odd);
    ASSERT_TRUE(loaded.load(kSection, 1, reread));
    EXPECT_FALSE(loaded.savePassword());
}

TEST_F(ConnectionStoreTest, LastStartRoundTripsUnderEitherDateOrder)
{
    const CDateTime when(2026, 12, 7, 18, 30, 0);
    for (const char *locale : {"de_DE", "en_US"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        CSQLConnection c = record("SCOTT", "ORCL");
        c.setLastStart(when);
        c.save(kSection, 0, *m_store);
        EXPECT_EQ(m_store->readString(kSection, "LastStart_0"), "07.12.2026 18:30:00") << locale;
        CSQLConnection loaded;
        ASSERT_TRUE(loaded.load(kSection, 0, *m_store));
        EXPECT_EQ(loaded.lastStart(), when) << locale;
        EXPECT_TRUE(loaded.equal(c)) << locale;
    }

    CSQLConnection never = record("HR", "ORCL");
    never.save(kSection, 1, *m_store);
    EXPECT_EQ(m_store->readString(kSection, "LastStart_1"), "Invalid DateTime");
    CSQLConnection loaded;
    loaded.setLastStart(when);
    ASSERT_TRUE(loaded.load(kSection, 1, *m_store));
    EXPECT_FALSE(loaded.lastStart().isValid());
}

TEST_F(ConnectionStoreTest, MergingElementConnectionsKeepsTheSavedOnesFirst)
{
    CSQLConnection saved = record("SCOTT", "ORCL", "tiger");
    saved.setConnectAs(CSQLConnection::SysDba);
    saved.save(kSection, 0, *m_store);
    storeRecord(1, "HR", "ORCL");

    CSQLConnection fromElement = record("SCOTT", "ORCL", "other");
    const CSQLConnection newA = record("NEW", "XE", "1");
    const CSQLConnection newB = record("NEW", "XE", "2");
    const CSQLConnection empty;
    {
        CConnectionList list(*m_store);
        list.mergeElementConnections({&empty, &newA, &fromElement, &newB});
    }
    CConnectionList list(*m_store);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(0).password(), "tiger");
    EXPECT_EQ(list.at(0).connectAs(), CSQLConnection::SysDba);
    EXPECT_EQ(list.at(1).user(), "HR");
    EXPECT_EQ(list.at(2).password(), "2");
}

TEST_F(ConnectionStoreTest, RunFillsAndStampsFromTheSavedRecord)
{
    CSQLConnection saved = record("SCOTT", "ORCL", "tiger");
    saved.setConnectAs(CSQLConnection::SysOper);
    saved.save(kSection, 0, *m_store);
    CConnectionList list(*m_store);

    CSQLConnection element = record("SCOTT", "ORCL");
    element.setSavePassword(false);
    ASSERT_TRUE(list.fillFromSaved(element));
    EXPECT_EQ(element.password(), "tiger");
    EXPECT_TRUE(element.savePassword());
    EXPECT_EQ(element.connectAs(), CSQLConnection::SysOper);

    CSQLConnection unknown = record("X", "ORCL");
    EXPECT_FALSE(list.fillFromSaved(unknown));
    EXPECT_FALSE(list.rememberLastStart(unknown, CDateTime(2026, 1, 2)));
    EXPECT_TRUE(unknown.lastStart() == CDateTime::invalid());

    const CDateTime now(2026, 3, 4, 5, 6, 7);
    ASSERT_TRUE(list.rememberLastStart(element, now));
    EXPECT_EQ(element.lastStart(), now);
    EXPECT_EQ(m_store->readString(kSection, "LastStart_0"), "04.03.2026 05:06:07");
}

} // namespace
