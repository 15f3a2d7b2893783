#pragma once

#include <QString>

#include <array>
#include <memory>

class QFile;
class QSaveFile;

// The state shared by the buffered text reader and writer: the file, its encoding and a 1024-byte buffer.
// A closed stream has no file, buffer position -1 and the first-line flag set.
class CTextStream
{
public:
    enum Encoding : int {
        Ansi = 0,      // bytes in a code page (0 = the system ANSI code page), no byte-order mark
        Utf16BE = 1,   // FE FF
        Utf16LE = 2,   // FF FE
        Utf8 = 3,      // EF BB BF
    };
    static constexpr int kBufferSize = 1024;

    virtual ~CTextStream();
    CTextStream(const CTextStream &) = delete;
    CTextStream &operator=(const CTextStream &) = delete;

    bool isOpen() const;
    int encoding() const { return m_encoding; }

    // Replacement for characters that the ANSI code page cannot hold; 0 = the code page's own.
    void setDefaultChar(char c) { m_defaultChar = c; }
    // Code page of the ANSI encoding; 0 = the system ANSI code page.
    void setCodePage(unsigned cp) { m_codePage = cp; }
    unsigned codePage() const { return m_codePage; }
    // Set when writing ANSI had to replace a character with the default character.
    bool dataLost() const { return m_dataLost; }

    virtual void close();

protected:
    CTextStream();

    int m_encoding = Ansi;
    std::unique_ptr<QFile> m_file;     // read side; none after close
    std::unique_ptr<QSaveFile> m_save; // write side: a temporary that replaces the target on close
    bool m_ownsFile = true;
    bool m_eof = false;
    std::array<char, kBufferSize> m_buffer{};
    int m_bufferPos = -1;   // index of the last byte used; -1 = empty
    int m_bytesInBuffer = 0; // reader: bytes the last block read gave
    char m_defaultChar = 0;
    bool m_dataLost = false;
    unsigned m_codePage = 0;
    bool m_firstLine = true;
};
