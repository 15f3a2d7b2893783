#include "ui/CPrompt.h"

#include "ui/CDialogPrompt.h"

#include <QCoreApplication>

namespace {

CDialogPrompt g_dialogs;
IPrompt *g_installed = nullptr; // a test's prompt, not owned

} // namespace

IPrompt &CPrompt::current()
{
    return g_installed ? *g_installed : static_cast<IPrompt &>(g_dialogs);
}

IPrompt *CPrompt::install(IPrompt *prompt)
{
    IPrompt *previous = g_installed;
    g_installed = prompt;
    return previous;
}

QString CPrompt::applicationTitle()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Tarvolo") : name;
}

void CPrompt::error(QWidget *parent, const QString &text)
{
    message(parent, QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok);
}

void CPrompt::information(QWidget *parent, const QString &text)
{
    message(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok);
}

bool CPrompt::confirm(QWidget *parent, const QString &caption, const QString &text)
{
    return message(parent, QMessageBox::Warning, caption, text,
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton CPrompt::message(QWidget *parent, QMessageBox::Icon icon,
                                             const QString &caption, const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return current().message(parent, icon, caption, text, buttons, defaultButton);
}

QString CPrompt::openFileName(QWidget *parent, const QString &caption, const QString &folder,
                              const QString &filter)
{
    return current().openFileName(parent, caption, folder, filter);
}

QString CPrompt::saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                              const QString &filter)
{
    return current().saveFileName(parent, caption, folder, filter);
}

QString CPrompt::existingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    return current().existingFolder(parent, caption, folder);
}
