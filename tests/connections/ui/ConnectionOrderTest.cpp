// The saved-connections list's order: the comparisons, the stored sort column and direction.
#include "connections/CConnectionList.h"
#include "connections/ui/CConnectionOrder.h"
#include "settings/CSettingsStore.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

CSQLConnection record(const QString &user, const QString &database, int connectAs = 0,
                      const CDateTime &lastStart = CDateTime::invalid())
{
    CSQLConnection c;
    c.setUser(user);
    c.setDatabase(database);
    c.setConnectAs(connectAs);
    c.setLastStart(lastStart);
    return c;
}

class ConnectionOrderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store = std::make_unique<CSettingsStore>(m_dir.filePath(QStringLiteral("Tarvolo.conf")));
        m_list = std::make_unique<CConnectionList>(*m_store);
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // The users of the list in the order of column.
    QStringList users(int column, bool ascending) const
    {
        QStringList out;
        for (int i : CConnectionOrder::order(*m_list, column, ascending))
            out << m_list->at(i).user();
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CConnectionList> m_list;
};

// Sorting calls the comparison with every pair; it must be a strict weak ordering, or std::sort
// may run past its range. Check irreflexivity, antisymmetry and transitivity over mixed cells.
TEST_F(ConnectionOrderTest, EveryColumnComparesAsAnOrdering)
{
    const std::vector<CSQLConnection> cells{
        record("B", "", 0, CDateTime(2026, 12, 7, 18, 30, 0)),
        record("", "X", 1, CDateTime()),
        record("a", "X", 2, CDateTime(2026, 12, 7, 18, 30, 0)),
        record("", "", 9, CDateTime::invalid()),
        record("B", "x", 1, CDateTime(2025, 1, 1)),
        record("A", "", 0, CDateTime::invalid()),
    };
    for (int column = 0; column < CConnectionOrder::kColumnCount; ++column) {
        for (const auto &a : cells) {
            EXPECT_EQ(CConnectionOrder::compare(column, a, a), 0) << column;
            for (const auto &b : cells) {
                const int ab = CConnectionOrder::compare(column, a, b);
                const int ba = CConnectionOrder::compare(column, b, a);
                EXPECT_EQ(ab<0, ba> 0) << column;
                EXPECT_EQ(ab == 0, ba == 0) << column;
                for (const auto &c : cells) {
                    const int bc = CConnectionOrder::compare(column, b, c);
                    const int ac = CConnectionOrder::compare(column, a, c);
                    if (ab < 0 && bc < 0) {
                        EXPECT_LT(ac, 0) << column;
                    }
                    if (ab == 0 && bc == 0) {
                        EXPECT_EQ(ac, 0) << column;
                    }
                }
            }
        }
    }
}

TEST_F(ConnectionOrderTest, TextColumnsPutEmptyCellsLastAndCompareCaseSensitively)
{
    m_list->addOrReplace(record("scott", "ORCL"));
    m_list->addOrReplace(record("", "ORCL"));
    m_list->addOrReplace(record("HR", "ORCL"));
    m_list->addOrReplace(record("SCOTT", "ORCL"));
    EXPECT_EQ(users(CConnectionOrder::User, true), QStringList({"HR", "SCOTT", "scott", ""}));
    // Descending is the reverse order: the empty cell first.
    EXPECT_EQ(users(CConnectionOrder::User, false), QStringList({"", "scott", "SCOTT", "HR"}));
}

TEST_F(ConnectionOrderTest, EqualCellsKeepTheListOrderInBothDirections)
{
    m_list->addOrReplace(record("A", "ORCL", 1));
    m_list->addOrReplace(record("B", "ORCL", 0));
    m_list->addOrReplace(record("C", "ORCL", 1));
    m_list->addOrReplace(record("D", "", 1));
    EXPECT_EQ(users(CConnectionOrder::Database, true), QStringList({"A", "B", "C", "D"}));
    EXPECT_EQ(users(CConnectionOrder::Database, false), QStringList({"D", "A", "B", "C"}));
    // "Normal" before "SYSDBA"; the SYSDBA rows stay in list order.
    EXPECT_EQ(users(CConnectionOrder::ConnectAs, true), QStringList({"B", "A", "C", "D"}));
}

// Last connect orders by the stored value: unset first, equal times equal, and a month-first
// locale cannot swap day and month of the shown text.
TEST_F(ConnectionOrderTest, LastConnectSortsByTheStoredDateWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_list->addOrReplace(record("FEB3", "D", 0, CDateTime(2026, 2, 3, 9, 0, 0)));
    m_list->addOrReplace(record("NEVER", "D"));
    m_list->addOrReplace(record("MAR1", "D", 0, CDateTime(2026, 3, 1, 9, 0, 0)));
    m_list->addOrReplace(record("JAN5", "D", 0, CDateTime(2026, 1, 5, 23, 59, 59)));
    m_list->addOrReplace(record("FEB3B", "D", 0, CDateTime(2026, 2, 3, 9, 0, 0)));
    EXPECT_EQ(users(CConnectionOrder::LastConnect, true),
              QStringList({"NEVER", "JAN5", "FEB3", "FEB3B", "MAR1"}));
    EXPECT_EQ(users(CConnectionOrder::LastConnect, false),
              QStringList({"MAR1", "FEB3", "FEB3B", "JAN5", "NEVER"}));
    EXPECT_EQ(CConnectionOrder::cellText(CConnectionOrder::LastConnect, m_list->at(0)),
              "03.02.2026 09:00:00");
    EXPECT_EQ(CConnectionOrder::cellText(CConnectionOrder::LastConnect, m_list->at(1)), "");
}

TEST_F(ConnectionOrderTest, StoredSortReadsUserDescendingByDefaultAndClampsTheColumn)
{
    const QString section = QString::fromLatin1(CConnectionSort::kSection);
    CConnectionSort sort = CConnectionSort::load(*m_store);
    EXPECT_EQ(sort.column, CConnectionOrder::User);
    EXPECT_FALSE(sort.ascending);

    for (int stored : {4, -1, 1000}) {
        m_store->writeInt(section, QStringLiteral("SortCol"), stored);
        EXPECT_EQ(CConnectionSort::load(*m_store).column, 0) << stored;
    }
    m_store->writeInt(section, QStringLiteral("SortCol"), 3);
    m_store->writeInt(section, QStringLiteral("SortedAscending"), 1);
    sort = CConnectionSort::load(*m_store);
    EXPECT_EQ(sort.column, 3);
    EXPECT_TRUE(sort.ascending);

    sort.press(3); // the same column reverses
    EXPECT_FALSE(sort.ascending);
    sort.press(1); // another column sorts ascending
    EXPECT_EQ(sort.column, 1);
    EXPECT_TRUE(sort.ascending);
    sort.press(7); // no such column: nothing changes
    EXPECT_EQ(sort.column, 1);
    sort.save(*m_store);
    EXPECT_EQ(m_store->readInt(section, QStringLiteral("SortCol"), -1), 1);
    EXPECT_EQ(m_store->readInt(section, QStringLiteral("SortedAscending"), -1), 1);
}

} // namespace
