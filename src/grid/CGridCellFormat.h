#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

// The look and behaviour of a cell. Every field may be unset; a cell's effective format is the grid's
// default cell with the cell's own set fields laid over it.
struct CGridCellFormat
{
    QColor textColor;                   // invalid = unset
    QColor background;                  // invalid = unset
    Qt::Alignment alignment;            // empty = unset
    std::optional<QFont> font;          // unset = the grid's default font
    std::optional<bool> editable;       // whether the in-place editor may open on the cell
    std::optional<QStringList> options; // set = a drop-down list cell offering these options
    std::optional<QString> inputMask;   // set = edited through this mask (9 a digit, A a letter)

    // True when no field is set.
    bool isEmpty() const;
    // This format with every field that `over` sets taken from `over`.
    CGridCellFormat overlaid(const CGridCellFormat &over) const;

    bool operator==(const CGridCellFormat &other) const;
};

size_t qHash(const CGridCellFormat &format, size_t seed = 0);
