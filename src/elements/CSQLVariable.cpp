#include "elements/CSQLVariable.h"

void CSQLVariable::addToHistory(const QString &newValue)
{
    if (newValue.isEmpty())
        return;
    const qsizetype at = history.indexOf(newValue);
    if (at >= 0)
        history.removeAt(at);
    history.append(newValue);
}

QString CSQLVariable::historyOptionsText() const
{
    QString text;
    for (qsizetype i = history.size() - 1; i >= 0; --i) {
        text += history.at(i);
        text += QLatin1Char('\n');
    }
    return text;
}
