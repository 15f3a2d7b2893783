#include "core/CProfileFile.h"

#include "core/CodePage.h"
#include "core/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <cstdint>
#include <vector>

namespace {

// Files beyond this size are not loaded: reads give defaults and writes are refused, so the file is
// never replaced by a truncated copy.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

enum class LineKind : std::uint8_t {
    Other,  // blank, comment, or a line before the first header; may span several physical lines
    Header, // "[name]"
    Key,    // "name=value"
    Bare,   // a key line without '=': never matched, but it counts as a key line for placement
};

enum class FileState : std::uint8_t {
    Missing,    // no file on disk (yet): reads give defaults, a flush creates it
    Loaded,     // parsed
    Unreadable, // exists but could not be read or is too large: reads give defaults, writes refused
};

bool isBlank(QChar c)
{
    // NUL counts as blank so that NUL padding neither names a key nor ends up in a value.
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\v' || u == 0;
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// Section and key parameters lose surrounding spaces only; TAB and the like stay significant.
QString trimSpaces(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Line breaks written into a name or value would split the line and could inject sections or keys;
// they become spaces.
QString singleLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

QString cutToMax(QString s)
{
    qsizetype n = CProfileFile::kMaxValueLength;
    if (s.size() <= n)
        return s;
    if (s[n - 1].isHighSurrogate())
        --n; // never leave half a surrogate pair
    s.truncate(n);
    return s;
}

QStringView unquote(QStringView v)
{
    if (v.size() >= 2 && v.front() == v.back() &&
        (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')))
        return v.mid(1, v.size() - 2);
    return v;
}

// Leading-number reading as the Windows reader converts a value: characters up to a space skipped,
// one optional sign, then "0x", "0o" or "0b" choosing base 16, 8 or 2 (else base 10), digits of
// that base up to the first other character, wrapping around at 32 bits. No digits give 0.
int leadingInt(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].unicode() <= u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    std::uint32_t base = 10;
    if (i + 1 < s.size() && s[i] == QLatin1Char('0')) {
        const char16_t prefix = s[i + 1].unicode();
        base = prefix == u'x' ? 16 : prefix == u'o' ? 8 : prefix == u'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    std::uint32_t value = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        std::uint32_t digit = base;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'z')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'Z')
            digit = c - u'A' + 10;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

// A section or key name as the index holds it: names compare case-insensitively by simple case
// folding, as the Windows reader matches them, and hash alike.
struct CName
{
    QString text;
    bool operator==(const CName &other) const
    {
        return text.size() == other.text.size() &&
               (text == other.text || text.compare(other.text, Qt::CaseInsensitive) == 0);
    }
};

size_t qHash(const CName &name, size_t seed = 0)
{
    size_t h = seed ^ size_t(name.text.size());
    const QChar *p = name.text.constData();
    const QChar *const e = p + name.text.size();
    for (; p != e; ++p) {
        char32_t c = p->unicode();
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
        } else if (p->isHighSurrogate() && p + 1 != e && p[1].isLowSurrogate()) {
            c = QChar::toCaseFolded(QChar::surrogateToUcs4(p[0], p[1]));
            ++p;
        } else {
            c = QChar::toCaseFolded(c);
        }
        h = (h ^ c) * 0x100000001b3ULL;
    }
    return h;
}

// What a line of text is: its kind and, for a header or key, its name and value, trimmed (the
// value keeps its quotes).
struct CParsedLine
{
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

CParsedLine parseLine(const QString &text, bool inSection)
{
    CParsedLine out;
    const QStringView t = trimBlanks(text);
    if (t.isEmpty() || t.front() == QLatin1Char(';'))
        return out;
    if (t.front() == QLatin1Char('[')) {
        // The name ends at the first ']' (or the line's end); anything after it is ignored.
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        out.kind = LineKind::Header;
        out.name = trimBlanks(t.mid(1, close < 0 ? -1 : close - 1)).toString();
        return out;
    }
    if (!inSection)
        return out;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        out.kind = LineKind::Bare;
        out.name = t.toString();
        return out;
    }
    out.kind = LineKind::Key;
    out.name = trimBlanks(t.first(eq)).toString();
    out.value = trimBlanks(t.sliced(eq + 1)).toString();
    return out;
}

// parseLine for a line of ASCII bytes, without decoding the whole line first.
CParsedLine parseAsciiLine(QByteArrayView bytes, bool inSection, bool wantNames)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == 0; };
    const auto trim = [&](QByteArrayView v) {
        qsizetype b = 0;
        qsizetype e = v.size();
        while (b < e && blank(v[b]))
            ++b;
        while (e > b && blank(v[e - 1]))
            --e;
        return v.sliced(b, e - b);
    };
    CParsedLine out;
    const QByteArrayView t = trim(bytes);
    if (t.isEmpty() || t.front() == ';')
        return out;
    if (t.front() == '[') {
        const qsizetype close = t.indexOf(']');
        out.kind = LineKind::Header;
        out.name = QString::fromLatin1(trim(t.sliced(1, close < 0 ? t.size() - 1 : close - 1)));
        return out; // a header is always named
    }
    if (!inSection)
        return out;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0) {
        out.kind = LineKind::Bare;
        if (wantNames)
            out.name = QString::fromLatin1(t);
        return out;
    }
    out.kind = LineKind::Key;
    if (wantNames) {
        out.name = QString::fromLatin1(trim(t.first(eq)));
        out.value = QString::fromLatin1(trim(t.sliced(eq + 1)));
    }
    return out;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

struct CProfileFile::Data
{
    // One line of the file, or a run of blank and comment lines. Names and values are not kept:
    // a read decodes the one line it needs.
    struct Line
    {
        qsizetype begin = 0; // byte range in original, when own is not set
        qsizetype end = 0;
        QByteArray own; // the line's bytes with their line break, once written or added
        bool isOwn = false;
        LineKind kind = LineKind::Other;
    };

    // A header with the lines up to the next header. keys finds the first key line of a name in
    // body without a scan; key lines never move, because new lines only go after the last key line
    // and a removed line stays in place, empty.
    struct Section
    {
        Line header;
        QString name; // the header's name, trimmed
        std::vector<Line> body;
        // Key name → 1 + index in body of its first key line; built at the first lookup, so that
        // a read of one section does not index the others.
        mutable QHash<CName, qsizetype> keys;
        mutable bool indexed = false;
        mutable bool duplicateKeys = false; // a name has more than one key line (once indexed)
        qsizetype lastKeyLine = -1;         // index in body of the last Key or Bare line; -1 = none

        // Records the key line at index unless an earlier line has its name.
        void index(QString name, qsizetype at) const
        {
            qsizetype &slot = keys[CName{std::move(name)}];
            if (slot == 0)
                slot = at + 1;
            else
                duplicateKeys = true;
        }
        qsizetype find(const QString &name) const { return keys.value(CName{name}, 0) - 1; }
    };

    // Builds the section's key index when it has none yet.
    void ensureIndex(const Section &section) const
    {
        if (section.indexed)
            return;
        section.indexed = true;
        section.keys.reserve(qsizetype(section.body.size()));
        for (qsizetype i = 0; i < qsizetype(section.body.size()); ++i) {
            const Line &l = section.body[size_t(i)];
            if (l.kind == LineKind::Key)
                section.index(parsedKey(l).name, i);
        }
    }

    QString path;
    QByteArray original;                  // the file as read; untouched lines come from it
    std::vector<Line> preamble;           // lines before the first header
    std::vector<Section> sections;        // in file order, duplicates included
    QHash<CName, qsizetype> sectionIndex; // section name → its first section
    FileState state = FileState::Missing;
    bool utf16 = false; // UTF-16 LE with its mark; otherwise ANSI bytes in code page cp
    unsigned cp = codepage::kSystemAnsi; // code page of an ANSI file, read and written alike
    bool dirty = false;                  // changes not yet on disk
    bool refused = false;                // a write was refused since the last flush

    QByteArrayView rawOf(const Line &line) const
    {
        return line.isOwn ? QByteArrayView(line.own)
                          : QByteArrayView(original).sliced(line.begin, line.end - line.begin);
    }

    // Size in bytes of the line break that ends raw, 0 when it has none.
    qsizetype breakSize(QByteArrayView raw) const
    {
        if (utf16) {
            // A dangling half unit can only end the file's last line, which then has no break.
            const qsizetype n = raw.size();
            if (n % 2 != 0 || n < 2 || raw[n - 1] != 0 ||
                (raw[n - 2] != '\n' && raw[n - 2] != '\r'))
                return 0;
            return n >= 4 && raw[n - 2] == '\n' && raw[n - 4] == '\r' && raw[n - 3] == 0 ? 4 : 2;
        }
        if (raw.isEmpty() || (raw.back() != '\n' && raw.back() != '\r'))
            return 0;
        return raw.size() >= 2 && raw.back() == '\n' && raw[raw.size() - 2] == '\r' ? 2 : 1;
    }

    QString decode(QByteArrayView bytes) const
    {
        if (!utf16)
            return codepage::toUnicode(bytes, cp);
        QString text(bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            text[i] = QChar(char16_t(std::uint8_t(bytes[2 * i]) |
                                     (std::uint16_t(std::uint8_t(bytes[2 * i + 1])) << 8)));
        }
        return text;
    }

    // The encoded text; false in *lost when every character fits the file's encoding.
    QByteArray encode(const QString &text, bool *lost = nullptr) const
    {
        if (lost)
            *lost = false;
        if (!utf16)
            return codepage::fromUnicode(text, cp, 0, lost);
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            bytes[2 * i] = char(text[i].unicode() & 0xFF);
            bytes[2 * i + 1] = char(text[i].unicode() >> 8);
        }
        return bytes;
    }

    QString textOf(const Line &line) const
    {
        const QByteArrayView raw = rawOf(line);
        return decode(raw.first(raw.size() - breakSize(raw)));
    }

    // A key line's name and value as the file holds them now.
    CParsedLine parsedKey(const Line &line) const
    {
        const QByteArrayView raw = rawOf(line);
        const QByteArrayView bytes = raw.first(raw.size() - breakSize(raw));
        if (!utf16 && cp == codepage::kSystemAnsi && isAscii(bytes))
            return parseAsciiLine(bytes, true, true);
        return parseLine(decode(bytes), true);
    }

    void load();
    void parse();
    void addToBody(Section &section, Line line);
    void indexSections();
    qsizetype findSection(const QString &name) const;
    const Line *findLine(const QString &section, const QString &key) const;
    Line *lastLine();
    void insertKeyLine(qsizetype index, Line line, QString name);
    QByteArray lineBytes(const QString &text);
    void terminate(Line &line);
    void convertToLocaleEncoding();
    QByteArray serialize() const;
};

void CProfileFile::Data::load()
{
    preamble.clear();
    sections.clear();
    sectionIndex.clear();
    original.clear();
    utf16 = false;
    cp = codepage::kSystemAnsi;
    dirty = false;
    refused = false;

    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        state = FileState::Missing;
        return;
    }
    QFile file(path);
    if (info.isDir() || info.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly)) {
        state = FileState::Unreadable;
        return;
    }
    original = file.readAll();
    if (file.error() != QFileDevice::NoError || original.size() > kMaxFileSize) {
        original.clear();
        state = FileState::Unreadable;
        return;
    }
    state = FileState::Loaded;
    parse();
}

