#pragma once

#include "db/datetime.h"
#include "elements/CSQLVariable.h"

#include <QString>

// How one bind variable is bound, decided from its type text (compared exactly) and value:
// "Number" as the value's leading integer, "Date" as the parsed date and time (or not at all when
// the value does not parse), anything else as the value's text.
struct CVariableBinding
{
    enum class As { Number, Date, String, Unbound };

    As as = As::String;
    double number = 0; // As::Number
    db::datetime date; // As::Date
    QString text;      // As::String

    static CVariableBinding decide(const CSQLVariable &variable);

    // The report for a Date value that does not parse.
    static QString unknownTypeMessage(const CSQLVariable &variable);
};
