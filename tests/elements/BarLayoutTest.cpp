#include "core/CProfileFile.h"
#include "elements/CBarLayout.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

namespace {

class BarLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.path(); }
    QString layoutFile() const { return m_dir.filePath("tvl.cfg"); }

    // Elements with these numbers, in this (listing) order.
    static CElementList elements(std::initializer_list<int> numbers)
    {
        CElementList list;
        for (int n : numbers) {
            list.push_back(std::make_unique<CVexlorElement>());
            list.back()->setElementNumber(n);
        }
        return list;
    }
    static std::vector<int> order(const CElementList &list)
    {
        std::vector<int> out;
        for (const auto &e : list)
            out.push_back(e->elementNumber());
        return out;
    }
    // The map as the file holds it, read the way the next start reads it.
    std::vector<CBarLayout::Entry> storedMap() const
    {
        CBarLayout fresh;
        CElementList none;
        fresh.readOrderMap(folder(), none);
        return fresh.orderMap();
    }

    QTemporaryDir m_dir;
};

using Map = std::vector<CBarLayout::Entry>;

TEST_F(BarLayoutTest, MissingMapIsBuiltFromTheListingAndWrittenAtOnce)
{
    CBarLayout layout;
    CElementList list = elements({3, 1, 2});
    layout.readOrderMap(folder(), list);
    EXPECT_EQ(layout.orderMap(), (Map{{3, 3}, {1, 1}, {2, 2}}));
    EXPECT_EQ(order(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(storedMap(), (Map{{3, 3}, {1, 1}, {2, 2}}));
    EXPECT_EQ(list[0]->barPosition(), 1);
}

TEST_F(BarLayoutTest, ElementsWithoutAnEntryComeFirst)
{
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), "[EL_MAP]\r\nEl_0=5\r\nMap_0=1\r\nEl_1=2\r\n"
                                                    "Map_1=2\r\nEl_2=5\r\nMap_2=9\r\n"));
    CBarLayout layout;
    CElementList list = elements({2, 5, 7});
    layout.readOrderMap(folder(), list);
    EXPECT_EQ(order(list), (std::vector<int>{7, 5, 2})); // the first entry of 5 wins
    EXPECT_EQ(list[0]->barPosition(), 0);
}

TEST_F(BarLayoutTest, UpSwapsWithTheElementBefore)
{
    CBarLayout layout;
    CElementList list = elements({1, 2, 3});
    layout.readOrderMap(folder(), list);
    EXPECT_FALSE(layout.moveUp(0, list, folder()));
    EXPECT_FALSE(layout.moveDown(2, list, folder()));
    EXPECT_FALSE(layout.moveUp(7, list, folder()));
    ASSERT_TRUE(layout.moveUp(1, list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(layout.orderMap(), (Map{{2, 1}, {1, 2}, {3, 3}}));
    EXPECT_EQ(storedMap(), (Map{{2, 1}, {1, 2}, {3, 3}}));
    ASSERT_TRUE(layout.moveDown(1, list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{2, 3, 1}));
}

TEST_F(BarLayoutTest, MovingAnElementWithoutAnEntryRenumbersFirst)
{
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), "[EL_MAP]\r\nEl_0=1\r\nMap_0=1\r\nEl_1=2\r\n"
                                                    "Map_1=2\r\n"));
    CBarLayout layout;
    CElementList list = elements({1, 2, 8, 9}); // 8 and 9 were added outside the program
    layout.readOrderMap(folder(), list);
    ASSERT_EQ(order(list), (std::vector<int>{8, 9, 1, 2}));
    ASSERT_TRUE(layout.moveDown(1, list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{8, 1, 9, 2}));
    EXPECT_EQ(storedMap(), (Map{{8, 1}, {1, 2}, {9, 3}, {2, 4}}));
    ASSERT_TRUE(layout.swapElements(*list[0], *list[3], list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{2, 1, 9, 8}));
    CVexlorElement stranger;
    EXPECT_FALSE(layout.swapElements(stranger, *list[0], list, folder()));
}

TEST_F(BarLayoutTest, MovingAnElementThatSharesItsPositionMovesIt)
{
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), "[EL_MAP]\r\nEl_0=5\r\nMap_0=1\r\nEl_1=2\r\n"
                                                    "Map_1=1\r\nEl_2=3\r\nMap_2=2\r\n"));
    CBarLayout layout;
    CElementList list = elements({5, 2, 3});
    layout.readOrderMap(folder(), list);
    ASSERT_EQ(order(list), (std::vector<int>{5, 2, 3}));
    ASSERT_TRUE(layout.moveUp(1, list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{2, 5, 3}));
    EXPECT_EQ(storedMap(), (Map{{2, 1}, {5, 2}, {3, 3}}));
}

