#pragma once

#include "ui/IPrompt.h"

#include <QList>
#include <QQueue>

// A prompt that answers in place of the user, for tests: it installs itself for its lifetime, takes
// its answers from queues filled in advance and records every question. A message with no queued
// answer gets the escape answer (Cancel, No, else the first of Ok/Yes/the only button), a chooser
// with no queued name gets an empty string, as if the user had cancelled.
class CScriptedPrompt : public IPrompt
{
public:
    enum class Kind { Message, OpenFile, SaveFile, Folder };

    // One question as it was asked.
    struct Asked
    {
        Kind kind;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;                         // message text; empty for choosers
        QMessageBox::StandardButtons buttons; // message buttons
        QString folder;                       // chooser start folder
    };

    CScriptedPrompt();           // installs itself
    ~CScriptedPrompt() override; // puts the previous prompt back

    CScriptedPrompt(const CScriptedPrompt &) = delete;
    CScriptedPrompt &operator=(const CScriptedPrompt &) = delete;

    void pushAnswer(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    void pushFileName(const QString &path) { m_fileNames.enqueue(path); }

    const QList<Asked> &asked() const { return m_asked; }
    // The texts of the messages asked so far, in order.
    QStringList messages() const;
    void clear() { m_asked.clear(); }

    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString existingFolder(QWidget *parent, const QString &caption, const QString &folder) override;

private:
    QString nextFileName(Kind kind, const QString &caption, const QString &folder);

    IPrompt *m_previous;                           // reinstalled by the destructor
    QQueue<QMessageBox::StandardButton> m_answers; // next message answers, first out first
    QQueue<QString> m_fileNames;                   // next chooser results
    QList<Asked> m_asked;                          // every question, in order
};
