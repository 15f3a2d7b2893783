// Runs the variable scanner over arbitrary text: the bytes read as UTF-8, and as UTF-16 units, so
// that lone surrogates and every code unit reach it.
#include "elements/CSQLBindVar.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        utf16[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));

    for (const QString &text : {utf8, utf16}) {
        CSQLBindVar scanner;
        scanner.scan(text);
        for (const CSQLVariable &v : scanner.variables()) {
            // Every name keeps its introducer and at least one character after it.
            if (v.name.size() < 2 || (v.name[0] != u':' && v.name[0] != u'&'))
                std::abort();
            if ((v.name[0] == u':') != (v.kind == CSQLVariable::kBind))
                std::abort();
        }
    }
    return 0;
}
