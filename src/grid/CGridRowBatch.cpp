#include "grid/CGridRowBatch.h"

void CGridRowBatch::addRow(std::span<const QString> texts)
{
    m_scratch.assign(texts.begin(), texts.end());
    m_rows.emplace_back(std::span<const QStringView>(m_scratch));
}

void CGridRowBatch::addRow(const QStringList &texts)
{
    addRow(std::span<const QString>(texts.constData(), std::size_t(texts.size())));
}

void CGridRowBatch::addRow(std::span<const QStringView> texts)
{
    m_rows.emplace_back(texts);
}

void CGridRowBatch::setCellFormat(int column, const CGridCellFormat &format)
{
    if (m_rows.empty() || column < 0)
        return;
    m_formats.push_back({int(m_rows.size()) - 1, column, format});
}
