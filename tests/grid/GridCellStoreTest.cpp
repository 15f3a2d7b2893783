#include "grid/CGridCellStore.h"

#include <gtest/gtest.h>

namespace {

CGridCellFormat yellowFormat()
{
    CGridCellFormat format;
    format.background = QColor(255, 255, 0);
    return format;
}

} // namespace

TEST(GridPackedRow, KeepsEveryColumnsTextAcrossRepacking)
{
    const QString long1(70000, u'x'); // beyond 16-bit offsets
    const QList<QString> texts{u"ä€😀"_qs, QString(), long1, u"tail"_qs, QString()};
    std::vector<QStringView> views(texts.begin(), texts.end());
    CGridPackedRow row{std::span<const QStringView>(views)};
    EXPECT_EQ(row.storedColumns(), 4); // the trailing empty column is not stored
    EXPECT_EQ(row.text(0), u"ä€😀");
    EXPECT_TRUE(row.text(1).isEmpty());
    EXPECT_EQ(row.text(2), long1);
    EXPECT_EQ(row.text(3), u"tail");
    EXPECT_TRUE(row.text(4).isEmpty());
    EXPECT_TRUE(row.text(-1).isEmpty());

    row.setText(2, u"short");     // back to 16-bit offsets
    row.setText(6, u"far");       // grows the row
    row.setText(0, row.text(3));  // a view into the row itself
    EXPECT_EQ(row.text(0), u"tail");
    EXPECT_EQ(row.text(2), u"short");
    EXPECT_EQ(row.text(6), u"far");
    EXPECT_EQ(row.storedColumns(), 7);
    row.truncate(3);
    EXPECT_TRUE(row.text(6).isEmpty());
    EXPECT_EQ(row.text(2), u"short");
    row.setText(0, {});
    row.setText(2, {});
    EXPECT_EQ(row.byteSize(), 0u); // a row of empty texts holds no allocation
}

TEST(GridCellStore, MemoryStaysCloseToTheTextHeld)
{
    CGridCellStore store;
    store.setColumnCount(8);
    CGridRowBatch batch;
    std::size_t textBytes = 0;
    for (int r = 0; r < 20000; ++r) {
        QStringList row;
        for (int c = 0; c < 8; ++c)
            row << QStringLiteral("v%1-%2").arg(r).arg(c);
        for (const QString &t : row)
            textBytes += std::size_t(t.size()) * 2;
        batch.addRow(row);
        if (r % 3 == 0)
            batch.setCellFormat(r % 8, yellowFormat());
    }
    store.appendRows(std::move(batch));
    ASSERT_EQ(store.rowCount(), 20000);
    EXPECT_EQ(store.text(12345, 7), u"v12345-7");
    EXPECT_EQ(store.effectiveFormat(3, 3).background, QColor(255, 255, 0));
    // Thousands of yellow cells share one stored format; texts cost little beyond their UTF-16 size.
    EXPECT_EQ(store.formattedCellCount(), 6667);
    EXPECT_LT(store.memoryUsage(), textBytes * 3 / 2);

    // An empty row count of millions costs one pointer per row.
    CGridCellStore big;
    big.setColumnCount(8);
    big.setRowCount(3'000'000);
    EXPECT_LE(big.memoryUsage(), 3'000'000u * sizeof(void *));
}

TEST(GridCellStore, ShrinkingDropsDataAndGrowingBackGivesEmptyCells)
{
    CGridCellStore store;
    store.setColumnCount(3);
    store.setRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            store.setText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
    store.setCellFormat(3, 0, yellowFormat());
    store.setCellFormat(0, 2, yellowFormat());
    store.setRowHeadingText(3, u"x"_qs);
    store.setRowHeight(3, 40);
    store.setHeadingText(2, u"C"_qs);

    store.setRowCount(3);
    store.setColumnCount(2);
    store.setRowCount(4);
    store.setColumnCount(3);
    EXPECT_TRUE(store.text(3, 0).isEmpty());
    EXPECT_TRUE(store.text(0, 2).isEmpty());
    EXPECT_EQ(store.text(2, 1), u"2/1");
    EXPECT_TRUE(store.cellFormat(3, 0).isEmpty());
    EXPECT_TRUE(store.cellFormat(0, 2).isEmpty());
    EXPECT_TRUE(store.rowHeadingText(3).isNull());
    EXPECT_EQ(store.rowHeight(3), 0);
    EXPECT_TRUE(store.headingText(2).isEmpty());

    // Out of range: writes refuse, reads are empty.
    EXPECT_FALSE(store.setText(4, 0, u"x"));
    EXPECT_FALSE(store.setText(0, -1, u"x"));
    EXPECT_FALSE(store.setCellFormat(-1, 0, yellowFormat()));
    EXPECT_TRUE(store.text(99, 99).isEmpty());
    store.setRowCount(-5);
    EXPECT_EQ(store.rowCount(), 0);
    store.setColumnCount(INT_MAX); // cut to the maximum instead of exhausting memory
    EXPECT_EQ(store.columnCount(), CGridCellStore::MaxColumns);
    store.setColumnCount(3);

    // A batch wider than the grid loses the extra columns.
    CGridRowBatch batch;
    batch.addRow(QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs});
    store.appendRows(std::move(batch));
    EXPECT_EQ(store.text(0, 2), u"c");
    store.setColumnCount(4);
    EXPECT_TRUE(store.text(0, 3).isEmpty());
}

TEST(GridCellStore, ClampsRowsAndLaysCellFormatsOverTheDefault)
{
    CGridCellStore store;
    EXPECT_EQ(store.clampRow(0), -1);
    store.setColumnCount(2);
    store.setRowCount(10);
    EXPECT_EQ(store.clampRow(-3), 0);
    EXPECT_EQ(store.clampRow(5), 5);
    EXPECT_EQ(store.clampRow(10), 9);
    EXPECT_EQ(store.clampRow(INT_MAX), 9);

    CGridCellFormat base;
    base.textColor = Qt::blue;
    base.alignment = Qt::AlignCenter;
    base.editable = false;
    store.setDefaultFormat(base);
    store.setCellFormat(1, 1, yellowFormat());
    const CGridCellFormat cell = store.effectiveFormat(1, 1);
    EXPECT_EQ(cell.background, QColor(255, 255, 0));
    EXPECT_EQ(cell.textColor, QColor(Qt::blue));
    EXPECT_EQ(cell.alignment, Qt::AlignCenter);
    EXPECT_EQ(cell.editable, false);
    store.setCellFormat(1, 1, CGridCellFormat());
    EXPECT_EQ(store.formattedCellCount(), 0);
}
