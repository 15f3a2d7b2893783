#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// A Windows private-profile (INI) file such as item.cfg or tvl.cfg, with the Windows semantics of
// reading and writing: section and key names match case-insensitively and ignore surrounding
// blanks, the first section or key of a name wins, values are trimmed and lose one pair of matching
// outer quotes, comments are lines starting with ';', lines before the first header belong to no
// section. The file is parsed once and kept in memory for a series of reads and writes; writes
// change only the line they concern (or add a key after the last key line of its section, a section
// at the end of the file) and are saved by flush() or the destructor through a temporary file and
// an atomic rename, so a failed write leaves the old file. Lines not written keep their bytes.
//
// Encoding: a file starting with FF FE stays UTF-16 LE; any other file is ANSI, read in the
// locale's code set when the whole file is valid there, else in the legacy Windows code page, and
// written back in the code page it was read in. Text that code page cannot hold converts the file
// to the locale's UTF-8 instead of losing characters. A leading UTF-8 mark stays in place and does
// not hide the first header. New and rewritten lines end in CR LF.
//
// A file that exists but cannot be read (or exceeds 64 MiB) reads as empty and refuses writes, so
// it is never replaced. Line breaks inside written names and values become spaces. One object per
// file at a time: a flush replaces whatever another writer put there since the load. Never throws.
//
// Sections are indexed by name when the file is read, a section's keys at the first lookup in it,
// so a read or a write costs the same however many lines the file has.
class CProfileFile
{
public:
    static constexpr int kMaxValueLength = 2598; // characters a read returns at most

    explicit CProfileFile(const QString &path);
    ~CProfileFile(); // flushes pending writes
    CProfileFile(const CProfileFile &) = delete;
    CProfileFile &operator=(const CProfileFile &) = delete;

    QString path() const;

    // The value of key in section, cut to kMaxValueLength characters; defaultValue (with trailing
    // spaces dropped, as Windows does) when the file, section or key is missing.
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;

    // The value read as an integer with leading-number semantics ("12abc" → 12, "-3" → -3, "0x10" →
    // 16, "0o17" → 15, "0b101" → 5, garbage → 0, wrapping at 32 bits); defaultValue when the key is
    // missing or its value empty.
    int readInt(const QString &section, const QString &key, int defaultValue = 0) const;

    // The section names in file order (duplicates included) and the key names of the first section
    // of that name (lines with '=' only, duplicates included).
    QStringList sectionNames() const;
    QStringList keyNames(const QString &section) const;

    // Sets key in section to value, creating the key after the section's last key line or the
    // section at the end of the file; an existing key keeps its spelling and the text before its
    // value. Writing the value a key already holds changes nothing. Buffered until flush().
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInt(const QString &section, const QString &key, int value); // written with "%d"

    // Removes the first key line of key in section, as Windows does when asked to write no value;
    // the header and every other line stay. False (nothing changes) when there is no such key.
    bool removeKey(const QString &section, const QString &key);

    // Writes pending changes to disk; true when nothing was pending or the write succeeded, false
    // when it failed or a write since the last flush was refused (the file is then unchanged).
    bool flush();

    // Deletes the file on disk and forgets its content, before a full rewrite. True when no file is
    // left.
    bool deleteFile();

private:
    struct Data;
    std::unique_ptr<Data> d;
};
