#include "app/CSamplesFolder.h"

#include "platform/CProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withSeparator(const QString &path) { return path.endsWith(u'/') ? path : path + u'/'; }

QString chop(const QString &path)
{
    return path.endsWith(u'/') && path.size() > 1 ? path.chopped(1) : path;
}

} // namespace

CSamplesFolder::CSamplesFolder(const QString &programFolder, const QString &copyFolder)
    : m_programFolder(withSeparator(programFolder)), m_copyFolder(withSeparator(copyFolder)),
      m_writable([](const QString &folder) { return QFileInfo(folder).isWritable(); })
{
}

CSamplesFolder::CSamplesFolder()
    : CSamplesFolder(
          [] {
              const QString found = programfolder::find(QStringLiteral("Samples"));
              // A missing Samples folder is still the one next to the executable: the bar makes it.
              return found.isEmpty() ? programfolder::executableFolder() + QStringLiteral("Samples")
                                     : found;
          }(),
          QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
              QStringLiteral("/Samples"))
{
}

void CSamplesFolder::setWritableTest(std::function<bool(const QString &)> test)
{
    m_writable = std::move(test);
}

CSamplesFolder::Result CSamplesFolder::resolve() const
{
    const QFileInfo program(chop(m_programFolder));
    if (!program.isDir() || m_writable(chop(m_programFolder)))
        return {m_programFolder, {}};
    if (QFileInfo::exists(chop(m_copyFolder)))
        return {m_copyFolder, {}};
    QString error;
    if (copyTree(chop(m_programFolder), chop(m_copyFolder), &error))
        return {m_copyFolder, {}};
    return {m_programFolder, error};
}

bool CSamplesFolder::copyTree(const QString &source, const QString &target, QString *error)
{
    const auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (QFileInfo::exists(target))
        return fail(QStringLiteral("%1 exists already").arg(target));
    // Copy into a temporary sibling first, so that an interrupted copy is never taken for a whole
    // one.
    const QString partial = target + QStringLiteral(".partial");
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        return fail(QStringLiteral("%1 could not be created").arg(partial));
    const QDir from(source);
    QDirIterator it(source, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString to = partial + u'/' + from.relativeFilePath(entry.filePath());
        const bool ok = entry.isDir() ? QDir().mkpath(to) : QFile::copy(entry.filePath(), to);
        if (!ok) {
            QDir(partial).removeRecursively();
            return fail(QStringLiteral("%1 could not be copied to %2").arg(entry.filePath(), to));
        }
        if (!entry.isDir())
            QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    }
    if (!QDir().rename(partial, target)) {
        QDir(partial).removeRecursively();
        return fail(QStringLiteral("%1 could not be renamed to %2").arg(partial, target));
    }
    return true;
}
