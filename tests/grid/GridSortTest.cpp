#include "grid/CGridCellStore.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Numbers compare as the result grid compares them: equal values answer 1, never 0.
int compareNumbers(QStringView a, QStringView b)
{
    return b.toDouble() > a.toDouble() ? -1 : 1;
}

CGridCellStore numberedStore(const QStringList &values)
{
    CGridCellStore store;
    store.setColumnCount(2);
    CGridRowBatch batch;
    for (int i = 0; i < values.size(); ++i)
        batch.addRow(QStringList{values[i], QString::number(i)});
    store.appendRows(std::move(batch));
    return store;
}

QStringList column(const CGridCellStore &store, int c)
{
    QStringList result;
    for (int r = 0; r < store.rowCount(); ++r)
        result << store.text(r, c);
    return result;
}

} // namespace

TEST(GridSort, NumbersSortNumericallyBothWaysAndEqualsKeepTheirOrder)
{
    CGridCellStore store = numberedStore({"10", "9", "100", "9", "", "10"});
    store.permuteRows(store.sortOrder(0, compareNumbers, false));
    EXPECT_EQ(column(store, 0), QStringList({"", "9", "9", "10", "10", "100"}));
    EXPECT_EQ(column(store, 1), QStringList({"4", "1", "3", "0", "5", "2"}));

    store.permuteRows(store.sortOrder(0, compareNumbers, true));
    EXPECT_EQ(column(store, 0), QStringList({"100", "10", "10", "9", "9", ""}));
    EXPECT_EQ(column(store, 1), QStringList({"2", "0", "5", "1", "3", "4"}));
}

TEST(GridSort, FormatsRowHeadingsAndHeightsMoveWithTheirRows)
{
    CGridCellStore store = numberedStore({"c", "a", "b"});
    CGridCellFormat yellow;
    yellow.background = QColor(255, 255, 0);
    store.setCellFormat(0, 1, yellow);
    store.setRowHeadingText(0, u"first"_qs);
    store.setRowHeight(2, 33);
    const auto codeUnits = [](QStringView a, QStringView b) { return a.compare(b); };
    store.permuteRows(store.sortOrder(0, codeUnits, false));
    EXPECT_EQ(column(store, 0), QStringList({"a", "b", "c"}));
    EXPECT_EQ(store.cellFormat(2, 1).background, QColor(255, 255, 0));
    EXPECT_TRUE(store.cellFormat(0, 1).isEmpty());
    EXPECT_EQ(store.rowHeadingText(2), u"first");
    EXPECT_TRUE(store.rowHeadingText(0).isNull());
    EXPECT_EQ(store.rowHeight(1), 33);
    EXPECT_EQ(store.rowHeight(2), 0);
}

TEST(GridSort, RowNumbersTravelWithTheirRowsAndLaterRowsContinueTheCount)
{
    CGridCellStore store = numberedStore({"c", "a", "b"});
    const auto codeUnits = [](QStringView a, QStringView b) { return a.compare(b); };
    const auto numbers = [&] {
        QList<int> n;
        for (int r = 0; r < store.rowCount(); ++r)
            n << store.rowNumber(r);
        return n;
    };
    // Off (the default): numbers follow positions.
    store.permuteRows(store.sortOrder(0, codeUnits, false));
    EXPECT_EQ(column(store, 0), QStringList({"a", "b", "c"}));
    EXPECT_EQ(numbers(), QList<int>({1, 2, 3}));

    store.setRowNumbersTravel(true);
    store.permuteRows(store.sortOrder(0, codeUnits, true));
    EXPECT_EQ(column(store, 0), QStringList({"c", "b", "a"}));
    EXPECT_EQ(numbers(), QList<int>({3, 2, 1}));
    // Rows appended after a sort go on counting; the next sort carries them along too.
    CGridRowBatch batch;
    batch.addRow(QStringList{"0"});
    store.appendRows(std::move(batch));
    EXPECT_EQ(numbers(), QList<int>({3, 2, 1, 4}));
    store.permuteRows(store.sortOrder(0, codeUnits, false));
    EXPECT_EQ(column(store, 0), QStringList({"0", "a", "b", "c"}));
    EXPECT_EQ(numbers(), QList<int>({4, 1, 2, 3}));
    // Removed rows take their numbers along; emptying the cells or switching off restarts them.
    store.setRowCount(2);
    store.setRowCount(3);
    EXPECT_EQ(numbers(), QList<int>({4, 1, 3}));
    store.clearCells();
    EXPECT_EQ(numbers(), QList<int>({1, 2, 3}));
    store.permuteRows({2, 0, 1});
    store.setRowNumbersTravel(false);
    EXPECT_EQ(numbers(), QList<int>({1, 2, 3}));
}

TEST(GridSort, LargeInputsStayStableAndInconsistentComparisonsStaySafe)
{
    // Enough rows for several merge passes; few distinct keys, so stability is visible.
    QStringList values;
    for (int i = 0; i < 5000; ++i)
        values << QString::number((i * 7919) % 13);
    CGridCellStore store = numberedStore(values);
    store.permuteRows(store.sortOrder(0, compareNumbers, true));
    for (int r = 1; r < store.rowCount(); ++r) {
        const double prev = store.text(r - 1, 0).toDouble(), cur = store.text(r, 0).toDouble();
        ASSERT_GE(prev, cur);
        if (prev == cur) {
            ASSERT_LT(store.text(r - 1, 1).toInt(), store.text(r, 1).toInt()) << r;
        }
    }

    // Sorting by keys made once per text gives the same stable order as comparing texts each time.
    const auto number = [](QStringView t) { return t.toDouble(); };
    for (bool descending : {false, true})
        EXPECT_EQ(store.sortOrderByKey(0, number, descending),
                  store.sortOrder(0, compareNumbers, descending));

    // A comparison that answers at random still yields every row exactly once.
    std::mt19937 random(7);
    const auto coin = [&](QStringView, QStringView) { return int(random() % 3) - 1; };
    std::vector<int> order = store.sortOrder(0, coin, false);
    std::sort(order.begin(), order.end());
    for (int i = 0; i < int(order.size()); ++i)
        ASSERT_EQ(order[std::size_t(i)], i);

    // No callback or a column out of range leave the order as it is; a bad order is refused.
    EXPECT_EQ(store.sortOrder(0, {}, false)[1], 1);
    EXPECT_EQ(store.sortOrder(9, compareNumbers, false)[1], 1);
    EXPECT_FALSE(store.permuteRows({0, 0}));
    std::vector<int> duplicate(std::size_t(store.rowCount()), 0);
    EXPECT_FALSE(store.permuteRows(duplicate));
}
