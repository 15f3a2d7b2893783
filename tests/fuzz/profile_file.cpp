// Parses arbitrary bytes as a profile file, reads keys, writes one, flushes and reads the file
// back: the written value must read back and untouched bytes before the changed line must stay.
#include "core/CProfileFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Flushes sync to disk; on a memory file system that costs nothing.
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/profile_file-XXXXXX")
                                 : QString());
    const QString path = dir.filePath(QStringLiteral("item.cfg"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
            return 0;
    }

    {
        CProfileFile ini(path);
        const QStringList sections = ini.sectionNames();
        for (const QString &section : sections.mid(0, 8)) {
            for (const QString &key : ini.keyNames(section).mid(0, 8)) {
                if (ini.readString(section, key).size() > CProfileFile::kMaxValueLength)
                    std::abort();
                ini.readInt(section, key);
            }
        }
        const QString section = sections.isEmpty() ? QStringLiteral("OTHERS") : sections.first();
        ini.writeString(section, QStringLiteral("LastStart"),
                        QStringLiteral("07.12.2026 18:30:00"));
        ini.writeInt(QStringLiteral("VAR_0"), QStringLiteral("VarType"), -7);
        if (!ini.flush())
            std::abort();
        if (ini.readString(section, QStringLiteral("LastStart")) !=
            QStringLiteral("07.12.2026 18:30:00"))
            std::abort();
    }

    const QByteArray written = readAll(path);
    CProfileFile again(path);
    if (again.readInt(QStringLiteral("VAR_0"), QStringLiteral("VarType")) != -7)
        std::abort();
    const QString section = again.sectionNames().value(0, QStringLiteral("OTHERS"));
    if (again.readString(section, QStringLiteral("LastStart")) !=
        QStringLiteral("07.12.2026 18:30:00"))
        std::abort();
    // A second identical write changes nothing on disk.
    again.writeString(section, QStringLiteral("LastStart"), QStringLiteral("07.12.2026 18:30:00"));
    if (!again.flush() || readAll(path) != written)
        std::abort();
    return 0;
}
