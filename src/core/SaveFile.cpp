#include "core/SaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace savefile {

namespace {

constexpr int kUniqueLetters = 6; // QSaveFile replaces ".XXXXXX" with letters

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

bool commit(QSaveFile &file)
{
    if (!file.isOpen())
        return false;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit(); // discards the temporary
        return false;
    }
    return file.commit();
}

bool isLeftoverOf(const QString &name, const QString &fileName)
{
    if (name.size() != fileName.size() + 1 + kUniqueLetters || !name.startsWith(fileName) ||
        name[fileName.size()] != u'.')
        return false;
    for (qsizetype i = fileName.size() + 1; i < name.size(); ++i) {
        if (!isAsciiLetter(name[i]))
            return false;
    }
    return true;
}

int removeLeftovers(const QString &folder, const QStringList &fileNames,
                    const QStringList &extraNames)
{
    const QDir dir(folder);
    int removed = 0;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const bool ours = extraNames.contains(name) ||
                          std::any_of(fileNames.begin(), fileNames.end(), [&](const QString &file) {
                              return isLeftoverOf(name, file);
                          });
        if (!ours)
            continue;
        const QFileInfo info(dir.filePath(name));
        if (info.isSymLink() || !info.isFile())
            continue;
        if (QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace savefile
