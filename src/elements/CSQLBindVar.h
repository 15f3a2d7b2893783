#pragma once

#include "elements/CSQLVariable.h"

#include <QSet>
#include <QString>

#include <vector>

// Finds the bind variables (:NAME) and substitution variables (&NAME) of an SQL text in one pass
// that knows line comments, block comments and quoted strings with doubled quotes. Bind names are
// read only outside comments and strings, substitution names outside comments, inside strings too.
// Each name is kept once, upper-cased, in the order of first occurrence; :A and &A are two
// variables. A name ends at a delimiter, at the end of the text, or where the next ':' or '&'
// begins another name (":a:b", "&a&b").
class CSQLBindVar
{
public:
    CSQLBindVar() = default;
    virtual ~CSQLBindVar();

    // Stores text and replaces the list with the variables found in it (type "String", no value).
    // Any text is accepted; the scan never fails.
    void scan(const QString &sqlText);

    const std::vector<CSQLVariable> &variables() const { return m_variables; }
    const QString &sqlText() const { return m_sqlText; }

    // True for the characters that end a name: 0, tab, LF, CR, blank, ! " % & ' ( ) * + , - . / : ;
    // =. Everything else, including every character above 127, belongs to a name.
    static bool isDelimiter(char16_t c);

private:
    void addName(const QString &name, int kind);

    std::vector<CSQLVariable> m_variables; // found variables, in order of first occurrence
    QSet<QString> m_names;                 // their names, so a repeated name is found at once
    QString m_sqlText;                     // the text of the last scan
};
