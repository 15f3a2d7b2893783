#include "settings/CSettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<CSettingsStore> &programStore()
{
    static std::unique_ptr<CSettingsStore> store;
    return store;
}

// Drops the program's store while Qt is still whole, so that its last sync does not run during
// static destruction.
void releaseProgramStore() { programStore().reset(); }

QString keyOf(const QString &section, const QString &name)
{
    return section.isEmpty() ? name : section + u'/' + name;
}

// Value names are single keys: an empty name or a separator would address a whole group.
bool isValueName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// A stored number: text in a file read anew, a typed value in the process that wrote it. Numbers up
// to 0xFFFFFFFF keep their 32-bit pattern, as a registry DWORD does. Anything else is unreadable.
std::optional<int> toInt(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (value.typeId() == QMetaType::QStringList || !value.canConvert<QString>())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = value.toString().trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return n > std::numeric_limits<int>::max() ? static_cast<int>(static_cast<quint32>(n))
                                               : static_cast<int>(n);
}

// Creates folder and every missing folder above it with mode 0700, whatever the umask; folders
// that exist are left as they are. False when a folder could not be created.
bool makePrivateFolders(const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists() || info.isSymLink())
        return false; // a file or a dangling link where the folder should be
    const QString parent = info.path();
    if (parent == path || !makePrivateFolders(parent))
        return false;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0)
        return errno == EEXIST && QFileInfo(path).isDir();
    return ::chmod(native.constData(), 0700) == 0;
}

// Makes the settings file private before anything is written into it: its folders are created
// 0700, a missing file is created empty with mode 0600, an existing one is set to 0600. The atomic
// save that QSettings does later gives its temporary file the mode of the existing file, so no
// content is ever readable by others, not even between the rename and a later chmod.
bool makeFilePrivate(const QString &path)
{
    if (!makePrivateFolders(QFileInfo(path).absolutePath()))
        return false;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const bool ok = ::fchmod(fd, 0600) == 0;
        ::close(fd);
        return ok;
    }
    if (errno != EEXIST)
        return false;
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return (st.st_mode & 07777) == 0600 || ::chmod(native.constData(), 0600) == 0;
}

} // namespace

CSettingsStore &CSettingsStore::instance()
{
    static bool registered = false;
    if (!registered && QCoreApplication::instance()) {
        qAddPostRoutine(releaseProgramStore);
        registered = true;
    }
    auto &store = programStore();
    if (!store)
        store = std::make_unique<CSettingsStore>();
    return *store;
}

void CSettingsStore::useFile(const QString &path)
{
    programStore().reset();
    if (!path.isEmpty())
        programStore() = std::make_unique<CSettingsStore>(path);
    instance();
}

CSettingsStore::CSettingsStore(const QString &iniPath)
    : m_settings(iniPath.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Morvell Software"),
                                                                 QStringLiteral("Tarvolo"))
                                   : std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
    m_settings->setFallbacksEnabled(false);
}

CSettingsStore::~CSettingsStore() { sync(); }

int CSettingsStore::readInt(const QString &section, const QString &name, int defaultValue) const
{
    if (!isValueName(name))
        return defaultValue;
    return toInt(m_settings->value(keyOf(section, name))).value_or(defaultValue);
}

bool CSettingsStore::readBool(const QString &section, const QString &name, bool defaultValue) const
{
    if (!isValueName(name))
        return defaultValue;
    const QVariant value = m_settings->value(keyOf(section, name));
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const std::optional<int> number = toInt(value);
    return number ? *number != 0 : defaultValue;
}

QString CSettingsStore::readString(const QString &section, const QString &name,
                                   const QString &defaultValue) const
{
    if (!isValueName(name))
        return defaultValue;
    const QVariant value = m_settings->value(keyOf(section, name));
    if (!value.isValid())
        return defaultValue;
    // An unquoted text with commas comes back as a list; it was one string in the file.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1String(", "));
    return value.canConvert<QString>() ? value.toString() : defaultValue;
}

bool CSettingsStore::contains(const QString &section, const QString &name) const
{
    return isValueName(name) && m_settings->contains(keyOf(section, name));
}

QStringList CSettingsStore::valueNames(const QString &section) const
{
    m_settings->beginGroup(section);
    QStringList names = m_settings->childKeys();
    m_settings->endGroup();
    return names;
}

QStringList CSettingsStore::sectionNames() const { return m_settings->childGroups(); }

void CSettingsStore::writeInt(const QString &section, const QString &name, int value)
{
    if (!isValueName(name))
        return;
    makePrivate();
    m_settings->setValue(keyOf(section, name), value);
    m_dirty = true;
}

void CSettingsStore::writeBool(const QString &section, const QString &name, bool value)
{
    writeInt(section, name, value ? 1 : 0);
}

void CSettingsStore::writeString(const QString &section, const QString &name, const QString &value)
{
    if (!isValueName(name))
        return;
    makePrivate();
    m_settings->setValue(keyOf(section, name), value);
    m_dirty = true;
}

void CSettingsStore::removeValue(const QString &section, const QString &name)
{
    if (!isValueName(name))
        return;
    makePrivate();
    m_settings->remove(keyOf(section, name));
    m_dirty = true;
}

void CSettingsStore::removeSection(const QString &section)
{
    makePrivate();
    if (section.isEmpty()) {
        // The root: its own values only, never the sections under it.
        const QStringList names = m_settings->childKeys();
        for (const QString &name : names)
            m_settings->remove(name);
    } else {
        // Parses every section first: a lazily parsed "[Section/Sub]" would otherwise escape the
        // removal.
        m_settings->allKeys();
        m_settings->remove(section);
    }
    m_dirty = true;
}

void CSettingsStore::makePrivate()
{
    if (!m_private)
        m_private = makeFilePrivate(m_settings->fileName());
}

bool CSettingsStore::sync()
{
    if (m_dirty)
        makePrivate();
    m_settings->sync();
    const bool ok = m_settings->status() == QSettings::NoError && (!m_dirty || m_private);
    if (ok)
        m_dirty = false;
    return ok;
}

QString CSettingsStore::fileName() const { return m_settings->fileName(); }