// Appends line to the section's body (before the section is indexed).
void CProfileFile::Data::addToBody(Section &section, Line line)
{
    auto &body = section.body;
    if (line.kind == LineKind::Other && !body.empty() && body.back().kind == LineKind::Other &&
        !body.back().isOwn && !line.isOwn && body.back().end == line.begin) {
        body.back().end = line.end; // runs of blanks and comments are kept as one entry
        return;
    }
    if (line.kind == LineKind::Key || line.kind == LineKind::Bare)
        section.lastKeyLine = qsizetype(body.size());
    body.push_back(std::move(line));
}

void CProfileFile::Data::indexSections()
{
    sectionIndex.clear();
    for (qsizetype i = 0; i < qsizetype(sections.size()); ++i) {
        const CName name{sections[size_t(i)].name};
        if (!sectionIndex.contains(name))
            sectionIndex.insert(name, i);
    }
}

void CProfileFile::Data::parse()
{
    utf16 = original.size() >= 2 && std::uint8_t(original[0]) == 0xFF &&
            std::uint8_t(original[1]) == 0xFE;
    if (!utf16) {
        // The whole file decides: the locale's code set when all of it is valid there, else the
        // legacy Windows code page, so that no line of one file is read in another encoding.
        const QByteArrayView all(original);
        const unsigned localeCp = codepage::systemWriteCodePage();
        const bool localeValid =
            localeCp == codepage::kSystemAnsi ||
            codepage::toUnicode(all, codepage::kSystemAnsi) == codepage::toUnicode(all, localeCp);
        cp = localeValid ? codepage::kSystemAnsi : codepage::legacyCodePage();
    }

    const qsizetype unit = utf16 ? 2 : 1;
    const qsizetype n = original.size();
    const auto unitAt = [&](qsizetype pos) -> char16_t {
        if (!utf16)
            return std::uint8_t(original[pos]);
        return char16_t(std::uint8_t(original[pos]) | (std::uint8_t(original[pos + 1]) << 8));
    };
    qsizetype pos = utf16 ? 2 : 0;
    while (pos < n) {
        qsizetype contentEnd = pos;
        while (contentEnd + unit <= n && unitAt(contentEnd) != '\r' && unitAt(contentEnd) != '\n')
            contentEnd += unit;
        qsizetype end = contentEnd;
        if (contentEnd + unit > n) {
            end = n; // an odd trailing byte of a UTF-16 file stays with the last line
            contentEnd = n;
        } else if (unitAt(contentEnd) == '\r' && contentEnd + 2 * unit <= n &&
                   unitAt(contentEnd + unit) == '\n') {
            end = contentEnd + 2 * unit;
        } else {
            end = contentEnd + unit;
        }

        Line line;
        line.begin = pos;
        line.end = end;
        const QByteArrayView bytes = QByteArrayView(original).sliced(pos, contentEnd - pos);
        CParsedLine parsed;
        if (!utf16 && cp == codepage::kSystemAnsi && isAscii(bytes)) {
            // The common case, and a fast one: key names are read when the section is indexed.
            parsed = parseAsciiLine(bytes, !sections.empty(), false);
        } else {
            QString text = decode(bytes);
            if (line.begin == 0 && text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1); // a UTF-8 mark an editor added must not hide the first header
            parsed = parseLine(text, !sections.empty());
        }
        line.kind = parsed.kind;
        if (line.kind == LineKind::Header) {
            Section section;
            section.header = std::move(line);
            section.name = std::move(parsed.name);
            sections.push_back(std::move(section));
        } else if (!sections.empty()) {
            addToBody(sections.back(), std::move(line));
        } else if (!preamble.empty() && preamble.back().end == line.begin) {
            preamble.back().end = end; // lines before the first header are all of one kind
        } else {
            preamble.push_back(std::move(line));
        }
        pos = end;
    }
    indexSections();
}

