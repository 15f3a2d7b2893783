#include "bar/CBarLayoutMath.h"

#include "settings/Options.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// value brought into the range of the option called name; unchanged for an option without one.
int clampToOption(const char *name, int value)
{
    for (const options::COptionDef &def : options::table()) {
        if (std::strcmp(def.name, name) != 0 || !def.clamp)
            continue;
        return std::clamp(value, def.clamp->lowest, def.clamp->highest);
    }
    return value;
}

int columnsFor(int count, int rows) { return int(std::ceil(double(count) / double(rows))); }

} // namespace

CBarLayoutMath::Sizes CBarLayoutMath::fromOptions()
{
    return clamped(
        {options::BtnX, options::BtnY, options::CntBtnX, options::CntBtnY, options::FixedBarSize});
}

CBarLayoutMath::Sizes CBarLayoutMath::clamped(Sizes sizes)
{
    sizes.btnX = clampToOption("BtnX", sizes.btnX);
    sizes.btnY = clampToOption("BtnY", sizes.btnY);
    sizes.cntBtnX = clampToOption("CntBtnX", sizes.cntBtnX);
    sizes.cntBtnY = clampToOption("CntBtnY", sizes.cntBtnY);
    // The table always holds these ranges; a cell or count below 1 would divide by zero below.
    sizes.btnX = std::max(sizes.btnX, 1);
    sizes.btnY = std::max(sizes.btnY, 1);
    sizes.cntBtnX = std::max(sizes.cntBtnX, 1);
    sizes.cntBtnY = std::max(sizes.cntBtnY, 1);
    return sizes;
}

CBarLayoutMath::Result CBarLayoutMath::compute(const Sizes &in, int count, int clientHeight,
                                               bool resetRows)
{
    const Sizes s = clamped(in);
    const int n = std::max(count, 0);
    Result result;
    int width = 0;
    int height = 0;
    if (s.fixed) {
        const int columns = s.cntBtnX;
        result.rows = s.cntBtnY;
        if (qint64(n) >= qint64(columns) * result.rows) {
            width = s.btnX * columns;
            height = s.btnY * result.rows;
        } else if (n > result.rows) {
            width = s.btnX * columnsFor(n, result.rows);
            height = s.btnY * result.rows;
        } else {
            width = s.btnX;
            height = s.btnY * n;
        }
    } else {
        result.rows = resetRows ? 10 : std::max(clientHeight, 0) / s.btnY;
        if (result.rows == 0)
            result.rows = 1;
        if (n > result.rows) {
            width = s.btnX * columnsFor(n, result.rows);
            height = s.btnY * result.rows;
        } else {
            width = s.btnX;
            height = s.btnY * n;
        }
    }
    result.clientSize = QSize(width == 0 ? s.btnX : width, height == 0 ? s.btnY : height);
    return result;
}

QPoint CBarLayoutMath::cellOrigin(const Sizes &in, int rows, int place)
{
    const Sizes s = clamped(in);
    const int r = std::max(rows, 1);
    return QPoint(place / r * s.btnX, place % r * s.btnY);
}
