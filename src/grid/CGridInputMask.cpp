#include "grid/CGridInputMask.h"

namespace {

bool isMaskChar(QChar c)
{
    return c == u'9' || c == u'A';
}

} // namespace

QString CGridInputMask::toLineEditMask(const QString &mask)
{
    if (mask.isEmpty())
        return {};
    static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\;");
    QString result;
    result.reserve(mask.size() * 2 + 2);
    for (const QChar c : mask) {
        if (c == u'9')
            result += u'0'; // a digit is allowed, not required: partial input can still be taken
        else if (c == u'A')
            result += u'a';
        else {
            if (special.contains(c))
                result += u'\\';
            result += c;
        }
    }
    result += QStringLiteral(";_");
    return result;
}

bool CGridInputMask::isBlank(const QString &mask, const QString &text)
{
    qsizetype m = 0;
    for (const QChar c : text) {
        while (m < mask.size() && isMaskChar(mask[m]))
            ++m;
        if (c == u' ' || c == u'_')
            continue;
        if (m >= mask.size() || mask[m] != c)
            return false;
        ++m;
    }
    return true;
}

bool CGridInputMask::isComplete(const QString &mask, const QString &text)
{
    if (text.size() != mask.size())
        return false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar m = mask[i];
        const QChar c = text[i];
        if (m == u'9' ? !c.isDigit() : m == u'A' ? !c.isLetter() : c != m)
            return false;
    }
    return true;
}
