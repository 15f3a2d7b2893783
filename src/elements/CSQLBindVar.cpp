#include "elements/CSQLBindVar.h"

namespace {

// A name being read: its introducer's kind, its text so far and whether it has a name character
// yet.
struct PendingName
{
    bool active = false;
    bool hasNameChar = false;
    QString text;

    void start(QChar introducer)
    {
        active = true;
        hasNameChar = false;
        text.resize(0); // keeps the buffer for the next name
        text += introducer;
    }
    void stop()
    {
        active = false;
        hasNameChar = false;
        text.resize(0);
    }
};

} // namespace

bool CSQLBindVar::CNameIndex::insert(const QString &name,
                                     const std::vector<CSQLVariable> &variables)
{
    if ((m_used + 1) * 2 > m_table.size())
        grow();
    const std::uint32_t hash = hashOf(name);
    const size_t mask = m_table.size() - 1;
    for (size_t i = slotOf(hash, mask);; i = (i + 1) & mask) {
        const std::uint64_t entry = m_table[i];
        if (entry == 0) {
            m_table[i] = (std::uint64_t(hash) << 32) | std::uint64_t(variables.size() + 1);
            ++m_used;
            return true;
        }
        if (std::uint32_t(entry >> 32) == hash &&
            variables[size_t(std::uint32_t(entry)) - 1].name == name)
            return false;
    }
}

std::uint32_t CSQLBindVar::CNameIndex::hashOf(const QString &name)
{
    std::uint32_t h = 2166136261u; // FNV-1a over the UTF-16 units
    for (const QChar c : name) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return h;
}

void CSQLBindVar::CNameIndex::grow()
{
    std::vector<std::uint64_t> old(m_table.empty() ? 64 : m_table.size() * 2, 0);
    old.swap(m_table);
    const size_t mask = m_table.size() - 1;
    for (const std::uint64_t entry : old) {
        if (entry == 0)
            continue;
        size_t i = slotOf(std::uint32_t(entry >> 32), mask);
        while (m_table[i] != 0)
            i = (i + 1) & mask;
        m_table[i] = entry;
    }
}

CSQLBindVar::~CSQLBindVar() = default;

bool CSQLBindVar::isDelimiter(char16_t c)
{
    switch (c) {
    case 0:
    case 9:
    case 10:
    case 13:
    case 58: // :
    case 59: // ;
    case 61: // =
        return true;
    default:
        return (c >= 32 && c <= 34) || (c >= 37 && c <= 47);
    }
}

void CSQLBindVar::addName(const QString &name, int kind)
{
    QString upper = name.toUpper();
    if (!m_names.insert(upper, m_variables))
        return; // seen before
    CSQLVariable var;
    var.kind = kind;
    var.name = std::move(upper);
    m_variables.push_back(std::move(var));
}

void CSQLBindVar::scan(const QString &sqlText)
{
    m_sqlText = sqlText;
    m_variables.clear();
    m_names = CNameIndex();
    // Every name begins with an introducer: their count bounds the list, which is then never
    // moved while it grows.
    const qsizetype introducers = sqlText.count(QLatin1Char(':')) + sqlText.count(QLatin1Char('&'));
    m_variables.reserve(size_t(introducers));

    constexpr int kNone = -1;
    int prev = kNone; // previous character; none at the start
    bool inLineComment = false;
    bool inBlockComment = false;
    bool inString = false;
    bool quotePending =
        false; // a quote inside a string: the string ends unless another quote follows
    PendingName bind;
    PendingName subst;

    for (const QChar qc : sqlText) {
        const char16_t ch = qc.unicode();
        char16_t cur = ch;

        if (!inString && !quotePending) {
            if (!inLineComment && !inBlockComment) {
                if (ch == u'-' && prev == u'-')
                    inLineComment = true;
                else if (ch == u'*' && prev == u'/')
                    inBlockComment = true;
            } else if (inLineComment) {
                if (ch == u'\n') {
                    inLineComment = false;
                    cur = 0;
                }
            } else if (ch == u'/' && prev == u'*') {
                inBlockComment = false;
                cur = 0;
            }
        }
        if (inLineComment || inBlockComment) {
            prev = ch;
            continue;
        }

        if (quotePending) {
            quotePending = false;
            if (cur == u'\'') {
                prev = cur; // a doubled quote inside the string
                continue;
            }
            inString = false;
        } else if (cur == u'\'') {
            if (inString)
                quotePending = true;
            else
                inString = true;
        }

        if (!inString) {
            if (cur == u':') {
                // ":a:b" holds two names: the first ends where the second begins.
                if (bind.active && bind.hasNameChar)
                    addName(bind.text, CSQLVariable::kBind);
                if (subst.active) {
                    if (subst.hasNameChar)
                        addName(subst.text, CSQLVariable::kSubstitution);
                    subst.stop();
                }
                bind.start(qc);
            } else if (bind.active) {
                if (prev == u':' && isDelimiter(cur)) {
                    bind.stop(); // ":=", "::", ":&" and a lone colon introduce nothing
                    prev = cur;
                    continue;
                }
                if (!isDelimiter(cur)) {
                    bind.text += QChar(cur);
                    bind.hasNameChar = true;
                } else if (bind.hasNameChar) {
                    addName(bind.text, CSQLVariable::kBind);
                    bind.stop();
                }
            }
        }

        if (cur == u'&') {
            // "&a&b" holds two names: the first ends where the second begins.
            if (subst.active && subst.hasNameChar)
                addName(subst.text, CSQLVariable::kSubstitution);
            subst.start(qc);
        } else if (subst.active) {
            if (!isDelimiter(cur)) {
                subst.text += QChar(cur);
                subst.hasNameChar = true;
            } else if (subst.hasNameChar) {
                addName(subst.text, CSQLVariable::kSubstitution);
                subst.stop();
            }
        }

        prev = cur;
    }

    if (bind.active && bind.hasNameChar)
        addName(bind.text, CSQLVariable::kBind);
    if (subst.active && subst.hasNameChar)
        addName(subst.text, CSQLVariable::kSubstitution);
}
