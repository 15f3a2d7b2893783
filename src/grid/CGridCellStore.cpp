#include "grid/CGridCellStore.h"

#include <algorithm>

namespace {

const CGridCellFormat &emptyFormat()
{
    static const CGridCellFormat format;
    return format;
}

template <typename T> void dropKeysFrom(QHash<int, T> &hash, int first)
{
    for (auto it = hash.begin(); it != hash.end();)
        it = it.key() >= first ? hash.erase(it) : std::next(it);
}

template <typename T> QHash<int, T> remapped(const QHash<int, T> &hash, const std::vector<int> &newPos)
{
    QHash<int, T> result;
    result.reserve(hash.size());
    for (auto it = hash.cbegin(); it != hash.cend(); ++it)
        result.insert(newPos[std::size_t(it.key())], it.value());
    return result;
}

} // namespace

void CGridCellStore::setRowCount(int rows)
{
    rows = std::clamp(rows, 0, MaxRows);
    if (rows < rowCount())
        dropRowsFrom(rows);
    m_rows.resize(std::size_t(rows));
}

void CGridCellStore::dropRowsFrom(int row)
{
    m_rows.erase(m_rows.begin() + row, m_rows.end());
    for (auto it = m_cellFormats.begin(); it != m_cellFormats.end();)
        it = int(it.key() >> 32) >= row ? m_cellFormats.erase(it) : std::next(it);
    dropKeysFrom(m_rowHeadings, row);
    dropKeysFrom(m_rowHeights, row);
    if (m_rowNumbers.size() > std::size_t(row))
        m_rowNumbers.resize(std::size_t(row));
}

void CGridCellStore::setColumnCount(int columns)
{
    columns = std::clamp(columns, 0, MaxColumns);
    if (columns < m_columns) {
        for (CGridPackedRow &row : m_rows)
            row.truncate(columns);
        for (auto it = m_cellFormats.begin(); it != m_cellFormats.end();)
            it = int(it.key() & 0xFFFFFFFFu) >= columns ? m_cellFormats.erase(it) : std::next(it);
        dropKeysFrom(m_headings, columns);
    }
    m_columns = columns;
}

int CGridCellStore::appendRows(CGridRowBatch &&batch)
{
    const int first = rowCount();
    const int taken = std::min(batch.rowCount(), MaxRows - first);
    const std::size_t needed = m_rows.size() + std::size_t(taken);
    if (needed > m_rows.capacity())
        m_rows.reserve(std::max(needed, m_rows.capacity() * 2)); // geometric: batches keep coming
    for (int i = 0; i < taken; ++i) {
        CGridPackedRow &row = batch.m_rows[std::size_t(i)];
        row.truncate(m_columns);
        m_rows.push_back(std::move(row));
    }
    for (const CGridRowBatch::CellFormat &cell : batch.m_formats)
        setCellFormat(first + cell.row, cell.column, cell.format);
    batch = CGridRowBatch();
    return taken;
}

void CGridCellStore::clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_columns = 0;
    m_headings.clear();
    clearCells();
}

void CGridCellStore::clearCells()
{
    for (CGridPackedRow &row : m_rows)
        row = CGridPackedRow();
    m_cellFormats.clear();
    m_formats.clear();
    m_formatIds.clear();
    m_rowHeadings.clear();
    m_rowHeights.clear();
    m_rowNumbers = {};
}

bool CGridCellStore::contains(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < m_columns;
}

int CGridCellStore::clampRow(int row) const
{
    return m_rows.empty() ? -1 : std::clamp(row, 0, rowCount() - 1);
}

QStringView CGridCellStore::textView(int row, int column) const
{
    if (!contains(row, column))
        return {};
    return m_rows[std::size_t(row)].text(column);
}

bool CGridCellStore::setText(int row, int column, QStringView text)
{
    if (!contains(row, column))
        return false;
    m_rows[std::size_t(row)].setText(column, text);
    return true;
}

const CGridCellFormat &CGridCellStore::cellFormat(int row, int column) const
{
    const auto it = m_cellFormats.constFind(key(row, column));
    return it == m_cellFormats.cend() ? emptyFormat() : m_formats[it.value()];
}

quint32 CGridCellStore::intern(const CGridCellFormat &format)
{
    if (m_formats.empty())
        m_formats.emplace_back();
    const auto it = m_formatIds.constFind(format);
    if (it != m_formatIds.cend())
        return it.value();
    const auto id = quint32(m_formats.size());
    m_formats.push_back(format);
    m_formatIds.insert(format, id);
    return id;
}

bool CGridCellStore::setCellFormat(int row, int column, const CGridCellFormat &format)
{
    if (!contains(row, column))
        return false;
    if (format.isEmpty())
        m_cellFormats.remove(key(row, column));
    else
        m_cellFormats.insert(key(row, column), intern(format));
    return true;
}

CGridCellFormat CGridCellStore::effectiveFormat(int row, int column) const
{
    return m_default.overlaid(cellFormat(row, column));
}

