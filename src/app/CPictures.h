#pragma once

#include <QPixmap>
#include <QString>

// The program's own pictures, drawn from the SVG files compiled into it.
namespace pictures {

// The picture at resource path (":/app/welcome.svg") at its natural size, for the screen of
// widget's device pixel ratio; a null pixmap when the resource is missing.
QPixmap render(const QString &resource, qreal devicePixelRatio = 1.0);

} // namespace pictures
