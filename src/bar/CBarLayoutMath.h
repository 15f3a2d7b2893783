#pragma once

#include <QPoint>
#include <QSize>

// The arithmetic of the bar's layout, without a window: how many buttons go into a column, the
// client size the bar needs for them, and where each button's cell lies.
class CBarLayoutMath
{
public:
    // The four size options as the layout uses them; always within their option ranges.
    struct Sizes
    {
        int btnX = 150;    // cell width in pixels (BtnX)
        int btnY = 40;     // cell height in pixels (BtnY)
        int cntBtnX = 8;   // columns of a fixed bar (CntBtnX)
        int cntBtnY = 8;   // rows of a fixed bar (CntBtnY)
        bool fixed = true; // FixedBarSize
    };

    struct Result
    {
        int rows = 1;     // buttons per column, at least 1
        QSize clientSize; // the client area the bar needs
    };

    // The current options BtnX, BtnY, CntBtnX, CntBtnY and FixedBarSize, each integer brought into
    // the range of its option, so that a stored 0 or a negative value never reaches the layout.
    // The options themselves are left as they are.
    static Sizes fromOptions();
    // sizes with every integer brought into the range its option allows.
    static Sizes clamped(Sizes sizes);

    // The layout of count buttons. clientHeight is the bar's current client height (used by a free
    // bar); resetRows makes a free bar use 10 rows instead. Never a row count or size of 0.
    static Result compute(const Sizes &sizes, int count, int clientHeight, bool resetRows = false);

    // The top-left corner of the cell of the button at place (0 = first), column by column.
    static QPoint cellOrigin(const Sizes &sizes, int rows, int place);
};
