#pragma once

#include <QString>
#include <QStringList>

// Where the embedded engine finds its databases: SQLite files NAME.db, matched case-insensitively by
// NAME in, in order, the folders of $TARVOLO_DATABASES (colon-separated), the program's Samples folder
// (next to the executable; for an installed program the user's writable copy
// <AppLocalDataLocation>/Samples, then <prefix>/share/tarvolo/Samples) and
// <AppLocalDataLocation>/databases. The first folder holding a match wins.
namespace engine {

// The folders searched, in search order, as the environment stands now (folders that do not exist
// are included; they simply hold nothing).
QStringList databaseFolders();

// True when serviceName can name an embedded database at all: a plain file stem of letters, digits,
// '_', '$', '#', '-' and '.' (not starting with '.'). Connect strings and paths never qualify.
bool isDatabaseName(const QString &serviceName);

// The absolute path of the database file that serviceName names (blanks around it ignored), or an
// empty string when there is none.
QString findDatabase(const QString &serviceName);

// The names of every embedded database, as their file names spell them without ".db", each name
// once (the first folder's file wins), sorted case-insensitively. Offered beside the tnsnames aliases.
QStringList embeddedDatabaseNames();

} // namespace engine
