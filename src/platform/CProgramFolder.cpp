#include "platform/CProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace programfolder {

QString executableFolder()
{
    QString folder = QCoreApplication::instance()
                         ? QCoreApplication::applicationDirPath()
                         : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QStringList dataFolders()
{
    const QString exe = executableFolder();
    return {exe, QDir::cleanPath(exe + QStringLiteral("../share/tarvolo")) + u'/'};
}

QString find(const QString &relative)
{
    for (const QString &folder : dataFolders()) {
        const QFileInfo info(folder + relative);
        if (info.exists())
            return info.absoluteFilePath();
    }
    return {};
}

} // namespace programfolder
