#include "bar/CBarGeometry.h"

#include <algorithm>

namespace barGeometry {

CScreenRect toStored(const QRect &frame)
{
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

QRect fromStored(const CScreenRect &stored)
{
    if (stored.width() < 1 || stored.height() < 1)
        return {};
    return QRect(stored.left, stored.top, stored.width(), stored.height());
}

bool isUsable(const CScreenRect &stored) { return stored.width() >= 21 && stored.height() >= 21; }

QRect ontoScreens(const QRect &frame, const QList<QRect> &availableAreas, const QRect &primaryArea)
{
    if (frame.isEmpty())
        return frame;
    for (const QRect &area : availableAreas)
        if (area.intersects(frame))
            return frame;
    if (primaryArea.isEmpty())
        return frame;
    QRect moved(QPoint(0, 0), frame.size());
    moved.moveCenter(primaryArea.center());
    moved.moveLeft(std::max(moved.left(), primaryArea.left()));
    moved.moveTop(std::max(moved.top(), primaryArea.top()));
    return moved;
}

} // namespace barGeometry
