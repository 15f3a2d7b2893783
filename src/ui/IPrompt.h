#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Everything modal that asks the user something small: message boxes and file and folder choosers.
// The program reaches it only through CPrompt, so that tests can answer in place of the user.
class IPrompt
{
public:
    virtual ~IPrompt();

    // Shows text under caption with the buttons; returns the button chosen, or the escape answer
    // (Cancel, No or the only button) when the box was closed otherwise.
    virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &caption, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;

    // The chosen path, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString existingFolder(QWidget *parent, const QString &caption,
                                   const QString &folder) = 0;
};
