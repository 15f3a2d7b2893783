#pragma once

#include <QString>
#include <QStringList>

class CSettingsStore;

// The ordered list of script folders, kept in the section "ScriptFolders" as "Folder0", "Folder1",
// …. The last entry is the current script folder, the one whose elements the bar shows.
class CScriptFolders
{
public:
    // What setUpCurrent() found.
    enum class Status {
        Ok,                // the current folder exists
        NoDocumentsFolder, // the list was empty and there is no documents folder to put one in
        FolderNotCreated,  // the current folder is missing and could not be made
    };
    // The text to show for Status::NoDocumentsFolder.
    static constexpr const char *kNoDocumentsMessage = "Can't find My Documents Folder";

    // Replaces the list by the entries of the store, up to the first missing or empty one.
    void load(const CSettingsStore &store);
    // Rewrites the section from the list (entries past its end go) and syncs; false when the store
    // could not be written.
    bool save(CSettingsStore &store) const;
    // Makes path, with a trailing '/', the one and last entry; an empty path is ignored (false).
    bool add(const QString &path);

    const QStringList &folders() const { return m_folders; }
    // The last entry with a trailing '/'; empty while the list is empty.
    QString current() const;

    // Settles the current folder for the bar: the last entry, or else "Tarvolo Scripts/" in
    // documentsPath (made if missing), added and saved at once. The current folder is then made one
    // level deep when it is missing; a missing parent is not made.
    Status setUpCurrent(CSettingsStore &store, const QString &documentsPath);
    // The same with the user's documents folder.
    Status setUpCurrent(CSettingsStore &store);

private:
    QStringList m_folders; // oldest first; the last is current
};
