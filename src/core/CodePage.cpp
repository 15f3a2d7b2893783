#include "core/CodePage.h"

#include <QtEndian>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace codepage {
namespace {

// Byte order of QString's units as iconv names it.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16Host = "UTF-16LE";
#else
constexpr const char *kUtf16Host = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

// Move-only owner of one iconv descriptor.
class IconvHandle
{
public:
    IconvHandle() = default;
    IconvHandle(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(IconvHandle &&other) noexcept : m_cd(std::exchange(other.m_cd, invalidCd())) {}
    IconvHandle &operator=(IconvHandle &&other) noexcept
    {
        if (this != &other) {
            if (valid())
                iconv_close(m_cd);
            m_cd = std::exchange(other.m_cd, invalidCd());
        }
        return *this;
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool valid() const { return m_cd != invalidCd(); }
    iconv_t get() const { return m_cd; }
    // Returns the descriptor to its initial shift state.
    void reset() const
    {
        if (valid())
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    }

private:
    static iconv_t invalidCd() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t m_cd = invalidCd();
};

// What this module knows of a byte encoding.
struct Charset
{
    std::string name;            // iconv name; empty = none
    bool utf8 = false;           // converted by this module, not by iconv
    bool singleByte = true;      // one byte per character: rejected bytes map to C1 controls
    bool asciiCompatible = true; // bytes below 0x80 are ASCII, so pure ASCII needs no conversion
};

bool isMultiByteCodePage(unsigned cp)
{
    switch (cp) {
    case 932: case 936: case 949: case 950: case 1361: case 20932: case 50220: case 50221:
    case 50222: case 50225: case 50227: case 51932: case 51936: case 51949: case 52936: case 54936:
        return true;
    default:
        return false;
    }
}

bool isAsciiCompatibleCodePage(unsigned cp)
{
    if (cp == 874 || (cp >= 1250 && cp <= 1258) || cp == 932 || cp == 936 || cp == 949 || cp == 950)
        return true;
    if (cp >= 28591 && cp <= 28605)
        return true;
    switch (cp) {
    case 437: case 737: case 775: case 850: case 852: case 855: case 857: case 858: case 860:
    case 861: case 862: case 863: case 865: case 866: case 869: case 20127: case 20866: case 21866:
    case 51932: case 51949: case 54936:
        return true;
    default:
        return false;
    }
}

// The iconv name of a Windows code page number (other than 0 and 65001).
std::string iconvNameFor(unsigned cp)
{
    switch (cp) {
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932: case 51932: return "EUC-JP";
    case 51936: return "EUC-CN";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 50220: case 50221: case 50222: return "ISO-2022-JP";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 12000: return "UTF-32LE";
    case 12001: return "UTF-32BE";
    case 28603: return "ISO-8859-13";
    case 28605: return "ISO-8859-15";
    default:
        break;
    }
    if (cp >= 28591 && cp <= 28599)
        return "ISO-8859-" + std::to_string(cp - 28590);
    return "CP" + std::to_string(cp);
}

// The locale's code set as iconv names it, or empty when it is UTF-8 or plain ASCII.
std::string localeCodeSet()
{
    const char *cs = nl_langinfo(CODESET);
    if (!cs || !*cs)
        return {};
    const QByteArray name = QByteArray(cs).toUpper();
    if (name == "UTF-8" || name == "UTF8" || name == "ANSI_X3.4-1968" || name == "ASCII"
        || name == "US-ASCII" || name == "646")
        return {};
    return cs;
}

// The Windows number of a locale code set, 0 when it has none.
unsigned windowsNumberOf(const std::string &codeSet)
{
    const QByteArray cs = QByteArray::fromStdString(codeSet).toUpper();
    if (cs.isEmpty())
        return kUtf8;
    if (cs.startsWith("ISO-8859-") || cs.startsWith("ISO8859-")) {
        bool ok = false;
        const unsigned part = cs.mid(cs.indexOf('-', 4) + 1).toUInt(&ok);
        if (ok && part >= 1 && part <= 9)
            return 28590 + part;
        if (ok && part == 13)
            return 28603;
        if (ok && part == 15)
            return 28605;
        return 0;
    }
    if (cs.startsWith("CP") || cs.startsWith("WINDOWS-")) {
        bool ok = false;
        const unsigned n = cs.mid(cs.startsWith("CP") ? 2 : 8).toUInt(&ok);
        return ok ? n : 0;
    }
    static const std::map<QByteArray, unsigned> known = {
        {"KOI8-R", 20866}, {"KOI8-U", 21866}, {"EUC-JP", 20932}, {"EUC-KR", 51949},
        {"GB2312", 936},   {"GBK", 936},      {"GB18030", 54936}, {"BIG5", 950},
        {"BIG5-HKSCS", 950}, {"SHIFT_JIS", 932}, {"SJIS", 932},   {"TIS-620", 874},
    };
    const auto it = known.find(cs);
    return it == known.end() ? 0 : it->second;
}

Charset charsetFor(unsigned cp)
{
    Charset c;
    if (cp == kSystemAnsi) {
        c.name = localeCodeSet();
        if (c.name.empty()) {
            c.utf8 = true;
            return c;
        }
        const unsigned n = windowsNumberOf(c.name);
        c.singleByte = n != 0 && !isMultiByteCodePage(n);
        c.asciiCompatible = true; // every locale code set glibc offers keeps ASCII
        return c;
    }
    if (cp == kUtf8) {
        c.utf8 = true;
        return c;
    }
    c.name = iconvNameFor(cp);
    c.singleByte = !isMultiByteCodePage(cp) && cp != 1200 && cp != 1201 && cp != 12000
                   && cp != 12001;
    c.asciiCompatible = isAsciiCompatibleCodePage(cp);
    return c;
}

// Descriptors stay open for the thread's life: opening one per line read would dominate the cost.
const IconvHandle &converter(const std::string &to, const std::string &from)
{
    thread_local std::map<std::pair<std::string, std::string>, IconvHandle> cache;
    auto key = std::make_pair(to, from);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, IconvHandle(to.c_str(), from.c_str())).first;
    it->second.reset();
    return it->second;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80)
            return false;
    }
    return true;
}

