#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Conversion between UTF-16 and the byte encodings that Windows calls code pages.
//
// Code page 0 is the system "ANSI" code page. Writing uses the locale's code set (normally UTF-8; the
// plain C locale counts as UTF-8). Reading bytes that carry no byte-order mark uses the locale's code set
// when the bytes are valid in it, otherwise the legacy Windows code page (1252, or the number in
// $TARVOLO_LEGACY_CODEPAGE), so that files written on Windows read correctly. Explicit code pages (1252,
// 1251, 932, 65001, …) convert exactly as Windows does.
namespace codepage {

inline constexpr unsigned kSystemAnsi = 0;
inline constexpr unsigned kUtf8 = 65001;

// Converts text to bytes in code page cp. A character the code page cannot hold becomes defaultChar
// (0 = the code page's own default, '?') and sets *usedDefault; otherwise *usedDefault is set false.
QByteArray fromUnicode(QStringView text, unsigned cp, char defaultChar = 0,
                       bool *usedDefault = nullptr);

// Converts bytes in code page cp to text. Bytes that have no character in the code page become U+FFFD
// (UTF-8) or the code page's own mapping; it never fails.
QString toUnicode(QByteArrayView bytes, unsigned cp);

// The code page that code page 0 writes in: 65001 for a UTF-8 locale, else the locale's Windows number
// where one exists.
unsigned systemWriteCodePage();

// The Windows code page assumed for text without a mark that is not valid in the locale's code set.
unsigned legacyCodePage();

// True when the code page can be converted on this machine.
bool isSupported(unsigned cp);

} // namespace codepage
