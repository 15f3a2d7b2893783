#include "grid/CGridCellFormat.h"

#include <QHashFunctions>

bool CGridCellFormat::isEmpty() const
{
    return !textColor.isValid() && !background.isValid() && !alignment && !font && !editable &&
           !options && !inputMask;
}

CGridCellFormat CGridCellFormat::overlaid(const CGridCellFormat &over) const
{
    CGridCellFormat result = *this;
    if (over.textColor.isValid())
        result.textColor = over.textColor;
    if (over.background.isValid())
        result.background = over.background;
    if (over.alignment)
        result.alignment = over.alignment;
    if (over.font)
        result.font = over.font;
    if (over.editable)
        result.editable = over.editable;
    if (over.options)
        result.options = over.options;
    if (over.inputMask)
        result.inputMask = over.inputMask;
    return result;
}

bool CGridCellFormat::operator==(const CGridCellFormat &other) const
{
    return textColor == other.textColor && background == other.background &&
           alignment == other.alignment && font == other.font && editable == other.editable &&
           options == other.options && inputMask == other.inputMask;
}

size_t qHash(const CGridCellFormat &format, size_t seed)
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, format.textColor.isValid() ? format.textColor.rgba() : 0u);
    seed = combine(seed, format.background.isValid() ? format.background.rgba() : 0u);
    seed = combine(seed, format.alignment.toInt());
    seed = combine(seed, format.font ? qHash(*format.font) : 0u);
    seed = combine(seed, format.editable ? (*format.editable ? 2 : 1) : 0);
    seed = combine(seed, format.options ? qHashRange(format.options->begin(), format.options->end(), 1)
                                        : 0u);
    seed = combine(seed, format.inputMask ? qHash(*format.inputMask, 1) : 0u);
    return seed;
}