// UTF-8 of text; a lone surrogate becomes U+FFFD and counts as lost.
QByteArray encodeUtf8(QStringView text, bool &lost)
{
    QByteArray out;
    out.reserve(text.size() * 3);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(char16_t(u), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(u)) {
            u = kReplacement;
            lost = true;
        }
        if (u < 0x80) {
            out.append(char(u));
        } else if (u < 0x800) {
            out.append(char(0xC0 | (u >> 6)));
            out.append(char(0x80 | (u & 0x3F)));
        } else if (u < 0x10000) {
            out.append(char(0xE0 | (u >> 12)));
            out.append(char(0x80 | ((u >> 6) & 0x3F)));
            out.append(char(0x80 | (u & 0x3F)));
        } else {
            out.append(char(0xF0 | (u >> 18)));
            out.append(char(0x80 | ((u >> 12) & 0x3F)));
            out.append(char(0x80 | ((u >> 6) & 0x3F)));
            out.append(char(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

// UTF-8 to UTF-16 with U+FFFD for invalid sequences. A leading byte-order mark stays a character, as
// it does on Windows; Qt's decoder would drop it.
QString decodeUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QChar(char16_t(0xFEFF)) + QString::fromUtf8(bytes.sliced(3));
    return QString::fromUtf8(bytes);
}

// True when bytes are well-formed UTF-8: no overlong forms, surrogates or values above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;
            else if (b == 0xED)
                hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (n - i < len)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

// Strict conversion through iconv; false when any byte is invalid or incomplete.
bool decodeStrict(QByteArrayView bytes, const std::string &from, QString &out)
{
    const IconvHandle &cd = converter(kUtf16Host, from);
    if (!cd.valid())
        return false;
    QString result;
    result.reserve(bytes.size());
    std::vector<char16_t> buf(4096);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    for (;;) {
        char *outp = reinterpret_cast<char *>(buf.data());
        size_t outLeft = buf.size() * sizeof(char16_t);
        const size_t rc = inLeft > 0 ? iconv(cd.get(), &in, &inLeft, &outp, &outLeft)
                                     : iconv(cd.get(), nullptr, nullptr, &outp, &outLeft);
        const int err = errno;
        result.append(reinterpret_cast<const QChar *>(buf.data()),
                      reinterpret_cast<char16_t *>(outp) - buf.data());
        if (rc == size_t(-1) && err != E2BIG)
            return false;
        if (rc != size_t(-1) && inLeft == 0 && outp == reinterpret_cast<char *>(buf.data()))
            break;
    }
    out = result;
    return true;
}

// Lenient conversion through iconv: a rejected byte of a single-byte code page becomes the C1
// control of the same value (as Windows maps the holes of 1252 and 1251), any other rejected or
// truncated sequence U+FFFD for one byte.
QString decodeLenient(QByteArrayView bytes, const Charset &cs)
{
    const IconvHandle &cd = converter(kUtf16Host, cs.name);
    if (!cd.valid()) {
        // Unsupported code page: keep ASCII, replace the rest.
        QString ascii(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            ascii[i] = b < 0x80 ? QChar(b) : QChar(kReplacement);
        }
        return ascii;
    }
    QString result;
    result.reserve(bytes.size());
    std::vector<char16_t> buf(4096);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char *outp = reinterpret_cast<char *>(buf.data());
        size_t outLeft = buf.size() * sizeof(char16_t);
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outp, &outLeft);
        const int err = errno;
        result.append(reinterpret_cast<const QChar *>(buf.data()),
                      reinterpret_cast<char16_t *>(outp) - buf.data());
        if (rc != size_t(-1) || err == E2BIG)
            continue;
        // EILSEQ or EINVAL: the byte at `in` starts nothing valid.
        const auto b = static_cast<unsigned char>(*in);
        if (cs.singleByte && b >= 0x80 && b <= 0x9F)
            result.append(QChar(char16_t(b)));
        else
            result.append(QChar(kReplacement));
        ++in;
        --inLeft;
        cd.reset();
    }
    return result;
}

} // namespace

