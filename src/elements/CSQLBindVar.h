#pragma once

#include "elements/CSQLVariable.h"

#include <QString>

#include <cstdint>
#include <utility>
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
    // Hands the list over, leaving it empty.
    std::vector<CSQLVariable> takeVariables() { return std::exchange(m_variables, {}); }
    const QString &sqlText() const { return m_sqlText; }

    // True for the characters that end a name: 0, tab, LF, CR, blank, ! " % & ' ( ) * + , - . / : ;
    // =. Everything else, including every character above 127, belongs to a name.
    static bool isDelimiter(char16_t c);

private:
    // The names of the list, found by hash: an open-addressing table of (hash, index + 1) pairs
    // that compares a name only when its hash matches, so a text with a million names is scanned
    // in time proportional to its length.
    class CNameIndex
    {
    public:
        // Adds name, which becomes variables.size()'s entry; false when it is there already.
        bool insert(const QString &name, const std::vector<CSQLVariable> &variables);

    private:
        static std::uint32_t hashOf(const QString &name);
        static size_t slotOf(std::uint32_t hash, size_t mask)
        {
            return size_t(hash * 2654435761u) & mask;
        }
        void grow();

        std::vector<std::uint64_t> m_table; // 0 = empty; at most half full
        size_t m_used = 0;
    };

    void addName(const QString &name, int kind);

    std::vector<CSQLVariable> m_variables; // found variables, in order of first occurrence
    CNameIndex m_names;                    // their names, so a repeated name is found at once
    QString m_sqlText;                     // the text of the last scan
};
