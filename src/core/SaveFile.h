#pragma once

class QSaveFile;

namespace savefile {

// Flushes what the save file still buffers and, only when every byte reached the temporary file,
// renames it over the target. QSaveFile::commit() alone misses a failure in that last flush (a full
// disk, a file-size limit) and would replace the target with a truncated file. False leaves the old
// target untouched and removes the temporary.
bool commit(QSaveFile &file);

} // namespace savefile