TEST_F(BarLayoutTest, NewAndDeleteLeaveTheFileHoldingTheLoadedElementsOnly)
{
    CBarLayout layout;
    CElementList list = elements({1, 2, 3, 4});
    layout.readOrderMap(folder(), list);

    EXPECT_EQ(nextElementNumber(elements({1, 2, std::numeric_limits<int>::max()})), 3);
    list.push_back(std::make_unique<CVexlorElement>());
    list.back()->setElementNumber(nextElementNumber(list));
    layout.addElement(*list.back(), list);
    EXPECT_EQ(list.back()->barPosition(), 5);
    layout.removeElement(*list[1], list);
    EXPECT_EQ(list[1]->barPosition(), 0);
    list.erase(list.begin() + 1);
    layout.renumber(list, folder());
    EXPECT_EQ(layout.orderMap(), (Map{{1, 1}, {3, 2}, {4, 3}, {5, 4}}));

    layout.removeElement(*list[0], list);
    list.erase(list.begin());
    layout.renumber(list, folder());
    // The entry beyond the shorter map is gone from the file, not only from memory.
    EXPECT_EQ(storedMap(), (Map{{3, 1}, {4, 2}, {5, 3}}));
    EXPECT_EQ(CProfileFile(layoutFile()).keyNames("EL_MAP"),
              (QStringList{"El_0", "Map_0", "El_1", "Map_1", "El_2", "Map_2"}));
    CBarLayout next;
    CElementList reloaded = elements({5, 4, 3});
    next.readOrderMap(folder(), reloaded);
    EXPECT_EQ(order(reloaded), (std::vector<int>{3, 4, 5}));
}

// A file from an earlier run names elements whose folders were removed outside the program: the
// first renumbering writes the map of the loaded elements and drops the rest from the file.
TEST_F(BarLayoutTest, EntriesOfVanishedElementsLeaveTheFileAtTheNextWrite)
{
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), "[EL_MAP]\r\nEl_0=1\r\nMap_0=1\r\nEl_1=2\r\n"
                                                    "Map_1=2\r\nEl_2=3\r\nMap_2=3\r\nEl_3=4\r\n"
                                                    "Map_3=4\r\n; kept\r\n"));
    CBarLayout layout;
    CElementList list = elements({1, 3});
    layout.readOrderMap(folder(), list);
    ASSERT_TRUE(layout.moveDown(0, list, folder()));
    EXPECT_EQ(order(list), (std::vector<int>{3, 1}));
    EXPECT_EQ(testfiles::readBytes(layoutFile()),
              "[EL_MAP]\r\nEl_0=3\r\nMap_0=1\r\nEl_1=1\r\nMap_1=2\r\n; kept\r\n");
}

// With 10,000 elements an Up or Down writes the two entries it changes: every other line keeps its
// bytes, even where another writer spelled a number differently.
TEST_F(BarLayoutTest, UpAndDownWithTenThousandElementsWriteOnlyWhatChanged)
{
    constexpr int kCount = 10000;
    QByteArray bytes = "[EL_MAP]\r\n";
    std::vector<int> numbers;
    for (int i = 0; i < kCount; ++i) {
        bytes += "El_" + QByteArray::number(i) + "=" + QByteArray::number(i + 1) + "\r\nMap_" +
                 QByteArray::number(i) + "=+" + QByteArray::number(i + 1) + "\r\n";
        numbers.push_back(i + 1);
    }
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), bytes));
    CElementList list;
    for (int n : numbers) {
        list.push_back(std::make_unique<CVexlorElement>());
        list.back()->setElementNumber(n);
    }
    CBarLayout layout;
    layout.readOrderMap(folder(), list);

    ASSERT_TRUE(layout.moveUp(5000, list, folder()));
    ASSERT_FALSE(layout.orderMapWriteFailed());
    ASSERT_TRUE(layout.moveDown(7000, list, folder()));
    std::swap(numbers[4999], numbers[5000]);
    std::swap(numbers[7000], numbers[7001]);
    EXPECT_EQ(order(list), numbers);

    QByteArray expected = bytes;
    expected.replace("\r\nEl_4999=5000\r\n", "\r\nEl_4999=5001\r\n");
    expected.replace("\r\nEl_5000=5001\r\n", "\r\nEl_5000=5000\r\n");
    expected.replace("\r\nEl_7000=7001\r\n", "\r\nEl_7000=7002\r\n");
    expected.replace("\r\nEl_7001=7002\r\n", "\r\nEl_7001=7001\r\n");
    EXPECT_TRUE(testfiles::readBytes(layoutFile()) == expected);
}

