#include "grid/CGridPackedRow.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

std::size_t offsetsSize(std::uint32_t columns, bool wide)
{
    return std::size_t(columns) * (wide ? 4 : 2);
}

} // namespace

CGridPackedRow::CGridPackedRow(std::span<const QStringView> texts)
{
    std::size_t columns = texts.size();
    while (columns > 0 && texts[columns - 1].isEmpty())
        --columns;
    if (columns == 0)
        return;
    std::size_t total = 0;
    for (std::size_t i = 0; i < columns; ++i)
        total += std::size_t(texts[i].size());
    const bool wide = total > 0xFFFF;
    const std::size_t head = 4 + offsetsSize(std::uint32_t(columns), wide);
    m_block = static_cast<std::byte *>(::operator new(head + total * 2));
    const std::uint32_t word = std::uint32_t(columns) | (wide ? WideFlag : 0u);
    std::memcpy(m_block, &word, 4);
    auto *text = reinterpret_cast<char16_t *>(m_block + head);
    std::size_t end = 0;
    for (std::size_t i = 0; i < columns; ++i) {
        const QStringView t = texts[i];
        if (!t.isEmpty())
            std::memcpy(text + end, t.utf16(), std::size_t(t.size()) * 2);
        end += std::size_t(t.size());
        if (wide) {
            const auto e = std::uint32_t(end);
            std::memcpy(m_block + 4 + i * 4, &e, 4);
        } else {
            const auto e = std::uint16_t(end);
            std::memcpy(m_block + 4 + i * 2, &e, 2);
        }
    }
}

CGridPackedRow::~CGridPackedRow()
{
    ::operator delete(m_block);
}

CGridPackedRow::CGridPackedRow(CGridPackedRow &&other) noexcept
    : m_block(std::exchange(other.m_block, nullptr))
{
}

CGridPackedRow &CGridPackedRow::operator=(CGridPackedRow &&other) noexcept
{
    if (this != &other) {
        ::operator delete(m_block);
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

std::uint32_t CGridPackedRow::header() const
{
    std::uint32_t word = 0;
    if (m_block)
        std::memcpy(&word, m_block, 4);
    return word;
}

int CGridPackedRow::storedColumns() const
{
    return int(header() & ~WideFlag);
}

std::uint32_t CGridPackedRow::endOf(int column) const
{
    if (header() & WideFlag) {
        std::uint32_t e;
        std::memcpy(&e, m_block + 4 + std::size_t(column) * 4, 4);
        return e;
    }
    std::uint16_t e;
    std::memcpy(&e, m_block + 4 + std::size_t(column) * 2, 2);
    return e;
}

const char16_t *CGridPackedRow::data() const
{
    const std::uint32_t word = header();
    return reinterpret_cast<const char16_t *>(m_block + 4 +
                                              offsetsSize(word & ~WideFlag, word & WideFlag));
}

QStringView CGridPackedRow::text(int column) const
{
    if (column < 0 || column >= storedColumns())
        return {};
    const std::uint32_t begin = column == 0 ? 0 : endOf(column - 1);
    const std::uint32_t end = endOf(column);
    return QStringView(data() + begin, qsizetype(end - begin));
}

void CGridPackedRow::setText(int column, QStringView text)
{
    if (column < 0 || (column >= storedColumns() && text.isEmpty()))
        return;
    const int columns = std::max(storedColumns(), column + 1);
    QVarLengthArray<QStringView, 16> texts(columns);
    for (int i = 0; i < columns; ++i)
        texts[i] = i == column ? text : this->text(i);
    *this = CGridPackedRow(std::span<const QStringView>(texts.data(), std::size_t(columns)));
}

void CGridPackedRow::truncate(int columns)
{
    columns = std::max(columns, 0);
    if (columns >= storedColumns())
        return;
    QVarLengthArray<QStringView, 16> texts(columns);
    for (int i = 0; i < columns; ++i)
        texts[i] = text(i);
    *this = CGridPackedRow(std::span<const QStringView>(texts.data(), std::size_t(columns)));
}

std::size_t CGridPackedRow::byteSize() const
{
    if (!m_block)
        return 0;
    const std::uint32_t word = header();
    const std::uint32_t columns = word & ~WideFlag;
    return 4 + offsetsSize(columns, word & WideFlag) + std::size_t(endOf(int(columns) - 1)) * 2;
}
