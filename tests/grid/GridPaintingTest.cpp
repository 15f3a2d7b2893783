#include "grid/CGridCtrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// A small result-like grid: headings, numbered rows, yellow empty cells, a current row and a sorted
// column, as the program shows query results.
void fillSample(CGridCtrl &grid)
{
    grid.setColumnCount(4);
    const QStringList headings{"EMPNO", "ENAME", "HIREDATE", "SAL"};
    for (int c = 0; c < 4; ++c)
        grid.setHeadingText(c, headings[c]);
    const QList<QStringList> rows{{"7369", "SMITH", "17.12.1980", "800"},
                                  {"7499", "ALLEN", "20.02.1981", ""},
                                  {"7521", "WARD", "", "1250"},
                                  {"7566", "JONES", "02.04.1981", "2975"},
                                  {"7654", "MARTIN", "28.09.1981", ""},
                                  {"7698", "BLAKE", "01.05.1981", "2850"}};
    CGridCellFormat yellow;
    yellow.background = QColor(255, 255, 0);
    CGridRowBatch batch;
    for (const QStringList &row : rows) {
        batch.addRow(row);
        for (int c = 0; c < row.size(); ++c)
            if (row[c].isEmpty())
                batch.setCellFormat(c, yellow);
    }
    grid.appendRows(std::move(batch));
    CGridCellFormat cells;
    cells.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    grid.setDefaultCellFormat(cells);
    grid.setUniformRowHeight(20);
    for (int c = 0; c < 4; ++c)
        grid.setColumnWidth(c, 90);
    grid.setSortArrow(0, CGridCtrl::SortArrow::Ascending);
    grid.setCurrentCell(2, 1);
}

QColor pixelAt(const QImage &image, const QPoint &point)
{
    return image.pixelColor(point);
}

} // namespace

TEST(GridPainting, SampleGridShowsYellowCellsAndTheCurrentRow)
{
    CGridCtrl grid;
    grid.resize(460, 200);
    fillSample(grid);
    grid.show();
    QApplication::processEvents();
    const QImage image = grid.grab().toImage();
    const QByteArray path = qgetenv("TARVOLO_GRID_SCREENSHOT");
    if (!path.isEmpty())
        image.save(QString::fromLocal8Bit(path));

    const QPoint origin(grid.verticalHeader()->width() + grid.frameWidth(),
                        grid.horizontalHeader()->height() + grid.frameWidth());
    const auto cellPoint = [&](int row, int column) {
        return origin + QPoint(grid.columnViewportPosition(column) + 80,
                               grid.rowViewportPosition(row) + 10);
    };
    // An empty cell in a plain row is painted yellow.
    EXPECT_EQ(pixelAt(image, cellPoint(1, 3)), QColor(255, 255, 0));
    // A plain cell stays white, a cell of the current row is tinted.
    const QColor plain = pixelAt(image, cellPoint(0, 0));
    const QColor tinted = pixelAt(image, cellPoint(2, 0));
    EXPECT_EQ(plain, grid.palette().base().color());
    EXPECT_NE(tinted, plain);
    // The current row's yellow cell is tinted too but stays yellowish.
    const QColor yellowTinted = pixelAt(image, cellPoint(2, 2));
    EXPECT_NE(yellowTinted, QColor(255, 255, 0));
    EXPECT_GT(yellowTinted.red(), yellowTinted.blue());
}
