#include "core/CTextWriter.h"

#include "core/CodePage.h"
#include "core/SaveFile.h"

#include <QSaveFile>

CTextWriter::CTextWriter(const QString &path, int encoding, unsigned codePage)
{
    m_encoding = (encoding >= Ansi && encoding <= Utf8) ? encoding : Ansi;
    m_codePage = codePage;
    auto save = std::make_unique<QSaveFile>(path);
    if (!save->open(QIODevice::WriteOnly)) {
        m_failed = true;
        return;
    }
    m_save = std::move(save);
    switch (m_encoding) {
    case Utf16BE:
        putBytes("\xFE\xFF", 2);
        break;
    case Utf16LE:
        putBytes("\xFF\xFE", 2);
        break;
    case Utf8:
        putBytes("\xEF\xBB\xBF", 3);
        break;
    default:
        break;
    }
}

CTextWriter::~CTextWriter()
{
    CTextWriter::close();
}

void CTextWriter::putBytes(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (m_bufferPos + 1 >= kBufferSize)
            flushBuffer();
        m_buffer[size_t(++m_bufferPos)] = data[i];
    }
}

void CTextWriter::flushBuffer()
{
    if (m_bufferPos < 0)
        return;
    const qint64 size = m_bufferPos + 1;
    if (m_save && !m_failed && m_save->write(m_buffer.data(), size) != size)
        m_failed = true;
    m_bufferPos = -1;
}

void CTextWriter::writeText(const QString &text)
{
    if (!m_save)
        return;
    switch (m_encoding) {
    case Ansi: {
        bool usedDefault = false;
        const QByteArray bytes = codepage::fromUnicode(text, m_codePage, m_defaultChar, &usedDefault);
        if (usedDefault)
            m_dataLost = true;
        putBytes(bytes.constData(), bytes.size());
        break;
    }
    case Utf16BE:
    case Utf16LE:
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            const char pair[2] = {char(u >> 8), char(u & 0xFF)};
            if (m_encoding == Utf16BE) {
                putBytes(pair, 2);
            } else {
                const char swapped[2] = {pair[1], pair[0]};
                putBytes(swapped, 2);
            }
        }
        break;
    case Utf8:
        // Each unit on its own, so a surrogate pair becomes two three-byte sequences; the reader
        // joins them back into the pair.
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            char seq[3];
            qsizetype n;
            if (u < 0x80) {
                seq[0] = char(u);
                n = 1;
            } else if (u < 0x800) {
                seq[0] = char(0xC0 | (u >> 6));
                seq[1] = char(0x80 | (u & 0x3F));
                n = 2;
            } else {
                seq[0] = char(0xE0 | (u >> 12));
                seq[1] = char(0x80 | ((u >> 6) & 0x3F));
                seq[2] = char(0x80 | (u & 0x3F));
                n = 3;
            }
            putBytes(seq, n);
        }
        break;
    default:
        break;
    }
}

bool CTextWriter::commit()
{
    if (!m_save)
        return false;
    flushBuffer();
    if (m_failed)
        m_save->cancelWriting();
    const bool ok = savefile::commit(*m_save) && !m_failed;
    m_save.reset();
    m_bufferPos = -1;
    return ok;
}

void CTextWriter::close()
{
    if (m_save)
        commit();
    CTextStream::close();
}
