#include "grid/CGridCtrl.h"
#include "grid/CGridModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown grid of `rows` × 3 cells holding "r/c".
class GridCtrlTest : public ::testing::Test
{
protected:
    void fill(int rows)
    {
        m_grid.setColumnCount(3);
        CGridRowBatch batch;
        for (int r = 0; r < rows; ++r)
            batch.addRow(QStringList{QString::number(r), QStringLiteral("%1/1").arg(r),
                                     QStringLiteral("%1/2").arg(r)});
        m_grid.appendRows(std::move(batch));
        m_grid.resize(400, 300);
        m_grid.show();
        QApplication::setActiveWindow(&m_grid);
        m_grid.setFocus();
        QApplication::processEvents();
    }

    QPoint cellCenter(int row, int column)
    {
        return m_grid.visualRect(m_grid.gridModel()->index(row, column)).center();
    }

    CGridCtrl m_grid;
};

} // namespace

TEST_F(GridCtrlTest, CurrentRowMovesClampedAndIsReportedOncePerChange)
{
    fill(5);
    QSignalSpy rows(&m_grid, &CGridCtrl::currentRowChanged);
    m_grid.setCurrentCell(1, 2);
    m_grid.setCurrentRow(99);
    EXPECT_EQ(m_grid.currentRow(), 4);
    EXPECT_EQ(m_grid.currentColumn(), 2);
    m_grid.setCurrentRow(-7);
    EXPECT_EQ(m_grid.currentRow(), 0);
    m_grid.setCurrentCell(0, 1); // same row: no report
    ASSERT_EQ(rows.count(), 3);
    EXPECT_EQ(rows[0][0].toInt(), 1);
    EXPECT_EQ(rows[1][0].toInt(), 4);
    EXPECT_EQ(rows[2][0].toInt(), 0);

    // Keyboard moves are reported too; a bulk append is one insertion.
    QTest::keyClick(&m_grid, Qt::Key_Down);
    EXPECT_EQ(m_grid.currentRow(), 1);
    EXPECT_EQ(rows.count(), 4);
    QSignalSpy inserted(m_grid.gridModel(), &QAbstractItemModel::rowsInserted);
    CGridRowBatch batch;
    for (int i = 0; i < 600; ++i)
        batch.addRow(QStringList{u"x"_qs});
    m_grid.appendRows(std::move(batch));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(m_grid.rowCount(), 605);

    // Clearing leaves no current cell and says so; moving in an empty grid does nothing.
    m_grid.clear();
    EXPECT_EQ(m_grid.currentRow(), -1);
    EXPECT_EQ(rows.last()[0].toInt(), -1);
    m_grid.setCurrentRow(3);
    EXPECT_EQ(m_grid.currentRow(), -1);
}

TEST_F(GridCtrlTest, HeadingPressNotifiesWithoutMovingTheCurrentCell)
{
    fill(4);
    m_grid.setCurrentCell(2, 0);
    QSignalSpy pressed(&m_grid, &CGridCtrl::headingPressed);
    QSignalSpy rows(&m_grid, &CGridCtrl::currentRowChanged);
    QHeaderView *header = m_grid.horizontalHeader();
    const QPoint heading(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                         header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::RightButton, {}, heading);
    QTest::mouseRelease(header->viewport(), Qt::RightButton, {}, heading);
    EXPECT_EQ(pressed.count(), 0);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, heading);
    ASSERT_EQ(pressed.count(), 1); // on the press, before any release
    EXPECT_EQ(pressed[0][0].toInt(), 1);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, heading);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(m_grid.currentRow(), 2);
    EXPECT_EQ(m_grid.currentColumn(), 0);
    EXPECT_EQ(rows.count(), 0);
}

