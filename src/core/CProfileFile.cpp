#include "core/CProfileFile.h"

#include "core/CodePage.h"
#include "core/SaveFile.h"

#include <QFile>
#include <QFileInfo>
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

// Names match case-insensitively by simple case folding, which keeps the length: a cheap first
// test.
bool sameName(const QString &a, const QString &b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
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
// one optional sign, then "0x", "0o" or "0b" choosing base 16, 8 or 2 (else base 10), digits of that
// base up to the first other character, wrapping around at 32 bits. No digits give 0.
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

} // namespace

struct CProfileFile::Data
{
    struct Line
    {
        qsizetype begin = 0; // byte range in original, when own is not set
        qsizetype end = 0;
        QByteArray own; // the line's bytes with their line break, once written or added
        bool isOwn = false;
        LineKind kind = LineKind::Other;
        QString name;  // Header: section name; Key, Bare: key name; trimmed
        QString value; // Key: value trimmed, quotes kept
    };

    QString path;
    QByteArray original; // the file as read; untouched lines are written back from it
    std::vector<Line> lines;
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

    void load();
    void parse();
    void classify(Line &line, const QString &text, bool inSection) const;
    qsizetype findSection(const QString &name) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &key) const;
    QByteArray lineBytes(const QString &text);
    void terminate(qsizetype index);
    void convertToLocaleEncoding();
    QByteArray serialize() const;
};

void CProfileFile::Data::load()
{
    lines.clear();
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
    bool inSection = false;
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
        QString text = decode(QByteArrayView(original).sliced(pos, contentEnd - pos));
        if (line.begin == 0 && text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1); // a UTF-8 mark an editor added must not hide the first header
        classify(line, text, inSection);
        if (line.kind == LineKind::Header)
            inSection = true;
        if (line.kind == LineKind::Other && !lines.empty() && lines.back().kind == LineKind::Other)
            lines.back().end = end; // runs of blanks and comments are kept as one entry
        else
            lines.push_back(std::move(line));
        pos = end;
    }
}

void CProfileFile::Data::classify(Line &line, const QString &text, bool inSection) const
{
    line.kind = LineKind::Other;
    line.name.clear();
    line.value.clear();
    const QStringView t = trimBlanks(text);
    if (t.isEmpty() || t.front() == QLatin1Char(';'))
        return;
    if (t.front() == QLatin1Char('[')) {
        // The name ends at the first ']' (or the line's end); anything after it is ignored.
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        line.kind = LineKind::Header;
        line.name = trimBlanks(t.mid(1, close < 0 ? -1 : close - 1)).toString();
        return;
    }
    if (!inSection)
        return;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) {
        line.kind = LineKind::Bare;
        line.name = t.toString();
        return;
    }
    line.kind = LineKind::Key;
    line.name = trimBlanks(t.first(eq)).toString();
    line.value = trimBlanks(t.sliced(eq + 1)).toString();
}

qsizetype CProfileFile::Data::findSection(const QString &name) const
{
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const Line &l = lines[size_t(i)];
        if (l.kind == LineKind::Header && sameName(l.name, name))
            return i;
    }
    return -1;
}

qsizetype CProfileFile::Data::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < qsizetype(lines.size()) && lines[size_t(i)].kind != LineKind::Header)
        ++i;
    return i;
}

qsizetype CProfileFile::Data::findKey(qsizetype header, const QString &key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &l = lines[size_t(i)];
        if (l.kind == LineKind::Key && sameName(l.name, key))
            return i;
    }
    return -1;
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
    for (Line &l : lines) {
        const QString text = decode(rawOf(l));
        l.own = codepage::fromUnicode(text, codepage::kSystemAnsi);
        l.isOwn = true;
    }
    cp = codepage::kSystemAnsi;
    dirty = true;
}

