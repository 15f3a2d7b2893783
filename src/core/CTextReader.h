#pragma once

#include "core/CTextStream.h"

#include <QString>

// Reads a text file in any of the four encodings, decided by its byte-order mark (none = ANSI), line by
// line or whole. CR LF, a lone CR and a lone LF each end a line; LF CR ends a line and leaves an empty one.
// Never throws: a file that cannot be opened reads as not open.
class CTextReader : public CTextStream
{
public:
    explicit CTextReader(const QString &path);
    ~CTextReader() override;

    // The next line without its line break; false when not open or at end of file. A file that ends with
    // a line break (and an empty file) yields a last, empty line.
    bool readLine(QString &line);

    // Every remaining line joined with separator; false (text untouched) when the file is not open.
    bool readWholeText(QString &text, const QString &separator = QStringLiteral("\r\n"));

    void close() override;

private:
    void detectEncoding();
    char readByte();
    char16_t readChar();
    char16_t nextUnit(); // the pending character, else the next byte or character of the encoding

    bool m_hasPending = false;
    char16_t m_pending = 0;
    qint64 m_fileLength = 0;
};
