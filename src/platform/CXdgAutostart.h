#pragma once

#include "platform/IAutostart.h"

#include <QString>

// Autostart through the XDG autostart folder: the desktop entry
// $XDG_CONFIG_HOME/autostart/tarvolo.desktop
// (~/.config/autostart when the variable is unset or not absolute) that runs the executable with "
// /hide".
class CXdgAutostart : public IAutostart
{
public:
    // executablePath empty = the running program (QCoreApplication::applicationFilePath()).
    explicit CXdgAutostart(const QString &executablePath = QString());

    bool setEnabled(bool enabled) override;
    bool isEnabled() const override;

    // Where the entry lies, from the environment at the time of the call.
    static QString entryPath();
    // The Exec= value: the path quoted and escaped as desktop entries require, then " /hide".
    static QString execLine(const QString &executablePath);
    // The whole desktop entry for the executable.
    static QByteArray entryText(const QString &executablePath);

private:
    QString m_executablePath; // the program the entry starts
};
