#include "engine/EngineDatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace engine {
namespace {

const QString kSuffix = QStringLiteral(".db");

// The folder of the running executable, also without a QCoreApplication.
QString executableFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe"))
        .canonicalFilePath()
        .section(QLatin1Char('/'), 0, -2);
}

// The database files of one folder: file stem → absolute path.
QList<QPair<QString, QString>> databasesIn(const QString &folder)
{
    QList<QPair<QString, QString>> result;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return result;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName();
        if (name.size() <= kSuffix.size() || !name.endsWith(kSuffix, Qt::CaseInsensitive))
            continue;
        const QString stem = name.left(name.size() - kSuffix.size());
        if (isDatabaseName(stem))
            result.append({stem, file.absoluteFilePath()});
    }
    return result;
}

} // namespace

QStringList databaseFolders()
{
    QStringList folders;
    const QString fromEnv = qEnvironmentVariable("TARVOLO_DATABASES");
    for (const QString &folder : fromEnv.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.append(folder);
    const QString exeFolder = executableFolder();
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (!exeFolder.isEmpty())
        folders.append(exeFolder + QStringLiteral("/Samples"));
    // An installed Samples folder is read-only; the welcome dialog copies it here, and the copy's
    // SAMPLE database is the one the copied elements can write to.
    if (!appData.isEmpty())
        folders.append(appData + QStringLiteral("/Samples"));
    if (!exeFolder.isEmpty())
        folders.append(QDir::cleanPath(exeFolder + QStringLiteral("/../share/tarvolo/Samples")));
    if (!appData.isEmpty())
        folders.append(appData + QStringLiteral("/databases"));
    return folders;
}

bool isDatabaseName(const QString &serviceName)
{
    if (serviceName.isEmpty() || serviceName.size() > 255 ||
        serviceName.startsWith(QLatin1Char('.')))
        return false;
    return std::all_of(serviceName.begin(), serviceName.end(), [](QChar c) {
        return (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('_') ||
               c == QLatin1Char('$') || c == QLatin1Char('#') || c == QLatin1Char('-') ||
               c == QLatin1Char('.');
    });
}

QString findDatabase(const QString &serviceName)
{
    const QString name = serviceName.trimmed();
    if (!isDatabaseName(name))
        return {};
    for (const QString &folder : databaseFolders()) {
        for (const auto &[stem, path] : databasesIn(folder)) {
            if (stem.compare(name, Qt::CaseInsensitive) == 0)
                return path;
        }
    }
    return {};
}

QStringList embeddedDatabaseNames()
{
    QStringList names;
    for (const QString &folder : databaseFolders()) {
        for (const auto &entry : databasesIn(folder)) {
            const bool known = std::any_of(names.begin(), names.end(), [&](const QString &n) {
                return n.compare(entry.first, Qt::CaseInsensitive) == 0;
            });
            if (!known)
                names.append(entry.first);
        }
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace engine
