#include "execution/CRowBatch.h"

QStringView CRowBatch::text(int row, int column) const
{
    const std::size_t k = std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    const qsizetype begin = k == 0 ? 0 : m_ends[k - 1];
    return QStringView(m_text).sliced(begin, m_ends[k] - begin);
}

void CRowBatch::reserve(int rows, int charactersPerCell)
{
    const std::size_t cells = std::size_t(std::max(rows, 0)) * std::size_t(m_columns);
    m_ends.reserve(cells);
    m_text.reserve(qsizetype(cells) * charactersPerCell);
}

void CRowBatch::appendCell(QStringView text)
{
    m_text.append(text);
    m_ends.push_back(m_text.size());
}

void CRowBatch::appendCell(QLatin1StringView text)
{
    m_text.append(text);
    m_ends.push_back(m_text.size());
}

void CRowBatch::dropPartialRow()
{
    const std::size_t whole = std::size_t(rowCount()) * std::size_t(m_columns);
    if (whole == m_ends.size())
        return;
    m_ends.resize(whole);
    m_text.truncate(whole == 0 ? 0 : m_ends.back());
}
