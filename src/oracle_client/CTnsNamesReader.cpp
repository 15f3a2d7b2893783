#include "oracle_client/CTnsNamesReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\f') || c == QLatin1Char('\v');
}

// Characters a net service name may not hold; a name with any of them is no alias Oracle resolves.
bool isNameChar(QChar c)
{
    if (c.unicode() < 0x21 || c.unicode() == 0x7f)
        return false;
    switch (c.unicode()) {
    case '(':
    case ')':
    case '=':
    case '#':
    case '"':
    case '\'':
    case ',':
        return false;
    default:
        return true;
    }
}

QString upperAtoZ(QString s)
{
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return s;
}

QString unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// Walks the text of one tnsnames file. Positions are indices into m_text.
class CTnsScanner
{
public:
    CTnsScanner(const QString &text, const std::function<QStringList(const QString &)> &include)
        : m_text(text), m_include(include)
    {
    }

    QStringList run()
    {
        while (skipBlanksAndComments()) {
            QString alias;
            if (!readAlias(alias)) {
                skipStray();
                continue;
            }
            // After '=': a parenthesised description makes an entry; anything else is a plain
            // value that defines nothing, unless the name is IFILE.
            skipBlanksAndComments();
            if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('(')) {
                addNames(alias);
                skipDescription();
            } else {
                const QString value = restOfLine();
                if (upperAtoZ(lastLine(alias).trimmed()) == QLatin1String("IFILE") && m_include)
                    m_names += m_include(unquoted(value));
            }
        }
        return m_names;
    }

private:
    bool atLineStart(qsizetype pos) const
    {
        return pos == 0 || m_text.at(pos - 1) == QLatin1Char('\n');
    }

    // Skips blanks, line ends and comment lines; false at the end of the text.
    bool skipBlanksAndComments()
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == QLatin1Char('#'))
                skipToLineEnd();
            else if (isBlank(c))
                ++m_pos;
            else
                return true;
        }
        return false;
    }

    void skipToLineEnd()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char('\n'))
            ++m_pos;
    }

    // Reads the text before '=' (comments dropped). False when a parenthesis comes first or the
    // text ends, which is stray text rather than an alias.
    bool readAlias(QString &alias)
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == QLatin1Char('=')) {
                ++m_pos;
                return true;
            }
            if (c == QLatin1Char('(') || c == QLatin1Char(')'))
                return false;
            if (c == QLatin1Char('#')) {
                skipToLineEnd();
                continue;
            }
            alias += c;
            ++m_pos;
        }
        return false;
    }

    // Stray text that never reached an '=': drop it up to the end of its line, and a parenthesised
    // group that starts there whole, so that its inner '=' signs are not taken for aliases.
    void skipStray()
    {
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('('))
            skipDescription();
        else if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char(')'))
            ++m_pos;
    }

    QString restOfLine()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char('\n') &&
               m_text.at(m_pos) != QLatin1Char('#'))
            ++m_pos;
        const QString value = m_text.mid(start, m_pos - start);
        skipToLineEnd();
        return value;
    }

    // The last line before '=' that holds anything: text on earlier lines is stray text between
    // entries, not part of the alias.
    static QString lastLine(const QString &alias)
    {
        QString line;
        for (const QString &candidate : alias.split(QLatin1Char('\n')))
            if (!candidate.trimmed().isEmpty())
                line = candidate;
        return line;
    }

    void addNames(const QString &alias)
    {
        for (const QString &part : lastLine(alias).split(QLatin1Char(','))) {
            const QString name = part.trimmed();
            if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isNameChar))
                continue;
            m_names += upperAtoZ(name);
        }
    }

    // A line at the far left that reads `NAME =` followed by '(' or nothing: the start of the next
    // entry, which a description missing its closing parenthesis must not swallow.
    bool startsEntry(qsizetype pos) const
    {
        qsizetype p = pos;
        qsizetype nameChars = 0;
        while (p < m_text.size() &&
               (isNameChar(m_text.at(p)) || m_text.at(p) == QLatin1Char(',') ||
                m_text.at(p) == QLatin1Char(' ') || m_text.at(p) == QLatin1Char('\t'))) {
            if (isNameChar(m_text.at(p)))
                ++nameChars;
            ++p;
        }
        if (nameChars == 0 || p >= m_text.size() || m_text.at(p) != QLatin1Char('='))
            return false;
        ++p;
        while (p < m_text.size() &&
               (m_text.at(p) == QLatin1Char(' ') || m_text.at(p) == QLatin1Char('\t')))
            ++p;
        return p >= m_text.size() || m_text.at(p) == QLatin1Char('(') ||
               m_text.at(p) == QLatin1Char('\r') || m_text.at(p) == QLatin1Char('\n');
    }

    // Skips a parenthesised description from its '(' to the matching ')'. Quoted values are opaque,
    // '#' comments out the rest of a line.
    void skipDescription()
    {
        int depth = 0;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (depth > 0 && atLineStart(m_pos) && isNameChar(c) && startsEntry(m_pos))
                return; // unbalanced: the next entry begins here
            if (c == QLatin1Char('#')) {
                skipToLineEnd();
                continue;
            }
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                const qsizetype close = m_text.indexOf(c, m_pos + 1);
                const qsizetype lineEnd = m_text.indexOf(QLatin1Char('\n'), m_pos + 1);
                // A quote that does not close on its line is taken as a plain character.
                if (close > 0 && (lineEnd < 0 || close < lineEnd)) {
                    m_pos = close + 1;
                    continue;
                }
            }
            ++m_pos;
            if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                if (--depth <= 0)
                    return;
            }
        }
    }

    const QString &m_text;
    const std::function<QStringList(const QString &)> &m_include;
    qsizetype m_pos = 0;
    QStringList m_names;
};

QString decodeFile(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    // Not UTF-8 (comments in a Windows code page): one character per byte keeps every ASCII name.
    return QString::fromLatin1(view);
}

// What one read of a file with its includes has used up.
struct CIncludeState
{
    QSet<QString> open; // canonical paths of the files being read, outermost first
    int filesRead = 0;  // every file read so far, includes of includes too
};

QStringList readFileAt(const QString &path, int depth, CIncludeState &state)
{
    if (depth > CTnsNamesReader::kMaxIncludeDepth || state.filesRead >= CTnsNamesReader::kMaxFiles)
        return {};
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !info.isFile() || state.open.contains(canonical) ||
        info.size() > CTnsNamesReader::kMaxFileSize)
        return {};
    QFile file(canonical);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = decodeFile(file.read(CTnsNamesReader::kMaxFileSize));
    file.close();
    ++state.filesRead;

    state.open.insert(canonical);
    const QDir folder = info.absoluteDir();
    const auto include = [&](const QString &included) {
        if (included.isEmpty())
            return QStringList();
        return readFileAt(QDir::cleanPath(folder.absoluteFilePath(included)), depth + 1, state);
    };
    const QStringList names = CTnsNamesReader::readText(text, include);
    state.open.remove(canonical); // a file may be included again beside, never inside, itself
    return names;
}

} // namespace

QStringList
CTnsNamesReader::readText(const QString &text,
                          const std::function<QStringList(const QString &)> &includeNames)
{
    return CTnsScanner(text, includeNames).run();
}

QStringList CTnsNamesReader::readFile(const QString &path)
{
    CIncludeState state;
    return readFileAt(path, 0, state);
}
