#pragma once

#include "elements/CSQLVariable.h"

#include <QString>

#include <vector>

// The texts the result grid sends to the server, built without a session: substitution of the
// &variables, the row count wrapper and the DBMS_OUTPUT statements.
class CStatementText
{
public:
    // Replaces, for every substitution variable in list order, each occurrence of its name
    // (ignoring letter case, left to right) by its value; the search goes on after an inserted
    // value, so a value that holds the name is not replaced again. Bind variables are left alone.
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
