// The spreadsheet export: typed cells, headings, sheets that continue, names that never collide and
// failures that leave no file. The workbook is read back from its XML parts.
#include "execution/CSpreadsheetExport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

class CTableStub : public IExportTable
{
public:
    std::vector<QString> headings;
    std::vector<Kind> kinds;
    std::vector<std::vector<Cell>> rows;
    bool withHeadings = true;

    int columnCount() const override { return int(kinds.size()); }
    qint64 rowCount() const override { return qint64(rows.size()); }
    bool hasHeadings() const override { return withHeadings; }
    QString heading(int column) const override { return headings.at(size_t(column)); }
    Kind kind(int column) const override { return kinds.at(size_t(column)); }
    Cell cell(qint64 row, int column) const override
    {
        return rows.at(size_t(row)).at(size_t(column));
    }
};

IExportTable::Cell text(const QString &t) { return {false, t, CDateTime::invalid()}; }
IExportTable::Cell null() { return {true, {}, CDateTime::invalid()}; }
IExportTable::Cell date(const CDateTime &d, const QString &shown) { return {false, shown, d}; }

// One part of the workbook (a zip file) as text.
QString part(const QString &workbook, const QString &name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, name});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return {};
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// The XML of cell ref (e.g. "B2") in sheet xml, or "" when it has none.
QString cellXml(const QString &sheet, const QString &ref)
{
    const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*(/>|>.*?</c>)").arg(ref));
    return re.match(sheet).captured(0);
}

class SpreadsheetExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            GTEST_SKIP() << "unzip is needed to read the workbook back";
    }
    QTemporaryDir m_dir;
};

TEST_F(SpreadsheetExport, CellsAreTypedAndTheHeadingRowIsBoldFrozenAndFiltered)
{
    CTableStub t;
    t.headings = {"EMPNO", "ENAME", "HIREDATE", "COMM"};
    t.kinds = {IExportTable::Kind::Number, IExportTable::Kind::Text, IExportTable::Kind::Date,
               IExportTable::Kind::Number};
    t.rows = {{text("7369"), text("SMITH"), date(CDateTime(1980, 12, 17), "17.12.1980"), null()},
              {text("-1.25E3"), text("O'BRIEN & <Co>"),
               date(CDateTime(2001, 2, 3, 4, 5, 6), "03.02.2001 04:05:06"), text("~")}};
    const QString path = m_dir.filePath("out/export.xlsx");
    CSpreadsheetExport exporter("%d.%m.%Y", "%H:%M:%S");
    ASSERT_TRUE(exporter.write(t, path)) << exporter.failure().toStdString();
    EXPECT_TRUE(QDir(m_dir.filePath("out")).entryList(QDir::Files | QDir::Hidden) ==
                QStringList{"export.xlsx"});

    const QString sheet = part(path, "xl/worksheets/sheet1.xml");
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_TRUE(sheet.contains("<pane ySplit=\"1\"")) << "the heading row is frozen";
    EXPECT_TRUE(sheet.contains("<autoFilter ref=\"A1:D3\"/>"));
    EXPECT_TRUE(cellXml(sheet, "A1").contains("EMPNO"));
    EXPECT_TRUE(cellXml(sheet, "A2").contains("<v>7369</v>"));
    EXPECT_TRUE(cellXml(sheet, "A3").contains("<v>-1250</v>"));
    EXPECT_TRUE(cellXml(sheet, "B3").contains("O'BRIEN &amp; &lt;Co&gt;"));
    EXPECT_TRUE(cellXml(sheet, "C2").contains("<v>29572</v>")) << "17 Dec 1980 as a date serial";
    EXPECT_TRUE(cellXml(sheet, "D2").isEmpty()) << "NULL is an empty cell";
    EXPECT_TRUE(cellXml(sheet, "D3").contains("~")) << "a number column's non-number stays text";
    // Headings are bold; dates carry the grid's display format, with the time only where it has
    // one.
    const QString styles = part(path, "xl/styles.xml");
    EXPECT_TRUE(styles.contains("<b/>"));
    EXPECT_TRUE(styles.contains("formatCode=\"dd.mm.yyyy\""));
    EXPECT_TRUE(styles.contains("formatCode=\"dd.mm.yyyy hh:mm:ss\""));
    EXPECT_NE(cellXml(sheet, "C2").section("s=\"", 1, 1).left(1),
              cellXml(sheet, "C3").section("s=\"", 1, 1).left(1));
}

