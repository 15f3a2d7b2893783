#pragma once

#include "db/datetime.h"
#include "elements/CSQLVariable.h"
#include "execution/COracleNumber.h"

#include <QString>

#include <optional>

// How one bind variable is bound, decided from its type text (compared exactly) and value:
// "Number" as the number typed (its exact NUMBER encoding, NULL when the value is empty or blank),
// "Date" as the parsed date and time, anything else as the value's text. A Number that holds no
// number and a Date that does not parse are not bound at all.
struct CVariableBinding
{
    enum class As { Number, Date, String, Unbound };

    As as = As::String;
    std::optional<COracleNumber> number; // As::Number; nullopt binds NULL
    db::datetime date;                   // As::Date
    QString text;                        // As::String

    static CVariableBinding decide(const CSQLVariable &variable);

    // The report for a value that cannot be bound with its type.
    static QString unknownTypeMessage(const CSQLVariable &variable);
};
