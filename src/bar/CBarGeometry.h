#pragma once

#include "elements/CScreenRect.h"

#include <QList>
#include <QRect>

// The rules for a window rectangle stored in tvl.cfg: it is the window's outer frame in screen
// coordinates (right and bottom exclusive), saved from the frame geometry and restored by placing
// the frame's top-left corner. No widgets; the screens come in as rectangles.
namespace barGeometry {

// The stored form of a frame rectangle.
CScreenRect toStored(const QRect &frame);
// The frame a stored rectangle describes; an empty QRect when its width or height is below 1.
QRect fromStored(const CScreenRect &stored);

// Whether a stored rectangle is large enough to place the bar by (at least 21 pixels each way);
// smaller ones, zeros and negative sizes included, leave the placement to the window manager.
bool isUsable(const CScreenRect &stored);

// frame unchanged when it overlaps one of the screens' available areas; otherwise the same size
// centred on the primary screen's available area (its top-left corner when the frame is larger).
QRect ontoScreens(const QRect &frame, const QList<QRect> &availableAreas, const QRect &primaryArea);

} // namespace barGeometry
