#pragma once

#include <QString>

// Edit masks of grid cells: each 9 stands for a digit, each A for a letter, every other character is a
// literal that stays in place ("99.99.9999" for a date). Positions may be left blank while typing.
class CGridInputMask
{
public:
    // The mask in QLineEdit's notation, with '_' as the blank; other characters are escaped where
    // QLineEdit would read them as mask characters. An empty mask gives an empty one (no mask).
    static QString toLineEditMask(const QString &mask);
    // True when text holds nothing but the mask's literals (what a masked editor reports when nothing
    // was typed), or is empty.
    static bool isBlank(const QString &mask, const QString &text);
    // True when text has the mask's length, a digit at every 9, a letter at every A and the literals
    // elsewhere.
    static bool isComplete(const QString &mask, const QString &text);
};
