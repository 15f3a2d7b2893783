// Values the result grid reads from the user and the server: the substitution of &variables,
// Number values read as Oracle numbers, leading integers of counts and the sort comparison of
// cell texts with its sort keys. The input is split at the first two NUL bytes into an SQL text, a
// variable value and a second text.
#include "db/datetime.h"
#include "execution/CColumnCompare.h"
#include "execution/COracleNumber.h"
#include "execution/CStatementText.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\0');
    const QString sql = QString::fromUtf8(parts.value(0));
    const QString value = QString::fromUtf8(parts.value(1));
    const QString other = QString::fromUtf8(parts.value(2));

    // Substitution ends, and an inserted value is never searched again: a value that is the name
    // itself gives the text back (up to letter case).
    CSQLVariable v;
    v.kind = CSQLVariable::kSubstitution;
    v.name = QStringLiteral("&T");
    v.value = v.name;
    if (CStatementText::substitute(sql, {v}).compare(sql, Qt::CaseInsensitive) != 0)
        std::abort();
    v.value = value;
    const QString substituted = CStatementText::substitute(sql, {v});
    if (CStatementText::withoutCarriageReturns(substituted).contains(QLatin1Char('\r')))
        std::abort();

    // A Number value that reads is a valid NUMBER encoding, and its text reads back to the same
    // bytes; with the separator ',' it reads as it does with '.' in its place.
    if (const std::optional<COracleNumber> n = COracleNumber::fromText(value, u",")) {
        const COracleNumber::Bytes &b = n->bytes();
        if (n->size() < 2 || n->size() > COracleNumber::kSize || (b[0] == 1 && b[1] != 0x80))
            std::abort();
        const std::optional<COracleNumber> again = COracleNumber::fromText(n->text(), u".");
        if (!again || again->bytes() != b)
            std::abort();
        QString pointed = value;
        pointed.replace(QLatin1Char(','), QLatin1Char('.'));
        const std::optional<COracleNumber> same = COracleNumber::fromText(pointed, u".");
        if (!same || same->bytes() != b)
            std::abort();
    }

    // The leading integer agrees with the C library where it does not overflow.
    const qint64 n = CStatementText::leadingInteger(value);
    const QByteArray latin = value.toLatin1();
    if (value == QString::fromLatin1(latin) && latin.size() < 18 && !latin.contains('\0')) {
        const long long expected = std::strtoll(latin.constData(), nullptr, 10);
        // strtoll also skips other white space; only compare what both read the same way.
        if (!latin.isEmpty() && latin.at(0) != ' ' && n != expected)
            std::abort();
    }

    // Every kind orders consistently: a text equals itself and swapping the texts flips the sign.
    for (int kind : {db::kind_number, db::kind_date, db::kind_string}) {
        CColumnCompare compare(kind);
        if (compare(value, value) != 0)
            std::abort();
        if (sign(compare(value, other)) != -sign(compare(other, value)))
            std::abort();
        // Number and date columns sort by key: the keys must order the texts as the comparison.
        if (compare.ordersByKey()) {
            const double a = compare.key(value), b = compare.key(other);
            if (sign(compare(value, other)) != (a < b ? -1 : (b < a ? 1 : 0)))
                std::abort();
        }
    }
    return 0;
}
