#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// The per-user settings store: QSettings("Morvell Software", "Tarvolo"), on Linux the file
// ~/.config/Morvell Software/Tarvolo.conf kept at mode 0600 (set before the first write; folders
// the store creates get 0700, whatever the umask). Sections are groups; an empty section name is
// the root (where "AppNameVer" lives). Integers and booleans are numbers (a boolean is written 0 or
// 1 and read as "not 0"; "true" and "false" written by other tools are accepted); strings are text.
// A missing or unreadable value gives the caller's default. Never throws.
class CSettingsStore
{
public:
    // The program's store. Tests point it at a file of their own with useFile() first.
    static CSettingsStore &instance();
    // Replaces the program's store by one over the INI file at path (tests); an empty path restores
    // the real store.
    static void useFile(const QString &path);

    explicit CSettingsStore(const QString &iniPath = QString()); // empty = the real store
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore &) = delete;
    CSettingsStore &operator=(const CSettingsStore &) = delete;

    int readInt(const QString &section, const QString &name, int defaultValue) const;
    bool readBool(const QString &section, const QString &name, bool defaultValue) const;
    QString readString(const QString &section, const QString &name,
                       const QString &defaultValue = QString()) const;
    bool contains(const QString &section, const QString &name) const;
    QStringList valueNames(const QString &section) const;
    QStringList sectionNames() const;

    void writeInt(const QString &section, const QString &name, int value);
    void writeBool(const QString &section, const QString &name, bool value); // 0 or 1
    void writeString(const QString &section, const QString &name, const QString &value);
    void removeValue(const QString &section, const QString &name);
    void removeSection(const QString &section); // the section with everything in it

    // Writes to disk now (also done on destruction); false when the file could not be written.
    bool sync();
    QString fileName() const;

private:
    // Before the first change: the file is made 0600 (created empty when missing) and missing
    // folders 0700, so the store never writes a password into a file others can read.
    void makePrivate();

    std::unique_ptr<QSettings> m_settings;
    bool m_dirty = false;   // written since the last successful sync
    bool m_private = false; // the file has been made private
};