// Gives the line at index a line break when it has none (the file's last line), so that a line can
// follow it.
void CProfileFile::Data::terminate(qsizetype index)
{
    Line &l = lines[size_t(index)];
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
    QByteArray out;
    qsizetype size = utf16 ? 2 : 0;
    for (const Line &l : lines)
        size += rawOf(l).size();
    out.reserve(size);
    if (utf16)
        out.append("\xFF\xFE", 2);
    for (const Line &l : lines)
        out.append(rawOf(l));
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
    const qsizetype header = d->findSection(trimSpaces(section));
    const qsizetype line = header < 0 ? -1 : d->findKey(header, trimSpaces(key));
    if (line < 0) {
        qsizetype n = defaultValue.size();
        while (n > 0 && defaultValue[n - 1] == QLatin1Char(' '))
            --n;
        return cutToMax(defaultValue.left(n));
    }
    return cutToMax(unquote(d->lines[size_t(line)].value).toString());
}

int CProfileFile::readInt(const QString &section, const QString &key, int defaultValue) const
{
    const qsizetype header = d->findSection(trimSpaces(section));
    const qsizetype line = header < 0 ? -1 : d->findKey(header, trimSpaces(key));
    if (line < 0)
        return defaultValue;
    // An empty value reads like a missing one, as the Windows reader reads nothing to convert.
    const QStringView value = unquote(d->lines[size_t(line)].value);
    return value.isEmpty() ? defaultValue : leadingInt(value);
}

QStringList CProfileFile::sectionNames() const
{
    QStringList names;
    for (const Data::Line &l : d->lines) {
        if (l.kind == LineKind::Header)
            names.append(l.name);
    }
    return names;
}

QStringList CProfileFile::keyNames(const QString &section) const
{
    QStringList names;
    const qsizetype header = d->findSection(trimSpaces(section));
    if (header < 0)
        return names;
    const qsizetype end = d->sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        // An empty name would end a Windows name list, so it is not listed.
        const Data::Line &l = d->lines[size_t(i)];
        if (l.kind == LineKind::Key && !l.name.isEmpty())
            names.append(l.name);
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
    auto &lines = d->lines;

    const qsizetype header = d->findSection(sec);
    if (header < 0) {
        // A new section goes at the end, after a line break if the file does not end with one (a
        // UTF-16 file holding only its mark counts as not ending with one).
        if (!lines.empty()) {
            d->terminate(qsizetype(lines.size()) - 1);
        } else if (d->utf16) {
            Data::Line gap;
            gap.own = d->encode(QStringLiteral("\r\n"));
            gap.isOwn = true;
            lines.push_back(std::move(gap));
        }
        const QString headerText = QLatin1Char('[') + sec + QLatin1Char(']');
        Data::Line h;
        h.own = d->lineBytes(headerText);
        h.isOwn = true;
        d->classify(h, headerText, true);
        lines.push_back(std::move(h));
        const QString keyText = name + QLatin1Char('=') + val;
        Data::Line k;
        k.own = d->lineBytes(keyText);
        k.isOwn = true;
        d->classify(k, keyText, true);
        lines.push_back(std::move(k));
        d->dirty = true;
        return;
    }

    const qsizetype existing = d->findKey(header, name);
    if (existing >= 0) {
        // The line keeps everything before its value: indentation, the key's spelling, the blanks
        // around '='.
        const QString text = d->textOf(lines[size_t(existing)]);
        qsizetype valueStart = text.indexOf(QLatin1Char('=')) + 1;
        while (valueStart < text.size() && isBlank(text[valueStart]))
            ++valueStart;
        const QString newText = text.left(valueStart) + val;
        if (newText == text)
            return;
        QByteArray bytes = d->lineBytes(newText);
        Data::Line &l = lines[size_t(existing)];
        l.own = std::move(bytes);
        l.isOwn = true;
        d->classify(l, newText, true);
        d->dirty = true;
        return;
    }

    // A new key follows the section's last key line; comments and blanks after it stay below.
    qsizetype anchor = header;
    const qsizetype end = d->sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines[size_t(i)].kind == LineKind::Key || lines[size_t(i)].kind == LineKind::Bare)
            anchor = i;
    }
    d->terminate(anchor);
    const QString text = name + QLatin1Char('=') + val;
    Data::Line k;
    k.own = d->lineBytes(text);
    k.isOwn = true;
    d->classify(k, text, true);
    lines.insert(lines.begin() + anchor + 1, std::move(k));
    d->dirty = true;
}

void CProfileFile::writeInt(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
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
