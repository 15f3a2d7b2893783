#pragma once

#include "app/IMainWindow.h"

#include <QPointer>

class CScriptFolders;
class CStaticLabel;
#include <QWidget>

// The main window of a build without the element bar: a small window that names the current
// script folder and offers About and Exit, so that start-up, the single instance and the settings
// work end to end on their own.
class CStandInWindow : public IMainWindow
{
    Q_OBJECT
public:
    CStandInWindow(CScriptFolders &folders, bool startHidden, QObject *parent = nullptr);
    ~CStandInWindow() override;

    bool initialise() override;
    void showBar() override;
    void requestExit() override;
    void setAboutHandler(std::function<void(QWidget *parent)> handler) override;

    QWidget *window() const { return m_window; }

private:
    CScriptFolders &m_folders;
    bool m_startHidden;
    QPointer<QWidget> m_window;
    CStaticLabel *m_folderLabel = nullptr;
    std::function<void(QWidget *)> m_about;
    bool m_inModal = false;     // the about dialog is open
    bool m_exitPending = false; // Exit waits for the about dialog to close
};
