#include "execution/CStatementText.h"

#include <limits>

namespace {

// Characters that continue a name: after one of them the name typed is a longer one.
bool continuesName(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

// True when name stands in text at at as a whole name (ignoring letter case).
bool nameAt(QStringView text, qsizetype at, QStringView name)
{
    const qsizetype end = at + name.size();
    return end <= text.size() &&
           text.sliced(at, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
           (end == text.size() || !continuesName(text[end]));
}

} // namespace

QString CStatementText::substitute(const QString &sql, const std::vector<CSQLVariable> &variables)
{
    QString text;
    text.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const CSQLVariable *found = nullptr;
        for (const CSQLVariable &v : variables) {
            if (v.kind != CSQLVariable::kSubstitution || v.name.isEmpty())
                continue;
            if ((!found || v.name.size() > found->name.size()) && nameAt(sql, i, v.name))
                found = &v;
        }
        if (found) {
            text += found->value;
            i += found->name.size();
        } else {
            text += sql[i++];
        }
    }
    return text;
}

QString CStatementText::withoutCarriageReturns(QString sql)
{
    sql.remove(QLatin1Char('\r'));
    return sql;
}

QString CStatementText::countRows(const QString &sql)
{
    return QStringLiteral("SELECT count(1) CNT FROM (") + sql + QStringLiteral("\n)");
}

QString CStatementText::enableDbmsOutput(int bufferSize)
{
    return QStringLiteral("BEGIN dbms_output.enable(%1); END;").arg(bufferSize);
}

qint64 CStatementText::leadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' ||
                               text[i] == u'\r' || text[i] == u'\v' || text[i] == u'\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    constexpr quint64 limit = quint64(std::numeric_limits<qint64>::max());
    quint64 magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const quint64 digit = text[i].unicode() - u'0';
        if (magnitude > (limit + 1 - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (overflow)
        return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    if (negative)
        return magnitude > limit ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    return magnitude > limit ? std::numeric_limits<qint64>::max() : qint64(magnitude);
}
