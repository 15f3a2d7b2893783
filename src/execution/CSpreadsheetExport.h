#pragma once

#include "core/CDateTime.h"

#include <QString>

// What a result grid hands to the spreadsheet export: its columns with their kinds and its rows.
class IExportTable
{
public:
    enum class Kind { Text, Number, Date };

    // One cell: NULL, or its text as the grid shows it; a date cell also carries its value.
    struct Cell
    {
        bool null = false;
        QString text;
        CDateTime date = CDateTime::invalid();
    };

    virtual ~IExportTable();

    virtual int columnCount() const = 0;
    virtual qint64 rowCount() const = 0;
    // False for a view without column names (DBMS_OUTPUT lines): no heading row is written and the
    // rows start in the second row, as they do below a heading.
    virtual bool hasHeadings() const = 0;
    virtual QString heading(int column) const = 0;
    virtual Kind kind(int column) const = 0;
    virtual Cell cell(qint64 row, int column) const = 0;
};

// Writes a grid's rows to a new .xlsx workbook with libxlsxwriter in its constant-memory mode.
// Cells are typed: number columns as numbers (text that reads as no number stays text), date
// columns as dates in the grid's display format, NULL as an empty cell, everything else as text.
// The heading row is bold and frozen with an autofilter; column widths fit the headings. Rows
// beyond one sheet continue on further sheets, each with its own heading row. The workbook is
// written under a temporary name beside the target and renamed into place only when every write and
// the close worked, so a failed export leaves no file behind.
class CSpreadsheetExport
{
public:
    // Rows one sheet takes below its heading row (Excel's limit is 1,048,576 rows in all).
    static constexpr qint64 kMaxSheetRows = 1048576;
    // Excel's longest cell text; longer texts are cut there.
    static constexpr int kMaxCellText = 32767;

    // dateFormat and timeFormat are the grid's strftime-style display patterns (CDateType); a date
    // whose time is midnight shows its date alone, as in the grid.
    CSpreadsheetExport(const QString &dateFormat, const QString &timeFormat);

    // Sheet capacity below the heading; tests lower it to see rows continue on the next sheet.
    void setSheetRows(qint64 rows) { m_sheetRows = rows; }

    // The folder exports go to: "Tarvolo Exports" in the user's Documents folder.
    static QString defaultFolder();
    // A path in folder that names no existing file: the element's name (characters a file name
    // cannot hold replaced) and the time, with " (2)", " (3)", … added while the name is taken.
    static QString uniquePath(const QString &folder, const QString &elementName,
                              const CDateTime &when);

    // Writes table to path (its folder is created when missing). False, with failure() saying what
    // failed and where, when anything could not be written; no file is left at path then.
    bool write(const IExportTable &table, const QString &path);
    const QString &failure() const { return m_failure; }

    // An Excel number format for a strftime-style pattern of %d %m %y %Y %b %B %H %I %M %S %p.
    static QString excelFormat(const QString &strftimePattern);

private:
    QString m_dateFormat;
    QString m_timeFormat;
    qint64 m_sheetRows = kMaxSheetRows - 1;
    QString m_failure;
};
