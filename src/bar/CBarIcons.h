#pragma once

#include <QIcon>
#include <QString>

// The bar's pictures: our own program and element icons, and menu images that follow the desktop's
// icon theme with our own drawings where the theme has none.
namespace barIcons {

QIcon programIcon();
QIcon defaultElementIcon();
// The theme's icon of the freedesktop name, else ours of the same name.
QIcon themed(const QString &freedesktopName);

// Every picture of an icon file (an .ico may hold several sizes); the default element icon when
// path is empty or nothing in the file can be read.
QIcon elementIcon(const QString &path);

} // namespace barIcons
