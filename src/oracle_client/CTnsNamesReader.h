#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Reads the net service names out of a tnsnames.ora file, as the Oracle client resolves them: every
// alias of an entry `NAME[, NAME ...] = (...)`, upper-cased (a to z), in file order with duplicates
// kept. A `NAME = value` line without parentheses defines nothing and the entries after it still
// count; `IFILE = path` reads the names of the named file in its place (a relative path is taken
// from the including file's folder), with include loops and depth guarded. Comments run from '#' to
// the end of the line. Nothing here reports an error: what cannot be read gives no names.
class CTnsNamesReader
{
public:
    // Files larger than this are not read at all (a tnsnames file of a real site is a few hundred
    // kilobytes at most; a huge or binary file must not stall the dialog that lists the names).
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;
    // How deep IFILE lines may nest.
    static constexpr int kMaxIncludeDepth = 8;
    // How many files one read takes in all, so that a file that includes another many times over
    // cannot multiply the work.
    static constexpr int kMaxFiles = 64;

    // The names of the file at path, with its includes.
    static QStringList readFile(const QString &path);

    // The names of text. includeNames answers an IFILE line's path (as written, quotes removed)
    // with the names of that file; without it IFILE lines give nothing.
    static QStringList
    readText(const QString &text,
             const std::function<QStringList(const QString &path)> &includeNames = {});
};
