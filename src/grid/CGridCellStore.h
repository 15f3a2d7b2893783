#pragma once

#include "grid/CGridCellFormat.h"
#include "grid/CGridPackedRow.h"
#include "grid/CGridRowBatch.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// The cells of a grid without any widget: texts row by row in packed rows, formats only for the cells
// that have one (interned, so equal formats are stored once), heading texts, row heading texts and row
// heights only where set. Out-of-range reads give empty values; out-of-range writes change nothing.
class CGridCellStore
{
public:
    // Compares two cell texts for an ascending order: negative, 0 or positive.
    using CompareFn = std::function<int(QStringView a, QStringView b)>;
    // Turns a cell text into a number to sort by.
    using KeyFn = std::function<double(QStringView text)>;

    // The largest counts taken; larger requests are cut to them rather than exhausting memory.
    static constexpr int MaxRows = 1 << 26;
    static constexpr int MaxColumns = 1 << 16;

    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return m_columns; }
    // Counts are kept between 0 and the maximum. Shrinking drops the texts and formats of the removed
    // rows or columns.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    // Appends the batch's rows (texts beyond the column count are dropped) and its cell formats; rows
    // beyond MaxRows are not taken. Returns the number of rows appended.
    int appendRows(CGridRowBatch &&batch);
    // Row count and column count 0, headings and per-row settings gone; the default format stays.
    void clear();
    // Every cell's text and format removed; counts, headings and row settings stay.
    void clearCells();

    bool contains(int row, int column) const;
    // A row in range: below 0 gives 0, beyond the last gives the last; -1 when there are no rows.
    int clampRow(int row) const;

    QStringView textView(int row, int column) const;
    QString text(int row, int column) const { return textView(row, column).toString(); }
    bool setText(int row, int column, QStringView text);

    // The cell's own format (fields unset where the default applies).
    const CGridCellFormat &cellFormat(int row, int column) const;
    bool setCellFormat(int row, int column, const CGridCellFormat &format);
    // The default format with the cell's own format laid over it.
    CGridCellFormat effectiveFormat(int row, int column) const;
    const CGridCellFormat &defaultFormat() const { return m_default; }
    void setDefaultFormat(const CGridCellFormat &format) { m_default = format; }
    // Cells that carry a format of their own.
    int formattedCellCount() const { return int(m_cellFormats.size()); }

    QString headingText(int column) const { return m_headings.value(column); }
    bool setHeadingText(int column, const QString &text);
    // A row heading set for the row, else a null string (the grid then shows the row's number).
    QString rowHeadingText(int row) const { return m_rowHeadings.value(row); }
    bool setRowHeadingText(int row, const QString &text);
    // Row numbers that travel: on, a sort carries each row's number along (kept as one number per
    // sorted row, rows appended later numbered by position); off, rows are numbered by position.
    void setRowNumbersTravel(bool on);
    bool rowNumbersTravel() const { return m_numbersTravel; }
    // The number the row's heading shows when it has no text: 1 for the first row fetched.
    int rowNumber(int row) const;
    // The row's own height in pixels, 0 when it has none.
    int rowHeight(int row) const { return m_rowHeights.value(row); }
    bool setRowHeight(int row, int pixels);
    const QHash<int, int> &rowHeights() const { return m_rowHeights; }

    // The order of the rows sorted by one column: result[i] is the row that goes to position i. The
    // sort is stable and never fails, whatever the comparison answers; descending swaps the arguments.
    std::vector<int> sortOrder(int column, const CompareFn &compare, bool descending) const;
    // The same order for a comparison that compares numbers made from the texts: each text is turned
    // into its key once instead of once per comparison. Equal keys keep their order.
    std::vector<int> sortOrderByKey(int column, const KeyFn &key, bool descending) const;
    // Moves the rows into `order` (as sortOrder gives it) with their formats, row headings and heights.
    // An order that is not a permutation of every row changes nothing and returns false.
    bool permuteRows(const std::vector<int> &order);

    // Bytes held by the texts, the row table and the format tables (an estimate of the heap use).
    std::size_t memoryUsage() const;

private:
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    quint32 intern(const CGridCellFormat &format);
    void dropRowsFrom(int row);

    std::vector<CGridPackedRow> m_rows;        // texts, one entry per row
    int m_columns = 0;                         //
    CGridCellFormat m_default;                 // the default cell
    std::vector<CGridCellFormat> m_formats;    // interned formats; index 0 is the empty one
    QHash<CGridCellFormat, quint32> m_formatIds; // format -> index into m_formats
    QHash<quint64, quint32> m_cellFormats;     // (row, column) -> index into m_formats
    QHash<int, QString> m_headings;            // column -> heading text
    QHash<int, QString> m_rowHeadings;         // row -> heading text where set
    QHash<int, int> m_rowHeights;              // row -> pixels where set
    bool m_numbersTravel = false;              // sorts carry the row numbers along
    std::vector<int> m_rowNumbers; // row -> its number, for the rows present at the last sort
};
