#pragma once

#include "settings/CLogFont.h"

#include <QFont>
#include <QString>
#include <QtGlobal>

class CSettingsStore;

// A font option: the description of the font in use, its text colour (COLORREF 0x00BBGGRR) and a
// default description for every field the store lacks. Stored as fifteen values,
// "Font_<field>_<name>" for the fourteen LOGFONT fields and "Font_color_<name>".
class CFontLS
{
public:
    // Sets the description used for missing values (all zero = the generic default) and presets the
    // colour.
    void setDefault(const CLogFont &description, quint32 color);
    const CLogFont &defaultDescription() const { return m_default; }

    // Reads the option from the store over the default description and colour; never fails.
    void load(const CSettingsStore &store, const QString &section, const QString &name);
    // Writes the fifteen values; writes nothing while no font has been loaded or set.
    void save(CSettingsStore &store, const QString &section, const QString &name) const;

    bool hasFont() const { return m_hasFont; }
    // The description of the font in use (all zero while there is none).
    const CLogFont &description() const { return m_description; }
    // The font in use, made anew from the description; a default QFont while there is none.
    QFont font() const;
    // Replaces the font in use.
    void setDescription(const CLogFont &description);
    // Replaces the font in use by font; the fields a QFont does not carry stay as they were.
    void setFont(const QFont &font);

    quint32 color() const { return m_color; }
    void setColor(quint32 color) { m_color = color; }

private:
    CLogFont m_description; // the font in use
    CLogFont m_default;     // fills fields missing from the store; all zero = generic
    quint32 m_color = 0;    // COLORREF of the text
    bool m_hasFont = false; // loaded or set since construction
};
