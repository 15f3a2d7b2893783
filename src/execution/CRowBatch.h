#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The rows of one fetch as display texts, row by row, plus what went wrong while fetching them.
// A NULL value, and a value that could not be converted, is an empty text. All texts live in one
// buffer rather than one string per cell.
class CRowBatch
{
public:
    CRowBatch() = default;
    explicit CRowBatch(int columns) : m_columns(columns) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_columns > 0 ? int(m_ends.size()) / m_columns : 0; }
    bool isEmpty() const { return m_ends.empty(); }
    // The text of a cell; valid while the batch lives and is not changed.
    QStringView text(int row, int column) const;

    // Filling: the cells of a row go in column order.
    void reserve(int rows, int charactersPerCell = 8);
    void appendCell(QStringView text);
    void appendCell(QLatin1StringView text);
    // Removes the cells of a row left unfinished by a failure.
    void dropPartialRow();

    // The messages for the user, in order: a value that failed to convert (once per fetch), the
    // error that stopped the fetch.
    QStringList messages;
    bool failed = false; // an error stopped the fetch; the rows before it are here

private:
    int m_columns = 0;
    QString m_text;                // every cell's text, one after another
    std::vector<qsizetype> m_ends; // where each cell's text ends in m_text, row by row
};
