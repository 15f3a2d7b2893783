#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include "db/datetime.h"

// The order of the result grid's sort: two cell texts of one column compared by the column's kind
// (1 number, 2 date, 3 string). Equal values compare equal, so the grid's stable sort keeps their
// fetch order. Dates are parsed once per distinct text and remembered for the object's lifetime.
class CColumnCompare
{
public:
    explicit CColumnCompare(int kind) : m_kind(kind) {}

    // Ascending order: negative, 0 or positive.
    //  number: the texts' leading numbers (an empty or non-numeric text reads as 0);
    //  date:   empty first, then by date and time, unparsable texts after every date;
    //  string: code unit by code unit, empty texts last. Any other kind: all equal.
    int operator()(QStringView a, QStringView b);

    // The leading floating-point number of text, as strtod reads it in the C locale; 0 when none.
    static double leadingNumber(QStringView text);

    // Number and date columns order by a number made from each text: comparing two texts gives the
    // same answer as comparing their keys, so a sort may convert every text once.
    bool ordersByKey() const { return m_kind == db::kind_number || m_kind == db::kind_date; }
    // The key of a text of a number or date column: the leading number; for dates -inf when empty,
    // the days of the date, +inf when unparsable. 0 for other kinds.
    double key(QStringView text);

private:
    double dateKey(QStringView text); // days of the date; +inf for an unparsable text

    int m_kind;
    QHash<QString, double> m_dates; // parsed date texts
};