bool CGridCellStore::setHeadingText(int column, const QString &text)
{
    if (column < 0 || column >= m_columns)
        return false;
    if (text.isEmpty())
        m_headings.remove(column);
    else
        m_headings.insert(column, text);
    return true;
}

bool CGridCellStore::setRowHeadingText(int row, const QString &text)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (text.isNull())
        m_rowHeadings.remove(row);
    else
        m_rowHeadings.insert(row, text);
    return true;
}

void CGridCellStore::setRowNumbersTravel(bool on)
{
    m_numbersTravel = on;
    if (!on)
        m_rowNumbers = {};
}

int CGridCellStore::rowNumber(int row) const
{
    return row >= 0 && std::size_t(row) < m_rowNumbers.size() ? m_rowNumbers[std::size_t(row)]
                                                              : row + 1;
}

bool CGridCellStore::setRowHeight(int row, int pixels)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (pixels <= 0)
        m_rowHeights.remove(row);
    else
        m_rowHeights.insert(row, pixels);
    return true;
}

namespace {

// A stable sort of the row indexes in `order` that asks only before(a, b) ("a strictly before b"), so
// pairs it answers false both ways keep their order. Bounded insertion sort of short runs, then
// bottom-up merges: every index stays within its range even when `before` is inconsistent.
template <typename Before> void stableSort(std::vector<int> &order, const Before &before)
{
    const std::size_t n = order.size();
    constexpr std::size_t Run = 24;
    for (std::size_t lo = 0; lo < n; lo += Run) {
        const std::size_t hi = std::min(lo + Run, n);
        for (std::size_t i = lo + 1; i < hi; ++i) {
            const int item = order[i];
            std::size_t j = i;
            while (j > lo && before(item, order[j - 1])) {
                order[j] = order[j - 1];
                --j;
            }
            order[j] = item;
        }
    }
    std::vector<int> buffer(n);
    for (std::size_t width = Run; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = before(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid)
                buffer[k++] = order[i++];
            while (j < hi)
                buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
}

std::vector<int> identityOrder(std::size_t n)
{
    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = int(i);
    return order;
}

} // namespace

std::vector<int> CGridCellStore::sortOrder(int column, const CompareFn &compare,
                                           bool descending) const
{
    std::vector<int> order = identityOrder(m_rows.size());
    if (!compare || column < 0 || column >= m_columns)
        return order;
    stableSort(order, [&](int a, int b) {
        const QStringView ta = m_rows[std::size_t(a)].text(column);
        const QStringView tb = m_rows[std::size_t(b)].text(column);
        return (descending ? compare(tb, ta) : compare(ta, tb)) < 0;
    });
    return order;
}

std::vector<int> CGridCellStore::sortOrderByKey(int column, const KeyFn &key,
                                                bool descending) const
{
    std::vector<int> order = identityOrder(m_rows.size());
    if (!key || column < 0 || column >= m_columns)
        return order;
    std::vector<double> keys(m_rows.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = key(m_rows[i].text(column));
    stableSort(order, [&](int a, int b) {
        return descending ? keys[std::size_t(b)] < keys[std::size_t(a)]
                          : keys[std::size_t(a)] < keys[std::size_t(b)];
    });
    return order;
}

bool CGridCellStore::permuteRows(const std::vector<int> &order)
{
    const std::size_t n = m_rows.size();
    if (order.size() != n)
        return false;
    std::vector<int> newPos(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        const int old = order[i];
        if (old < 0 || std::size_t(old) >= n || newPos[std::size_t(old)] != -1)
            return false;
        newPos[std::size_t(old)] = int(i);
    }
    std::vector<CGridPackedRow> rows(n);
    for (std::size_t i = 0; i < n; ++i)
        rows[i] = std::move(m_rows[std::size_t(order[i])]);
    m_rows.swap(rows);
    if (m_numbersTravel) {
        std::vector<int> numbers(n);
        for (std::size_t i = 0; i < n; ++i)
            numbers[i] = rowNumber(order[i]);
        m_rowNumbers.swap(numbers);
    }
    QHash<quint64, quint32> formats;
    formats.reserve(m_cellFormats.size());
    for (auto it = m_cellFormats.cbegin(); it != m_cellFormats.cend(); ++it)
        formats.insert(key(newPos[std::size_t(it.key() >> 32)], int(it.key() & 0xFFFFFFFFu)),
                       it.value());
    m_cellFormats.swap(formats);
    m_rowHeadings = remapped(m_rowHeadings, newPos);
    m_rowHeights = remapped(m_rowHeights, newPos);
    return true;
}

std::size_t CGridCellStore::memoryUsage() const
{
    std::size_t bytes = m_rows.capacity() * sizeof(CGridPackedRow);
    for (const CGridPackedRow &row : m_rows)
        bytes += row.byteSize();
    bytes += std::size_t(m_cellFormats.size()) * (sizeof(quint64) + sizeof(quint32));
    bytes += m_formats.size() * sizeof(CGridCellFormat);
    return bytes;
}
