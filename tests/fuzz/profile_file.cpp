// Parses arbitrary bytes as a profile file, reads keys, writes two, flushes and reads the file
// back: the written values must read back, and writing them again must leave the file unchanged.
#include "core/CProfileFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
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

    // An ANSI file with bytes beyond ASCII is read in the locale's code set or the legacy one,
    // whichever fits the whole file; a rewritten line can change which, and with it the section
    // names. The read-back checks hold for files whose encoding cannot change.
    const bool stable = input.startsWith("\xFF\xFE") ||
                        std::all_of(input.begin(), input.end(), [](char c) { return c >= 0; });
    const QByteArray written = readAll(path);
    CProfileFile again(path);
    const QString section = again.sectionNames().value(0, QStringLiteral("OTHERS"));
    const bool kept = again.readInt(QStringLiteral("VAR_0"), QStringLiteral("VarType")) == -7 &&
                      again.readString(section, QStringLiteral("LastStart")) ==
                          QStringLiteral("07.12.2026 18:30:00");
    if (stable && !kept)
        std::abort();
    // A second identical write changes nothing on disk.
    again.writeString(section, QStringLiteral("LastStart"), QStringLiteral("07.12.2026 18:30:00"));
    if (!again.flush() || (stable && readAll(path) != written))
        std::abort();
    return 0;
}
