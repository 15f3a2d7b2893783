#pragma once

#include <QString>
#include <QStringList>

// Where the program's own files lie: next to the executable (a build tree), or, for an installed
// program, in <prefix>/share/tarvolo with the executable in <prefix>/bin.
namespace programfolder {

// The executable's folder, ending in '/'.
QString executableFolder();
// The folders that may hold the program's files, most specific first.
QStringList dataFolders();
// The first existing entry relative in dataFolders(), as an absolute path; an empty string when
// none exists.
QString find(const QString &relative);

} // namespace programfolder
