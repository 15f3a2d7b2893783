#include "settings/CLogFont.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxPixelSize = 4096; // beyond this a font is a mistake, not a wish

enum : quint8 {
    kFixedPitch = 1,
    kVariablePitch = 2,
    kPitchMask = 0x03,
    kFamilyMask = 0xF0,
    kRoman = 0x10,
    kSwiss = 0x20,
    kModern = 0x30,
    kScript = 0x40,
    kDecorative = 0x50,
    kNonAntialiased = 3,
    kAntialiased = 4,
    kClearTypeNatural = 6,
};

int boundedPixels(qint64 pixels)
{
    return static_cast<int>(std::clamp<qint64>(pixels, 1, kMaxPixelSize));
}

// Character height for a cell height: the cell less the internal leading, as the font's metrics
// say.
int charHeightForCell(int cellHeight)
{
    const int cell = boundedPixels(cellHeight);
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return cell;
    QFont probe;
    probe.setPixelSize(cell);
    const qreal height = QFontMetricsF(probe).height();
    return height > 0 ? boundedPixels(std::lround(cell * cell / height)) : cell;
}

qreal logicalDpi()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInchY();
    return 96.0;
}

QFont::StyleHint hintOf(quint8 pitchAndFamily)
{
    switch (pitchAndFamily & kFamilyMask) {
    case kRoman:
        return QFont::Serif;
    case kSwiss:
        return QFont::SansSerif;
    case kModern:
        return QFont::TypeWriter;
    case kScript:
        return QFont::Cursive;
    case kDecorative:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

quint8 familyOf(QFont::StyleHint hint)
{
    switch (hint) {
    case QFont::Serif:
        return kRoman;
    case QFont::SansSerif:
        return kSwiss;
    case QFont::TypeWriter:
    case QFont::Monospace:
        return kModern;
    case QFont::Cursive:
        return kScript;
    case QFont::Decorative:
    case QFont::Fantasy:
        return kDecorative;
    default:
        return 0;
    }
}

} // namespace

CLogFont CLogFont::generic()
{
    CLogFont f;
    f.lfHeight = -11;
    f.lfWeight = 400;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 2;
    f.lfQuality = 1;
    f.lfPitchAndFamily = 0x22;
    f.lfFaceName = QStringLiteral("Tahoma");
    return f;
}

CLogFont CLogFont::courierNew()
{
    CLogFont f = generic();
    f.lfHeight = -13;
    f.lfFaceName = QStringLiteral("Courier New");
    return f;
}

QString CLogFont::fittedFaceName(const QString &face)
{
    if (face.size() <= kMaxFaceName)
        return face;
    int length = kMaxFaceName;
    if (face.at(length - 1).isHighSurrogate())
        --length;
    return face.left(length);
}

QFont CLogFont::toQFont() const
{
    QFont font;
    if (!lfFaceName.isEmpty())
        font.setFamily(lfFaceName);
    if (lfHeight < 0)
        font.setPixelSize(boundedPixels(-static_cast<qint64>(lfHeight)));
    else if (lfHeight > 0)
        font.setPixelSize(charHeightForCell(lfHeight));
    font.setWeight(static_cast<QFont::Weight>(lfWeight == 0 ? 400 : qBound(1, lfWeight, 1000)));
    font.setItalic(lfItalic != 0);
    font.setUnderline(lfUnderline != 0);
    font.setStrikeOut(lfStrikeOut != 0);
    if ((lfPitchAndFamily & kPitchMask) == kFixedPitch)
        font.setFixedPitch(true);

    QFont::StyleStrategy strategy = QFont::PreferDefault;
    if (lfQuality == kNonAntialiased)
        strategy = QFont::NoAntialias;
    else if (lfQuality >= kAntialiased && lfQuality <= kClearTypeNatural)
        strategy = QFont::PreferAntialias;
    font.setStyleHint(hintOf(lfPitchAndFamily), strategy);
    return font;
}

CLogFont CLogFont::fromQFont(const QFont &font, const CLogFont &base)
{
    CLogFont f = base;
    if (font.pixelSize() > 0)
        f.lfHeight = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        f.lfHeight = -boundedPixels(std::lround(font.pointSizeF() * logicalDpi() / 72.0));
    f.lfWeight = qBound(1, static_cast<int>(font.weight()), 1000);
    f.lfItalic = font.style() != QFont::StyleNormal ? 1 : 0;
    f.lfUnderline = font.underline() ? 1 : 0;
    f.lfStrikeOut = font.strikeOut() ? 1 : 0;

    if (font.styleStrategy() & QFont::NoAntialias)
        f.lfQuality = kNonAntialiased;
    else if (font.styleStrategy() & QFont::PreferAntialias)
        f.lfQuality = kAntialiased;

    quint8 pitch = base.lfPitchAndFamily & kPitchMask;
    if (font.fixedPitch())
        pitch = kFixedPitch;
    else if (pitch == kFixedPitch)
        pitch = kVariablePitch;
    quint8 family = familyOf(font.styleHint());
    if (family == 0)
        family = base.lfPitchAndFamily & kFamilyMask;
    f.lfPitchAndFamily = static_cast<quint8>(family | pitch);
    f.lfFaceName = fittedFaceName(font.family());
    return f;
}
