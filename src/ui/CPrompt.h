#pragma once

#include "ui/IPrompt.h"

// The one way the program asks the user: every message box and file or folder chooser goes through
// the prompt installed here (the QMessageBox one unless a test installed its own).
class CPrompt
{
public:
    // The prompt in use; never null.
    static IPrompt &current();
    // Installs a prompt (not owned) and returns the one it replaces; null brings the real dialogs
    // back.
    static IPrompt *install(IPrompt *prompt);

    // The caption of the program's own messages: the application's name.
    static QString applicationTitle();

    // A failure report: the text with an OK button under the application's title.
    static void error(QWidget *parent, const QString &text);
    // An informational message: OK under the caption "Information".
    static void information(QWidget *parent, const QString &text);
    // A Yes/No question with a warning icon; true only for Yes.
    static bool confirm(QWidget *parent, const QString &caption, const QString &text);

    static QMessageBox::StandardButton
    message(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QString openFileName(QWidget *parent, const QString &caption, const QString &folder = {},
                                const QString &filter = {});
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &folder = {},
                                const QString &filter = {});
    static QString existingFolder(QWidget *parent, const QString &caption,
                                  const QString &folder = {});
};
