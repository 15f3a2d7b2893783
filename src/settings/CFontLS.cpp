#include "settings/CFontLS.h"

#include "settings/CSettingsStore.h"

namespace {

QString valueName(const char *field, const QString &name)
{
    return QStringLiteral("Font_%1_%2").arg(QLatin1String(field), name);
}

// The integer fields in the order of the store, read and written alike.
struct CIntField
{
    const char *name;
    int CLogFont::*member;
};
struct CByteField
{
    const char *name;
    quint8 CLogFont::*member;
};

constexpr CIntField kIntFields[] = {
    {"lfHeight", &CLogFont::lfHeight},         {"lfWidth", &CLogFont::lfWidth},
    {"lfEscapement", &CLogFont::lfEscapement}, {"lfOrientation", &CLogFont::lfOrientation},
    {"lfWeight", &CLogFont::lfWeight},
};
constexpr CByteField kByteFields[] = {
    {"lfItalic", &CLogFont::lfItalic},
    {"lfUnderline", &CLogFont::lfUnderline},
    {"lfStrikeOut", &CLogFont::lfStrikeOut},
    {"lfCharSet", &CLogFont::lfCharSet},
    {"lfOutPrecision", &CLogFont::lfOutPrecision},
    {"lfClipPrecision", &CLogFont::lfClipPrecision},
    {"lfQuality", &CLogFont::lfQuality},
    {"lfPitchAndFamily", &CLogFont::lfPitchAndFamily},
};

} // namespace

void CFontLS::setDefault(const CLogFont &description, quint32 color)
{
    m_default = description;
    m_color = color;
}

void CFontLS::load(const CSettingsStore &store, const QString &section, const QString &name)
{
    CLogFont f = m_default.lfHeight != 0 ? m_default : CLogFont::generic();
    for (const CIntField &field : kIntFields)
        f.*field.member = store.readInt(section, valueName(field.name, name), f.*field.member);
    for (const CByteField &field : kByteFields)
        f.*field.member = static_cast<quint8>(
            store.readInt(section, valueName(field.name, name), f.*field.member));
    f.lfFaceName = CLogFont::fittedFaceName(
        store.readString(section, valueName("lfFaceName", name), f.lfFaceName));
    m_color = static_cast<quint32>(
        store.readInt(section, valueName("color", name), static_cast<int>(m_color)));
    setDescription(f);
}

void CFontLS::save(CSettingsStore &store, const QString &section, const QString &name) const
{
    if (!m_hasFont)
        return;
    for (const CIntField &field : kIntFields)
        store.writeInt(section, valueName(field.name, name), m_description.*field.member);
    for (const CByteField &field : kByteFields)
        store.writeInt(section, valueName(field.name, name), m_description.*field.member);
    store.writeString(section, valueName("lfFaceName", name), m_description.lfFaceName);
    store.writeInt(section, valueName("color", name), static_cast<int>(m_color));
}

QFont CFontLS::font() const { return m_hasFont ? m_description.toQFont() : QFont(); }

void CFontLS::setDescription(const CLogFont &description)
{
    m_description = description;
    m_description.lfFaceName = CLogFont::fittedFaceName(description.lfFaceName);
    m_hasFont = true;
}

void CFontLS::setFont(const QFont &font)
{
    setDescription(CLogFont::fromQFont(font, m_hasFont ? m_description : CLogFont::generic()));
}
