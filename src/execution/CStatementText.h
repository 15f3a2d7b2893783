#pragma once

#include "elements/CSQLVariable.h"

#include <QString>

#include <vector>

// The texts the result grid sends to the server, built without a session: substitution of the
// &variables, the row count wrapper and the DBMS_OUTPUT statements.
class CStatementText
{
public:
    // Replaces every occurrence of a substitution variable's name (ignoring letter case) by its
    // value, in one pass from left to right: a name counts only where no letter, digit, '_', '$'
    // or '#' follows it (so &T leaves &TABLE alone), the longest name that fits wins, and a value
    // once inserted is never searched again, for its own name or another's. Bind variables are
    // left alone.
    static QString substitute(const QString &sql, const std::vector<CSQLVariable> &variables);

    // The text without carriage returns; line feeds stay.
    static QString withoutCarriageReturns(QString sql);

    // The query that counts the rows of sql; the line feed ends a trailing line comment.
    static QString countRows(const QString &sql);

    // The DBMS_OUTPUT statements.
    static QString enableDbmsOutput(int bufferSize);
    static constexpr char kGetLine[] = "BEGIN dbms_output.get_line(:1, :2); END;";
    static constexpr char kDisableDbmsOutput[] = "BEGIN dbms_output.disable; END;";

    // The leading base-10 integer of text: leading blanks and a sign allowed, reading stops at the
    // first other character, no digits give 0; values beyond 64 bits stop at the largest magnitude.
    static qint64 leadingInteger(QStringView text);
};