qsizetype CProfileFile::Data::findSection(const QString &name) const
{
    return sectionIndex.value(CName{name}, -1);
}

const CProfileFile::Data::Line *CProfileFile::Data::findLine(const QString &section,
                                                             const QString &key) const
{
    const qsizetype s = findSection(trimSpaces(section));
    if (s < 0)
        return nullptr;
    const Section &sec = sections[size_t(s)];
    ensureIndex(sec);
    const qsizetype k = sec.find(trimSpaces(key));
    return k < 0 ? nullptr : &sec.body[size_t(k)];
}

// The file's last line that holds bytes (removed lines hold none), or null for an empty file.
CProfileFile::Data::Line *CProfileFile::Data::lastLine()
{
    if (!sections.empty()) {
        Section &s = sections.back();
        for (auto l = s.body.rbegin(); l != s.body.rend(); ++l) {
            if (!rawOf(*l).isEmpty())
                return &*l;
        }
        return &s.header;
    }
    for (auto l = preamble.rbegin(); l != preamble.rend(); ++l) {
        if (!rawOf(*l).isEmpty())
            return &*l;
    }
    return nullptr;
}

// Puts a new line (named name when it is a header or key line) right after the section's last key
// line; comments and blanks after it stay below. A line that reads as a header starts a section of
// its own there, as it will when the file is read again.
void CProfileFile::Data::insertKeyLine(qsizetype index, Line line, QString name)
{
    Section &section = sections[size_t(index)];
    if (section.lastKeyLine >= 0)
        terminate(section.body[size_t(section.lastKeyLine)]);
    else
        terminate(section.header);
    const qsizetype at = section.lastKeyLine + 1;
    auto &body = section.body;
    if (line.kind == LineKind::Header) {
        Section split;
        split.header = std::move(line);
        split.name = std::move(name);
        for (auto it = body.begin() + at; it != body.end(); ++it)
            addToBody(split, std::move(*it)); // blanks and comments only
        body.erase(body.begin() + at, body.end());
        sections.insert(sections.begin() + index + 1, std::move(split));
        indexSections();
        return;
    }
    if (line.kind == LineKind::Key && section.indexed)
        section.index(std::move(name), at);
    if (line.kind == LineKind::Key || line.kind == LineKind::Bare)
        section.lastKeyLine = at;
    body.insert(body.begin() + at, std::move(line));
}

