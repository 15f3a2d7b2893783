#include "execution/CVariableBinding.h"

#include "execution/CDateType.h"

CVariableBinding CVariableBinding::decide(const CSQLVariable &variable)
{
    CVariableBinding b;
    if (variable.type == QLatin1String("Number")) {
        b.as = As::Number;
        if (variable.value.trimmed().isEmpty())
            return b;
        b.number = COracleNumber::fromText(variable.value);
        if (!b.number)
            b.as = As::Unbound;
    } else if (variable.type == QLatin1String("Date")) {
        CDateType date(0, 0);
        if (date.parse(variable.value)) {
            b.as = As::Date;
            b.date = date.toDatetime();
        } else {
            b.as = As::Unbound;
        }
    } else {
        b.as = As::String;
        b.text = variable.value;
    }
    return b;
}

QString CVariableBinding::unknownTypeMessage(const CSQLVariable &variable)
{
    return QStringLiteral("The value of %1 variable (%2) has an unknown type")
        .arg(variable.name, variable.value);
}
