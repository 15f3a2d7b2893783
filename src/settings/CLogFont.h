#pragma once

#include <QFont>
#include <QString>
#include <QtGlobal>

// A font description with the fields of a Windows LOGFONT, as the settings store keeps it. Heights
// are in pixels with LOGFONT's sign: negative = character height, positive = cell height, 0 =
// default size. All zero (the default) stands for "no description of its own".
struct CLogFont
{
    int lfHeight = 0;
    int lfWidth = 0;       // average character width; 0 = fitting the height
    int lfEscapement = 0;  // tenths of a degree; no Qt counterpart, kept for the store
    int lfOrientation = 0; // tenths of a degree; no Qt counterpart, kept for the store
    int lfWeight = 0;      // 0 = normal, else 1..1000 (400 normal, 700 bold)
    quint8 lfItalic = 0;
    quint8 lfUnderline = 0;
    quint8 lfStrikeOut = 0;
    quint8 lfCharSet = 0;        // no Qt counterpart, kept for the store
    quint8 lfOutPrecision = 0;   // no Qt counterpart, kept for the store
    quint8 lfClipPrecision = 0;  // no Qt counterpart, kept for the store
    quint8 lfQuality = 0;        // 3 = no antialiasing, 4..6 = antialiased
    quint8 lfPitchAndFamily = 0; // low bits pitch (1 fixed, 2 variable), high nibble family
    QString lfFaceName;          // at most kMaxFaceName characters

    static constexpr int kMaxFaceName = 31;

    // "Tahoma", -11: the description used where no other is given.
    static CLogFont generic();
    // "Courier New", -13: the description of the editor and output fonts.
    static CLogFont courierNew();

    // The face cut to kMaxFaceName characters (never between the halves of a surrogate pair).
    static QString fittedFaceName(const QString &face);

    // The nearest QFont. Escapement, orientation, width, character set and precisions have no
    // counterpart; a positive (cell) height is converted with the font's metrics when a GUI exists.
    QFont toQFont() const;
    // The description of font. Fields a QFont does not carry come from base.
    static CLogFont fromQFont(const QFont &font, const CLogFont &base = generic());

    bool operator==(const CLogFont &) const = default;
};
