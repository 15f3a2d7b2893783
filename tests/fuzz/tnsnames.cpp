// Reads arbitrary bytes as tnsnames text and checks what every name must be: non-empty,
// upper-cased, without blanks, control characters or the characters that delimit entries.
#include "oracle_client/CTnsNamesReader.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    int includes = 0;
    const QStringList names = CTnsNamesReader::readText(text, [&](const QString &path) {
        ++includes;
        return path.isEmpty() ? QStringList() : QStringList{QStringLiteral("INCLUDED")};
    });
    for (const QString &name : names) {
        if (name.isEmpty())
            std::abort();
        for (QChar c : name)
            if (c.unicode() <= 0x20 || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                QStringLiteral("()=#'\",").contains(c))
                std::abort();
    }
    if (names.size() > text.count(QLatin1Char('=')) + text.count(QLatin1Char(',')) + includes)
        std::abort();
    return 0;
}
