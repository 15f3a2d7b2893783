#pragma once

#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <span>

// The texts of one grid row packed into a single allocation: a header word, one end offset per column
// and the UTF-16 text of every column back to back. Trailing empty columns are not stored and a row
// without text holds no allocation at all, so a row costs little more than the text it holds.
class CGridPackedRow
{
public:
    CGridPackedRow() = default;
    // Packs the given texts; column i holds texts[i].
    explicit CGridPackedRow(std::span<const QStringView> texts);
    ~CGridPackedRow();

    CGridPackedRow(CGridPackedRow &&other) noexcept;
    CGridPackedRow &operator=(CGridPackedRow &&other) noexcept;
    CGridPackedRow(const CGridPackedRow &) = delete;
    CGridPackedRow &operator=(const CGridPackedRow &) = delete;

    // Columns stored (the last non-empty column + 1); columns beyond read as empty.
    int storedColumns() const;
    // The text of a column, empty for any column not stored (also negative ones). Valid until the row
    // is changed or destroyed.
    QStringView text(int column) const;

    // Replaces one column's text; the row is repacked. A negative column changes nothing.
    void setText(int column, QStringView text);
    // Drops every column from `columns` on.
    void truncate(int columns);
    // Bytes of the allocation, 0 for a row without text.
    std::size_t byteSize() const;

private:
    static constexpr std::uint32_t WideFlag = 0x80000000u; // end offsets are 32-bit, not 16-bit

    std::uint32_t header() const;
    std::uint32_t endOf(int column) const;
    const char16_t *data() const;

    std::byte *m_block = nullptr; // [header][end offsets][UTF-16 texts], or null when all empty
};
