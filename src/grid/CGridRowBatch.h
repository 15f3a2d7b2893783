#pragma once

#include "grid/CGridCellFormat.h"
#include "grid/CGridPackedRow.h"

#include <QStringList>

#include <vector>

// Rows collected for one bulk append to a grid: their texts already packed, plus the formats of the few
// cells that differ from the default cell. Appending a batch costs one notification, not one per row.
class CGridRowBatch
{
public:
    struct CellFormat
    {
        int row;    // row within the batch
        int column; //
        CGridCellFormat format;
    };

    // Adds a row; column i holds texts[i].
    void addRow(std::span<const QString> texts);
    void addRow(const QStringList &texts);
    void addRow(std::span<const QStringView> texts);
    // Gives a cell of the row added last its own format; ignored before the first row.
    void setCellFormat(int column, const CGridCellFormat &format);

    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void reserve(int rows) { m_rows.reserve(std::size_t(std::max(rows, 0))); }

private:
    friend class CGridCellStore;

    std::vector<CGridPackedRow> m_rows;
    std::vector<CellFormat> m_formats;
    std::vector<QStringView> m_scratch; // views of the row being packed
};