// The largest rectangle a file can hold: its width and height do not fit in 32 bits.
TEST_F(BarLayoutTest, ExtremeRectanglesAreReadWithoutOverflow)
{
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(),
                                      "[GENERAL]\r\nLeft=-2147483648\r\nTop=2147483647"
                                      "\r\nRight=2147483647\r\nBottom=-2147483648\r\n"));
    CBarLayout layout;
    layout.readBarRect(folder());
    const CScreenRect expected{std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                               std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
    EXPECT_EQ(layout.barRect(), expected);
    EXPECT_EQ(layout.barRect().width(), 4294967295LL);
    EXPECT_EQ(layout.barRect().height(), -4294967295LL);
}

TEST_F(BarLayoutTest, BarRectangleIsRepairedAndWrittenBack)
{
    CBarLayout layout;
    layout.readBarRect(folder()); // no file: the first start
    EXPECT_EQ(layout.barRect(), (CScreenRect{0, 0, 300, 300}));

    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), "[GENERAL]\r\nLeft=10\r\nTop=10\r\nRight=10\r\n"
                                                    "Bottom=500\r\n"));
    layout.setBarRect({40, 50, 640, 450});
    layout.readBarRect(folder());
    EXPECT_EQ(layout.barRect(), (CScreenRect{40, 50, 640, 450})); // zero width is ignored

    layout.setBarRect({-20, 7, 380, 7});
    layout.readBarRect(folder());
    EXPECT_EQ(layout.barRect(), (CScreenRect{-20, 0, 380, 300}));

    layout.setBarRect({100, 200, 400, 600});
    layout.writeBarRect(folder());
    CBarLayout other;
    other.readBarRect(folder());
    EXPECT_EQ(other.barRect(), (CScreenRect{100, 200, 400, 600}));
    EXPECT_EQ(CProfileFile(layoutFile()).keyNames("GENERAL"),
              (QStringList{"Left", "Top", "Right", "Bottom"}));
}

// A full disk (a file-size limit) makes every layout write report failure and keep the old file;
// the moves still happen in memory.
TEST_F(BarLayoutTest, FailedLayoutWritesAreReportedAndKeepTheOldFile)
{
    const QByteArray before = "[GENERAL]\r\nLeft=1\r\nTop=2\r\nRight=301\r\nBottom=302\r\n"
                              "[EL_MAP]\r\nEl_0=1\r\nMap_0=1\r\nEl_1=2\r\nMap_1=2\r\n";
    ASSERT_TRUE(testfiles::writeBytes(layoutFile(), before));
    CBarLayout layout;
    CElementList list = elements({1, 2});
    layout.readOrderMap(folder(), list);
    {
        testfiles::FileSizeLimit full(1);
        ASSERT_TRUE(full.active());
        layout.setBarRect({5, 5, 500, 500});
        EXPECT_FALSE(layout.writeBarRect(folder()));
        ASSERT_TRUE(layout.moveDown(0, list, folder()));
        EXPECT_TRUE(layout.orderMapWriteFailed());
        EXPECT_EQ(order(list), (std::vector<int>{2, 1}));
        EXPECT_FALSE(layout.renumber(list, folder()));
        EXPECT_FALSE(layout.writeOrderMap(folder()));

        QTemporaryDir other; // no map yet: the default map cannot be written either
        CBarLayout fresh;
        CElementList two = elements({1, 2});
        fresh.readOrderMap(other.path(), two);
        EXPECT_TRUE(fresh.orderMapWriteFailed());
    }
    EXPECT_EQ(testfiles::readBytes(layoutFile()), before);
    // Once the disk has room the whole map is written, as the file's content was not known.
    ASSERT_TRUE(layout.writeOrderMap(folder()));
    EXPECT_EQ(storedMap(), (Map{{2, 1}, {1, 2}}));
}

} // namespace
