#include "core/SaveFile.h"

#include <QSaveFile>

namespace savefile {

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

} // namespace savefile
