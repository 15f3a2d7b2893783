#include "ui/CScriptedPrompt.h"

#include "ui/CPrompt.h"

CScriptedPrompt::CScriptedPrompt() : m_previous(CPrompt::install(this)) {}

CScriptedPrompt::~CScriptedPrompt() { CPrompt::install(m_previous); }

QStringList CScriptedPrompt::messages() const
{
    QStringList texts;
    for (const Asked &a : m_asked)
        if (a.kind == Kind::Message)
            texts.append(a.text);
    return texts;
}

QMessageBox::StandardButton CScriptedPrompt::message(QWidget *, QMessageBox::Icon icon,
                                                     const QString &caption, const QString &text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton)
{
    m_asked.append({Kind::Message, icon, caption, text, buttons, {}});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    for (QMessageBox::StandardButton b :
         {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok, QMessageBox::Yes})
        if (buttons.testFlag(b))
            return b;
    return QMessageBox::NoButton;
}

QString CScriptedPrompt::nextFileName(Kind kind, const QString &caption, const QString &folder)
{
    m_asked.append({kind, QMessageBox::NoIcon, caption, {}, {}, folder});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString CScriptedPrompt::openFileName(QWidget *, const QString &caption, const QString &folder,
                                      const QString &)
{
    return nextFileName(Kind::OpenFile, caption, folder);
}

QString CScriptedPrompt::saveFileName(QWidget *, const QString &caption, const QString &folder,
                                      const QString &)
{
    return nextFileName(Kind::SaveFile, caption, folder);
}

QString CScriptedPrompt::existingFolder(QWidget *, const QString &caption, const QString &folder)
{
    return nextFileName(Kind::Folder, caption, folder);
}