// The bytes of a new or rewritten line with CR LF, in the file's encoding. An ANSI file read in the
// legacy code page switches to the locale's code set when the text does not fit it, so no written
// character is lost.
QByteArray CProfileFile::Data::lineBytes(const QString &text)
{
    bool lost = false;
    QByteArray bytes = encode(text, &lost);
    if (lost && !utf16 && cp != codepage::kSystemAnsi &&
        codepage::systemWriteCodePage() == codepage::kUtf8) {
        convertToLocaleEncoding();
        bytes = encode(text);
    }
    return bytes + encode(QStringLiteral("\r\n"));
}

void CProfileFile::Data::convertToLocaleEncoding()
{
    const auto convert = [this](Line &l) {
        const QString text = decode(rawOf(l));
        l.own = codepage::fromUnicode(text, codepage::kSystemAnsi);
        l.isOwn = true;
    };
    for (Line &l : preamble)
        convert(l);
    for (Section &s : sections) {
        convert(s.header);
        for (Line &l : s.body)
            convert(l);
    }
    cp = codepage::kSystemAnsi;
    dirty = true;
}

// Gives line a line break when it has none (the file's last line), so that a line can follow it.
void CProfileFile::Data::terminate(Line &l)
{
    const QByteArrayView raw = rawOf(l);
    if (breakSize(raw) > 0)
        return;
    QByteArray bytes = raw.toByteArray();
    if (utf16 && bytes.size() % 2 != 0)
        bytes.chop(
            1); // a dangling half unit at the file's end is no character; the break stays aligned
    if (breakSize(bytes) == 0)
        bytes += encode(QStringLiteral("\r\n"));
    l.own = bytes;
    l.isOwn = true;
    dirty = true;
}

