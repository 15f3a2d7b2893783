#pragma once

#include "ui/IPrompt.h"

// The prompt the program runs with: QMessageBox and QFileDialog, modal to their parent.
class CDialogPrompt : public IPrompt
{
public:
    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
};
