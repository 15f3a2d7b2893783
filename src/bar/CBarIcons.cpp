#include "bar/CBarIcons.h"

#include <QImageReader>
#include <QPixmap>

#include <algorithm>

namespace barIcons {

namespace {

QString resourcePath(const QString &file) { return QStringLiteral(":/tarvolo/") + file; }

} // namespace

QIcon programIcon()
{
    static const QIcon icon(resourcePath(QStringLiteral("tarvolo.svg")));
    return icon;
}

QIcon defaultElementIcon()
{
    static const QIcon icon(resourcePath(QStringLiteral("element.svg")));
    return icon;
}

QIcon themed(const QString &freedesktopName)
{
    return QIcon::fromTheme(
        freedesktopName, QIcon(resourcePath(QStringLiteral("icons/%1.svg").arg(freedesktopName))));
}

QIcon elementIcon(const QString &path)
{
    if (path.isEmpty())
        return defaultElementIcon();
    QIcon icon;
    QImageReader reader(path);
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon.isNull() ? defaultElementIcon() : icon;
}

} // namespace barIcons