TEST_F(GridCtrlTest, KeyPressesCanBeConsumedAndDoubleClicksReportTheCell)
{
    fill(4);
    m_grid.setCurrentCell(1, 0);
    QList<int> keys;
    QObject::connect(&m_grid, &CGridCtrl::keyPressed, &m_grid,
            [&](int key, Qt::KeyboardModifiers modifiers, bool *consumed) {
                if (key != Qt::Key_Control) // QTest presses the modifier key first
                    keys << key;
                *consumed = key == Qt::Key_Down && modifiers.testFlag(Qt::ControlModifier);
            });
    QTest::keyClick(&m_grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(m_grid.currentRow(), 1); // consumed: the grid did not move
    QTest::keyClick(&m_grid, Qt::Key_Down);
    EXPECT_EQ(m_grid.currentRow(), 2);
    EXPECT_EQ(keys, QList<int>({Qt::Key_Down, Qt::Key_Down}));

    // The key is told before the grid moves: rows appended on Down at the last row are moved into.
    QObject::connect(&m_grid, &CGridCtrl::keyPressed, &m_grid, [&](int key, Qt::KeyboardModifiers, bool *) {
        if (key == Qt::Key_Down && m_grid.currentRow() == m_grid.rowCount() - 1) {
            CGridRowBatch batch;
            batch.addRow(QStringList{u"fetched"_qs});
            m_grid.appendRows(std::move(batch));
        }
    });
    m_grid.setCurrentRow(3);
    QTest::keyClick(&m_grid, Qt::Key_Down);
    EXPECT_EQ(m_grid.rowCount(), 5);
    EXPECT_EQ(m_grid.currentRow(), 4);
    EXPECT_EQ(m_grid.text(4, 0), u"fetched");

    QSignalSpy clicks(&m_grid, &CGridCtrl::cellDoubleClicked);
    QTest::mouseDClick(m_grid.viewport(), Qt::LeftButton, {}, cellCenter(3, 2));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 3);
    EXPECT_EQ(clicks[0][1].toInt(), 2);
    EXPECT_FALSE(m_grid.isEditing()); // no editor unless asked for
}

TEST_F(GridCtrlTest, SortingMovesTheCurrentCellAndHeightsWithTheirRowsAndShowsOneArrow)
{
    fill(4);
    m_grid.setRowHeight(3, 41);
    m_grid.setCurrentCell(3, 1);
    QSignalSpy rows(&m_grid, &CGridCtrl::currentRowChanged);
    const auto byNumber = [](QStringView a, QStringView b) { return a.toInt() - b.toInt(); };
    m_grid.sortRows(0, byNumber, true);
    EXPECT_EQ(m_grid.text(0, 0), u"3");
    EXPECT_EQ(m_grid.currentRow(), 0); // the current cell stayed on its row
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(m_grid.rowHeight(0), 41);
    EXPECT_NE(m_grid.rowHeight(3), 41);

    m_grid.setSortArrow(0, CGridCtrl::SortArrow::Descending);
    m_grid.setSortArrow(2, CGridCtrl::SortArrow::Ascending);
    EXPECT_EQ(m_grid.sortArrow(0), CGridCtrl::SortArrow::None);
    EXPECT_EQ(m_grid.sortArrow(2), CGridCtrl::SortArrow::Ascending);
    m_grid.setSortArrow(1, CGridCtrl::SortArrow::None); // not the arrow's column: no change
    EXPECT_EQ(m_grid.sortArrow(2), CGridCtrl::SortArrow::Ascending);
    m_grid.setColumnCount(2); // the arrow's column goes, and the arrow with it
    EXPECT_EQ(m_grid.sortArrow(2), CGridCtrl::SortArrow::None);

    // Uniform mode gives every row one height, whatever a row asks for.
    m_grid.setUniformRowHeight(20);
    m_grid.setRowHeight(2, 33);
    EXPECT_EQ(m_grid.rowHeight(0), 33);
    EXPECT_EQ(m_grid.rowHeight(3), 33);
}

TEST_F(GridCtrlTest, MultipleSelectionSwitchesOnAndOff)
{
    fill(5);
    m_grid.setMultipleSelection(true);
    m_grid.setCurrentCell(0, 0);
    QTest::keyClick(&m_grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&m_grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(m_grid.selectionModel()->selectedIndexes().size(), 3);
    // A heading press selects no column here either.
    QHeaderView *header = m_grid.horizontalHeader();
    const QPoint heading(header->sectionViewportPosition(2) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
    EXPECT_EQ(m_grid.selectionModel()->selectedIndexes().size(), 3);
    EXPECT_EQ(m_grid.currentColumn(), 0);
    m_grid.setMultipleSelection(false);
    EXPECT_TRUE(m_grid.selectionModel()->selectedIndexes().isEmpty());
    QTest::keyClick(&m_grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_LE(m_grid.selectionModel()->selectedIndexes().size(), 1);
}
