#pragma once

#include "core/CTextStream.h"

#include <QString>

// Writes UTF-16 text in one of the four encodings, with the encoding's byte-order mark written at once.
// The bytes go to a temporary file in the target's folder that replaces the target on close, so a failed
// or interrupted write leaves the old file whole. A file that cannot be created makes every write a no-op.
class CTextWriter : public CTextStream
{
public:
    CTextWriter(const QString &path, int encoding, unsigned codePage = 0);
    ~CTextWriter() override; // closes (and so commits) the file

    // Converts and buffers text; line breaks are written as they stand.
    void writeText(const QString &text);

    // Flushes the buffer and replaces the target with what was written. False when anything failed; the
    // old file is then left as it was.
    bool commit();

    void close() override;

private:
    void putBytes(const char *data, qsizetype size);
    void flushBuffer();
    bool m_failed = false;
};
