#include "settings/CScriptFolders.h"

#include "settings/CSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kSection = QStringLiteral("ScriptFolders");

QString entryName(qsizetype i) { return QStringLiteral("Folder%1").arg(i); }

QString withSeparator(const QString &path) { return path.endsWith(u'/') ? path : path + u'/'; }

// Makes the folder unless it exists; only its last level, like a single mkdir.
bool ensureFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    return QDir().mkdir(path);
}

} // namespace

void CScriptFolders::load(const CSettingsStore &store)
{
    m_folders.clear();
    for (qsizetype i = 0;; ++i) {
        const QString folder = store.readString(kSection, entryName(i));
        if (folder.isEmpty())
            break;
        m_folders.append(folder);
    }
}

bool CScriptFolders::save(CSettingsStore &store) const
{
    store.removeSection(kSection);
    for (qsizetype i = 0; i < m_folders.size(); ++i)
        store.writeString(kSection, entryName(i), m_folders.at(i));
    return store.sync();
}

bool CScriptFolders::add(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString folder = withSeparator(path);
    m_folders.removeAll(folder);
    m_folders.append(folder);
    return true;
}

QString CScriptFolders::current() const
{
    return m_folders.isEmpty() ? QString() : withSeparator(m_folders.constLast());
}

CScriptFolders::Status CScriptFolders::setUpCurrent(CSettingsStore &store,
                                                    const QString &documentsPath)
{
    if (m_folders.isEmpty()) {
        if (documentsPath.isEmpty() || !ensureFolder(documentsPath))
            return Status::NoDocumentsFolder;
        add(withSeparator(documentsPath) + QStringLiteral("Tarvolo Scripts/"));
        save(store);
    }
    return ensureFolder(current()) ? Status::Ok : Status::FolderNotCreated;
}

CScriptFolders::Status CScriptFolders::setUpCurrent(CSettingsStore &store)
{
    return setUpCurrent(store, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
