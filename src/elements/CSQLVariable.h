#pragma once

#include <QString>
#include <QStringList>

// One variable of an SQL text with its value history: the items of an element's parsed and saved
// variable lists. A plain record; copies copy every field.
struct CSQLVariable
{
    static constexpr int kBind = 0;         // introduced by ':', bound by name
    static constexpr int kSubstitution = 1; // introduced by '&', replaced in the text

    int kind = kBind; // stored as "VarType"; other numbers read from a file are kept as they are
    QString name;     // upper case with its introducer, e.g. ":EMPNO"
    QString type = QStringLiteral("String"); // "String", "Number" or "Date"
    QString value;                           // the value of the current or last run
    QStringList history;                     // earlier values, oldest first, each at most once

    // Appends value as the newest entry after removing an equal (case-sensitive) earlier one. An
    // empty value is not added. The history has no limit in memory.
    void addToHistory(const QString &value);

    // The entries from the newest to the oldest, each followed by "\n".
    QString historyOptionsText() const;

    bool operator==(const CSQLVariable &other) const = default;
};
