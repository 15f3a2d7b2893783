#include "core/CTextReader.h"

#include "core/CodePage.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
constexpr char16_t kReplacement = 0xFFFD;
constexpr int kChunkUnits = CTextStream::kBufferSize - 1; // units gathered before moving to the line

// Upper bound for the whole-text reservation; larger texts grow as they are read.
constexpr qint64 kMaxReserveUnits = qint64(1) << 27;

} // namespace

CTextReader::CTextReader(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_eof = true;
        return;
    }
    m_fileLength = std::max<qint64>(file->size(), 0);
    m_file = std::move(file);
    detectEncoding();
}

CTextReader::~CTextReader()
{
    CTextReader::close();
}

void CTextReader::close()
{
    CTextStream::close();
    m_hasPending = false;
    m_pending = 0;
}

// Reads the byte-order mark; without one the file is ANSI and is read again from its first byte.
void CTextReader::detectEncoding()
{
    const auto b0 = static_cast<unsigned char>(readByte());
    const auto b1 = static_cast<unsigned char>(readByte());
    if (!m_eof) {
        if (b0 == 0xFF && b1 == 0xFE) {
            m_encoding = Utf16LE;
            return;
        }
        if (b0 == 0xFE && b1 == 0xFF) {
            m_encoding = Utf16BE;
            return;
        }
        if (b0 == 0xEF && b1 == 0xBB && static_cast<unsigned char>(readByte()) == 0xBF && !m_eof) {
            m_encoding = Utf8;
            return;
        }
    }
    m_encoding = Ansi;
    m_file->seek(0);
    m_bufferPos = -1;
    m_bytesInBuffer = 0;
    m_firstLine = true;
    m_hasPending = false;
    m_eof = false;
}

// The next byte of the file, or 0 with the end-of-file flag set when no byte is left.
char CTextReader::readByte()
{
    if (m_bufferPos + 1 >= m_bytesInBuffer) {
        const qint64 n = m_file ? m_file->read(m_buffer.data(), kBufferSize) : 0;
        m_bufferPos = -1;
        if (n <= 0) {
            m_bytesInBuffer = 0;
            m_eof = true;
            return 0;
        }
        m_bytesInBuffer = int(n);
    }
    return m_buffer[size_t(++m_bufferPos)];
}

// The next UTF-16 unit of encodings 1-3, or 0 with the end-of-file flag set. A sequence cut off by
// the end of the file gives U+FFFD; the flag is then set again by the next read.
char16_t CTextReader::readChar()
{
    const auto b0 = static_cast<unsigned char>(readByte());
    if (m_eof)
        return 0;
    if (m_encoding == Utf16BE || m_encoding == Utf16LE) {
        const auto b1 = static_cast<unsigned char>(readByte());
        if (m_eof) {
            m_eof = false;
            return kReplacement;
        }
        return m_encoding == Utf16BE ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
    }
    int ones = 0;
    while (ones < 8 && (b0 & (0x80 >> ones)))
        ++ones;
    if (ones == 0)
        return b0;
    if (ones != 2 && ones != 3)
        return kReplacement;
    const auto b1 = static_cast<unsigned char>(readByte());
    if (m_eof) {
        m_eof = false;
        return kReplacement;
    }
    if (ones == 2)
        return char16_t((b0 & 0x1F) << 6 | (b1 & 0x3F));
    const auto b2 = static_cast<unsigned char>(readByte());
    if (m_eof) {
        m_eof = false;
        return kReplacement;
    }
    return char16_t((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F));
}

char16_t CTextReader::nextUnit()
{
    if (m_hasPending) {
        m_hasPending = false;
        return m_pending;
    }
    if (m_encoding == Ansi)
        return static_cast<unsigned char>(readByte());
    return readChar();
}

bool CTextReader::readLine(QString &line)
{
    if (!isOpen() || m_eof)
        return false;

    char16_t c = nextUnit();
    if (m_firstLine) {
        m_firstLine = false;
    } else {
        if (c == kCr && !m_eof)
            c = nextUnit();
        if (c == kLf && !m_eof)
            c = nextUnit();
    }

    QString result;
    if (m_encoding == Ansi) {
        QByteArray bytes;
        char chunk[kBufferSize];
        int used = 0;
        while (!m_eof && c != kCr && c != kLf) {
            chunk[used++] = char(c);
            if (used == kChunkUnits) {
                bytes.append(chunk, used);
                used = 0;
            }
            c = nextUnit();
        }
        bytes.append(chunk, used);
        result = codepage::toUnicode(bytes, m_codePage);
    } else {
        char16_t chunk[kBufferSize];
        int used = 0;
        while (!m_eof && c != kCr && c != kLf) {
            chunk[used++] = c;
            if (used == kChunkUnits) {
                result.append(reinterpret_cast<const QChar *>(chunk), used);
                used = 0;
            }
            c = nextUnit();
        }
        result.append(reinterpret_cast<const QChar *>(chunk), used);
    }

    m_pending = c;
    m_hasPending = true;
    line = std::move(result);
    return true;
}

bool CTextReader::readWholeText(QString &text, const QString &separator)
{
    if (!isOpen())
        return false;
    qint64 capacity = m_fileLength;
    if (m_encoding == Utf16BE || m_encoding == Utf16LE)
        capacity /= 2;
    capacity = std::min(capacity + 2, kMaxReserveUnits);

    QString result;
    result.reserve(qsizetype(capacity));
    QString line;
    bool first = true;
    while (readLine(line)) {
        if (!first)
            result.append(separator);
        first = false;
        result.append(line);
    }
    text = std::move(result);
    return true;
}