TEST_F(SpreadsheetExport, RowsBeyondASheetContinueOnTheNextWithTheirHeadings)
{
    CTableStub t;
    t.headings = {"N"};
    t.kinds = {IExportTable::Kind::Number};
    for (int i = 1; i <= 5; ++i)
        t.rows.push_back({text(QString::number(i))});
    const QString path = m_dir.filePath("sheets.xlsx");
    CSpreadsheetExport exporter("%d.%m.%Y", "%H:%M:%S");
    exporter.setSheetRows(2);
    ASSERT_TRUE(exporter.write(t, path)) << exporter.failure().toStdString();
    const QString third = part(path, "xl/worksheets/sheet3.xml");
    EXPECT_TRUE(cellXml(third, "A1").contains(">N<"));
    EXPECT_TRUE(cellXml(third, "A2").contains("<v>5</v>"));
    EXPECT_TRUE(part(path, "xl/worksheets/sheet4.xml").isEmpty());
}

TEST_F(SpreadsheetExport, OutputLinesWithoutHeadingsStartInTheSecondRow)
{
    CTableStub t;
    t.withHeadings = false;
    t.kinds = {IExportTable::Kind::Text};
    t.rows = {{text("line 1")}, {text("")}, {text("line 3")}};
    const QString path = m_dir.filePath("lines.xlsx");
    CSpreadsheetExport exporter("%d.%m.%Y", "%H:%M:%S");
    ASSERT_TRUE(exporter.write(t, path));
    const QString sheet = part(path, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(cellXml(sheet, "A1").isEmpty());
    EXPECT_TRUE(cellXml(sheet, "A2").contains("line 1"));
    EXPECT_TRUE(cellXml(sheet, "A4").contains("line 3"));
    EXPECT_FALSE(sheet.contains("autoFilter"));
}

TEST_F(SpreadsheetExport, UniqueNamesAndFailuresThatLeaveNothing)
{
    const CDateTime when(2026, 12, 8, 9, 5, 0);
    const QString first = CSpreadsheetExport::uniquePath(m_dir.path(), "Emp: a/b?", when);
    EXPECT_EQ(QFileInfo(first).fileName(), "Emp_ a_b_ 2026-12-08 090500.xlsx");
    QFile(first).open(QIODevice::WriteOnly);
    EXPECT_EQ(QFileInfo(CSpreadsheetExport::uniquePath(m_dir.path(), "Emp: a/b?", when)).fileName(),
              "Emp_ a_b_ 2026-12-08 090500 (2).xlsx");
    EXPECT_EQ(QFileInfo(CSpreadsheetExport::uniquePath(m_dir.path(), "..", when)).fileName(),
              "Export 2026-12-08 090500.xlsx");

    // A folder that cannot be made (its parent is a file) fails with the path and leaves nothing.
    CTableStub t;
    t.headings = {"A"};
    t.kinds = {IExportTable::Kind::Text};
    t.rows = {{text("x")}};
    CSpreadsheetExport exporter("%d.%m.%Y", "%H:%M:%S");
    EXPECT_FALSE(exporter.write(t, first + "/sub/out.xlsx"));
    EXPECT_TRUE(exporter.failure().contains(first)) << exporter.failure().toStdString();
}

TEST(SpreadsheetExportFormat, DisplayPatternsBecomeExcelFormats)
{
    EXPECT_EQ(CSpreadsheetExport::excelFormat("%d-%b-%y"), "dd-mmm-yy");
    EXPECT_EQ(CSpreadsheetExport::excelFormat("%m/%d/%Y %I:%M %p"), "mm/dd/yyyy hh:mm AM/PM");
    EXPECT_EQ(CSpreadsheetExport::excelFormat("%Y/%m/%d %H:%M"), "yyyy/mm/dd hh:mm");
}

} // namespace
