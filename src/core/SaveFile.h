#pragma once

#include <QString>
#include <QStringList>

class QSaveFile;

namespace savefile {

// Flushes what the save file still buffers and, only when every byte reached the temporary file,
// renames it over the target. QSaveFile::commit() alone misses a failure in that last flush (a full
// disk, a file-size limit) and would replace the target with a truncated file. False leaves the old
// target untouched and removes the temporary.
bool commit(QSaveFile &file);

// Whether name is what an atomic save of fileName leaves beside it when the process dies between
// linking its temporary and renaming it over the target: fileName, '.', and the six ASCII letters
// that make the temporary's name unique.
bool isLeftoverOf(const QString &name, const QString &fileName);

// Removes from folder the regular files that are leftovers of saving one of fileNames (as
// isLeftoverOf says) or that are named exactly like one of extraNames; links, folders and every
// other file stay. Returns how many were removed.
int removeLeftovers(const QString &folder, const QStringList &fileNames,
                    const QStringList &extraNames = {});

} // namespace savefile
