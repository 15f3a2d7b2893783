// Sort order of result columns: numbers by value, dates by time with empties first, strings by code
// unit with empties last; equal values stay in fetch order.
#include "execution/CColumnCompare.h"

#include "db/datetime.h"
#include "grid/CGridCellStore.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList sorted(QStringList texts, int kind, bool descending = false)
{
    CColumnCompare compare(kind);
    std::stable_sort(texts.begin(), texts.end(), [&](const QString &a, const QString &b) {
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
    return texts;
}

} // namespace

TEST(ColumnCompare, NumbersByValueNotByText)
{
    EXPECT_EQ(sorted({"10", "9", "100"}, db::kind_number), QStringList({"9", "10", "100"}));
    EXPECT_EQ(sorted({"10", "9", "100"}, db::kind_number, true), QStringList({"100", "10", "9"}));
    EXPECT_EQ(sorted({"1.5", "-2", ".25", "1E+3", "", "-1.5E-2"}, db::kind_number),
              QStringList({"-2", "-1.5E-2", "", ".25", "1.5", "1E+3"}));
    CColumnCompare compare(db::kind_number);
    EXPECT_EQ(compare(u"10", u"10.0"), 0);
    EXPECT_EQ(CColumnCompare::leadingNumber(u" +12abc"), 12.0);
    EXPECT_EQ(CColumnCompare::leadingNumber(u"abc"), 0.0);
    EXPECT_EQ(CColumnCompare::leadingNumber(u"nan"), 0.0);
}

TEST(ColumnCompare, EqualValuesKeepTheirOrder)
{
    // Stable: equal keys must compare equal both ways, or the order of "a" rows would flip.
    const QStringList rows{"5", "3", "5.0", "3.00"};
    EXPECT_EQ(sorted(rows, db::kind_number), QStringList({"3", "3.00", "5", "5.0"}));
    EXPECT_EQ(sorted(rows, db::kind_number, true), QStringList({"5", "5.0", "3", "3.00"}));
    EXPECT_EQ(sorted({"07.12.2026", "x", "07.12.2026 00:00:00", "y"}, db::kind_date),
              QStringList({"07.12.2026", "07.12.2026 00:00:00", "x", "y"}));
}

TEST(ColumnCompare, DatesByTimeEmptyFirstUnparsableLast)
{
    EXPECT_EQ(
        sorted({"07.12.2026 18:30:00", "nonsense", "", "07.12.2026", "01.01.1999"}, db::kind_date),
        QStringList({"", "01.01.1999", "07.12.2026", "07.12.2026 18:30:00", "nonsense"}));
}

TEST(ColumnCompare, StringsByCodeUnitEmptyLast)
{
    EXPECT_EQ(sorted({"b", "", "B", "a", "ab"}, db::kind_string),
              QStringList({"B", "a", "ab", "b", ""}));
    EXPECT_EQ(sorted({"b", "", "a"}, db::kind_string, true), QStringList({"", "b", "a"}));
    EXPECT_EQ(CColumnCompare(0)(u"a", u"b"), 0);
}

TEST(ColumnCompare, KeysOrderNumbersAndDatesExactlyAsTheComparison)
{
    // The grid sorts number and date columns by key; any difference from the comparison's order
    // (empties, unparsable texts, equal values, infinities) would reorder rows.
    const QStringList numbers{"10",    "",       "-0",   "0",  "abc", "9",
                              "1e999", "-1e999", "10.0", "-2", "9"};
    const QStringList dates{"07.12.2026",          "x", "",  "01.01.1999",
                            "07.12.2026 00:00:00", "",  "y", "07.12.2026 18:30:00",
                            "01.01.1999"};
    for (const auto &[kind, texts] :
         {std::pair{db::kind_number, numbers}, std::pair{db::kind_date, dates}}) {
        CGridCellStore store;
        store.setColumnCount(1);
        CGridRowBatch batch;
        for (const QString &t : texts)
            batch.addRow(QStringList{t});
        store.appendRows(std::move(batch));
        CColumnCompare compare(kind);
        ASSERT_TRUE(compare.ordersByKey());
        for (bool descending : {false, true})
            EXPECT_EQ(store.sortOrderByKey(
                          0, [&](QStringView t) { return compare.key(t); }, descending),
                      store.sortOrder(0, compare, descending))
                << kind << descending;
    }
    EXPECT_FALSE(CColumnCompare(db::kind_string).ordersByKey());
}