QByteArray fromUnicode(QStringView text, unsigned cp, char defaultChar, bool *usedDefault)
{
    bool lost = false;
    QByteArray out;
    const Charset cs = charsetFor(cp);
    if (cs.utf8) {
        out = encodeUtf8(text, lost);
    } else if (cs.asciiCompatible && isAscii(text)) {
        out = text.toLatin1();
    } else {
        const char subst = defaultChar ? defaultChar : '?';
        const IconvHandle &cd = converter(cs.name, kUtf16Host);
        if (!cd.valid()) {
            // Unsupported code page: keep ASCII, replace the rest.
            out.reserve(text.size());
            for (const QChar ch : text) {
                if (ch.unicode() < 0x80) {
                    out.append(char(ch.unicode()));
                } else if (!ch.isLowSurrogate()) {
                    out.append(subst);
                    lost = true;
                }
            }
        } else {
            out.reserve(text.size() * 2);
            std::vector<char> buf(4096);
            char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
            size_t inLeft = size_t(text.size()) * sizeof(char16_t);
            bool flushed = false;
            while (inLeft > 0 || !flushed) {
                char *outp = buf.data();
                size_t outLeft = buf.size();
                size_t rc;
                if (inLeft > 0) {
                    rc = iconv(cd.get(), &in, &inLeft, &outp, &outLeft);
                } else {
                    rc = iconv(cd.get(), nullptr, nullptr, &outp, &outLeft);
                    flushed = rc != size_t(-1) || errno != E2BIG;
                }
                const int err = errno;
                out.append(buf.data(), outp - buf.data());
                if (rc != size_t(-1) || err == E2BIG || inLeft == 0)
                    continue;
                // EILSEQ (no mapping, lone surrogate) or EINVAL (high surrogate at the end):
                // one code point becomes the default character.
                char16_t unit;
                std::memcpy(&unit, in, sizeof unit);
                size_t skip = 2;
                if (QChar::isHighSurrogate(unit) && inLeft >= 4) {
                    char16_t next;
                    std::memcpy(&next, in + 2, sizeof next);
                    if (QChar::isLowSurrogate(next))
                        skip = 4;
                }
                in += skip;
                inLeft -= skip;
                const char raw = char(unit);
                if (cs.singleByte && unit >= 0x80 && unit <= 0x9F
                    && decodeLenient(QByteArrayView(&raw, 1), cs) == QChar(unit)) {
                    // The holes of 1252 and 1251 decode to the C1 control of the same value; map
                    // it back so that such text survives a rewrite unchanged.
                    out.append(raw);
                } else {
                    out.append(subst);
                    lost = true;
                }
            }
        }
    }
    if (usedDefault)
        *usedDefault = lost;
    return out;
}

QString toUnicode(QByteArrayView bytes, unsigned cp)
{
    if (bytes.isEmpty())
        return {};
    if (cp == kSystemAnsi) {
        const Charset locale = charsetFor(kSystemAnsi);
        if (isAscii(bytes))
            return QString::fromLatin1(bytes);
        if (locale.utf8) {
            if (isValidUtf8(bytes))
                return decodeUtf8(bytes);
        } else {
            QString strict;
            if (decodeStrict(bytes, locale.name, strict))
                return strict;
        }
        const unsigned legacy = legacyCodePage();
        return legacy == kSystemAnsi ? QString::fromLatin1(bytes) : toUnicode(bytes, legacy);
    }
    const Charset cs = charsetFor(cp);
    if (cs.utf8)
        return decodeUtf8(bytes);
    if (cs.asciiCompatible && isAscii(bytes))
        return QString::fromLatin1(bytes);
    return decodeLenient(bytes, cs);
}

unsigned systemWriteCodePage()
{
    return windowsNumberOf(localeCodeSet());
}

unsigned legacyCodePage()
{
    constexpr unsigned kDefaultLegacy = 1252;
    const QByteArray env = qgetenv("TARVOLO_LEGACY_CODEPAGE").trimmed();
    if (env.isEmpty())
        return kDefaultLegacy;
    bool ok = false;
    const unsigned cp = env.toUInt(&ok);
    if (!ok || cp == kSystemAnsi || !isSupported(cp))
        return kDefaultLegacy;
    return cp;
}

bool isSupported(unsigned cp)
{
    const Charset cs = charsetFor(cp);
    if (cs.utf8)
        return true;
    return converter(cs.name, kUtf16Host).valid() && converter(kUtf16Host, cs.name).valid();
}

} // namespace codepage
