#pragma once

#include <QPixmap>

class QWidget;
#include <QString>

// The program's own pictures, drawn from the SVG files compiled into it.
namespace pictures {

// The picture at resource path (":/app/welcome.svg") at its natural size, for the screen of
// widget's device pixel ratio; a null pixmap when the resource is missing.
QPixmap render(const QString &resource, qreal devicePixelRatio = 1.0);

// Gives dialog the look of the picture dialogs (welcome, about): a fixed size with a title and a
// close box only, nothing to minimise or maximise, on a white background.
void makePictureDialog(QWidget *dialog);

} // namespace pictures
