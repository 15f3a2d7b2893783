// Reads arbitrary bytes as a text file, line by line and whole, under code page 0 and 1252, and checks
// that both ways agree.
#include "core/CTextReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <clocale>
#include <cstdint>
#include <cstdlib>

namespace {

QString g_input;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    std::setlocale(LC_ALL, "");
    const QString base = QDir::temp().filePath(
        QStringLiteral("tarvolo_fuzz_text_%1").arg(QCoreApplication::applicationPid()));
    g_input = base + QStringLiteral(".in");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile f(g_input);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    for (unsigned cp : {0u, 1252u}) {
        QStringList lines;
        {
            CTextReader reader(g_input);
            reader.setCodePage(cp);
            check(reader.isOpen());
            QString line;
            while (reader.readLine(line))
                lines << line;
            check(!lines.isEmpty());
        }
        QString whole;
        {
            CTextReader reader(g_input);
            reader.setCodePage(cp);
            check(reader.readWholeText(whole));
        }
        check(whole == lines.join(QStringLiteral("\r\n")));
    }
    QFile::remove(g_input);
    return 0;
}
