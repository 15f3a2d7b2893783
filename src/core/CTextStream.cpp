#include "core/CTextStream.h"

#include <QFile>
#include <QSaveFile>

CTextStream::CTextStream() = default;

CTextStream::~CTextStream()
{
    CTextStream::close();
}

bool CTextStream::isOpen() const
{
    return (m_file && m_file->isOpen()) || (m_save && m_save->isOpen());
}

// Releases the file without committing anything: an uncommitted temporary of a writer is discarded.
void CTextStream::close()
{
    m_file.reset();
    if (m_save) {
        m_save->cancelWriting();
        m_save.reset();
    }
    m_bufferPos = -1;
    m_bytesInBuffer = 0;
    m_firstLine = true;
}
