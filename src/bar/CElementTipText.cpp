#include "bar/CElementTipText.h"

#include "elements/CVexlorElement.h"

namespace elementTipText {

QString toolText(const CVexlorElement &element)
{
    const CSQLConnection &c = element.connection();
    QString text;
    if (c.user().isEmpty())
        text = element.description();
    else if (element.description().isEmpty())
        text = QStringLiteral("Connection string: %1@%2").arg(c.user(), c.database());
    else
        text = QStringLiteral("Connection string: %1@%2\n%3")
                   .arg(c.user(), c.database(), element.description());
    if (element.lastStart().isValid())
        text += element.lastStart().format(QStringLiteral("\nLast start: %d.%m.%Y %H:%M:%S"));
    return text;
}

QString sqlPreview(const QString &sql)
{
    int breaks = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql.at(i);
        if (ch != u'\n' && ch != u'\r')
            continue;
        if (++breaks == kPreviewLines)
            return sql.left(i);
        if (ch == u'\r' && i + 1 < sql.size() && sql.at(i + 1) == u'\n')
            ++i;
    }
    return sql;
}

} // namespace elementTipText