QByteArray CProfileFile::Data::serialize() const
{
    qsizetype size = utf16 ? 2 : 0;
    for (const Line &l : preamble)
        size += rawOf(l).size();
    for (const Section &s : sections) {
        size += rawOf(s.header).size();
        for (const Line &l : s.body)
            size += rawOf(l).size();
    }
    QByteArray out;
    out.reserve(size);
    if (utf16)
        out.append("\xFF\xFE", 2);
    for (const Line &l : preamble)
        out.append(rawOf(l));
    for (const Section &s : sections) {
        out.append(rawOf(s.header));
        for (const Line &l : s.body)
            out.append(rawOf(l));
    }
    return out;
}

CProfileFile::CProfileFile(const QString &path) : d(std::make_unique<Data>())
{
    d->path = path;
    d->load();
}

CProfileFile::~CProfileFile() { flush(); }

QString CProfileFile::path() const { return d->path; }

QString CProfileFile::readString(const QString &section, const QString &key,
                                 const QString &defaultValue) const
{
    const Data::Line *line = d->findLine(section, key);
    if (!line) {
        qsizetype n = defaultValue.size();
        while (n > 0 && defaultValue[n - 1] == QLatin1Char(' '))
            --n;
        return cutToMax(defaultValue.left(n));
    }
    return cutToMax(unquote(d->parsedKey(*line).value).toString());
}

int CProfileFile::readInt(const QString &section, const QString &key, int defaultValue) const
{
    const Data::Line *line = d->findLine(section, key);
    if (!line)
        return defaultValue;
    // An empty value reads like a missing one, as the Windows reader reads nothing to convert.
    const QString value = d->parsedKey(*line).value;
    const QStringView unquoted = unquote(value);
    return unquoted.isEmpty() ? defaultValue : leadingInt(unquoted);
}

QStringList CProfileFile::sectionNames() const
{
    QStringList names;
    for (const Data::Section &s : d->sections)
        names.append(s.name);
    return names;
}

QStringList CProfileFile::keyNames(const QString &section) const
{
    QStringList names;
    const qsizetype s = d->findSection(trimSpaces(section));
    if (s < 0)
        return names;
    for (const Data::Line &l : d->sections[size_t(s)].body) {
        if (l.kind != LineKind::Key)
            continue;
        // An empty name would end a Windows name list, so it is not listed.
        QString name = d->parsedKey(l).name;
        if (!name.isEmpty())
            names.append(std::move(name));
    }
    return names;
}

void CProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    if (d->state == FileState::Unreadable) {
        d->refused = true;
        return;
    }
    const QString sec = singleLine(trimSpaces(section));
    const QString name = singleLine(trimSpaces(key));
    const QString val = singleLine(value);
    const QString keyText = name + QLatin1Char('=') + val;

    const qsizetype index = d->findSection(sec);
    if (index < 0) {
        // A new section goes at the end, after a line break if the file does not end with one (a
        // UTF-16 file holding only its mark counts as not ending with one).
        if (Data::Line *last = d->lastLine()) {
            d->terminate(*last);
        } else if (d->utf16) {
            Data::Line gap;
            gap.own = d->encode(QStringLiteral("\r\n"));
            gap.isOwn = true;
            d->preamble.push_back(std::move(gap));
        }
        const QString headerText = QLatin1Char('[') + sec + QLatin1Char(']');
        CParsedLine header = parseLine(headerText, true);
        Data::Section s;
        s.header.own = d->lineBytes(headerText);
        s.header.isOwn = true;
        s.header.kind = header.kind;
        s.name = std::move(header.name);
        const CName folded{s.name};
        d->sections.push_back(std::move(s));
        if (!d->sectionIndex.contains(folded))
            d->sectionIndex.insert(folded, qsizetype(d->sections.size()) - 1);
    }
    const qsizetype target = index >= 0 ? index : qsizetype(d->sections.size()) - 1;

    Data::Section &s = d->sections[size_t(target)];
    d->ensureIndex(s);
    const qsizetype existing = index < 0 ? -1 : s.find(name);
    if (existing >= 0) {
        // The line keeps everything before its value: indentation, the key's spelling, the blanks
        // around '='. It stays a key line of the same name.
        const QString text = d->textOf(s.body[size_t(existing)]);
        qsizetype valueStart = text.indexOf(QLatin1Char('=')) + 1;
        while (valueStart < text.size() && isBlank(text[valueStart]))
            ++valueStart;
        const QString newText = text.left(valueStart) + val;
        if (newText == text)
            return;
        QByteArray bytes = d->lineBytes(newText);
        Data::Line &l = d->sections[size_t(target)].body[size_t(existing)];
        l.own = std::move(bytes);
        l.isOwn = true;
        d->dirty = true;
        return;
    }

    CParsedLine parsed = parseLine(keyText, true);
    Data::Line k;
    k.own = d->lineBytes(keyText);
    k.isOwn = true;
    k.kind = parsed.kind;
    d->insertKeyLine(target, std::move(k), std::move(parsed.name));
    d->dirty = true;
}

void CProfileFile::writeInt(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

bool CProfileFile::removeKey(const QString &section, const QString &key)
{
    if (d->state == FileState::Unreadable) {
        d->refused = true;
        return false;
    }
    const qsizetype index = d->findSection(singleLine(trimSpaces(section)));
    if (index < 0)
        return false;
    Data::Section &s = d->sections[size_t(index)];
    d->ensureIndex(s);
    const CName name{singleLine(trimSpaces(key))};
    const qsizetype at = s.find(name.text);
    if (at < 0)
        return false;
    // The line stays as an empty entry, so that the lines after it keep their places.
    Data::Line &l = s.body[size_t(at)];
    l = Data::Line();
    l.isOwn = true;
    s.keys.remove(name);
    if (s.duplicateKeys) {
        // A later line of the same name becomes the first.
        for (qsizetype i = at + 1; i < qsizetype(s.body.size()); ++i) {
            const Data::Line &next = s.body[size_t(i)];
            if (next.kind == LineKind::Key && CName{d->parsedKey(next).name} == name) {
                s.keys.insert(name, i + 1);
                break;
            }
        }
    }
    if (s.lastKeyLine == at) {
        qsizetype i = at - 1;
        while (i >= 0 && s.body[size_t(i)].kind != LineKind::Key &&
               s.body[size_t(i)].kind != LineKind::Bare)
            --i;
        s.lastKeyLine = i;
    }
    d->dirty = true;
    return true;
}

bool CProfileFile::flush()
{
    if (d->refused) {
        d->refused = false;
        return false;
    }
    if (!d->dirty)
        return true;
    QSaveFile file(d->path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = d->serialize();
    if (file.write(bytes) != bytes.size() || !savefile::commit(file))
        return false;
    d->dirty = false;
    d->state = FileState::Loaded;
    return true;
}

bool CProfileFile::deleteFile()
{
    const QFileInfo info(d->path);
    if ((info.exists() || info.isSymLink()) && !QFile::remove(d->path))
        return false;
    d->load();
    return true;
}
