#include "ui/CDialogPrompt.h"

#include <QFileDialog>

QMessageBox::StandardButton CDialogPrompt::message(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &caption, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    box.exec();
    // A box closed by its title bar or Esc reports its escape button; one without any reports none.
    const QMessageBox::StandardButton chosen = box.standardButton(box.clickedButton());
    if (chosen != QMessageBox::NoButton)
        return chosen;
    if (buttons.testFlag(QMessageBox::Cancel))
        return QMessageBox::Cancel;
    if (buttons.testFlag(QMessageBox::No))
        return QMessageBox::No;
    return QMessageBox::NoButton;
}

QString CDialogPrompt::openFileName(QWidget *parent, const QString &caption, const QString &folder,
                                    const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString CDialogPrompt::saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                                    const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QString CDialogPrompt::existingFolder(QWidget *parent, const QString &caption,
                                      const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}
