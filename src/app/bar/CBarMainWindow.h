#pragma once

#include "app/IMainWindow.h"

#include <memory>

class CScriptFolders;
class CVexlorDlg;

// The element bar as start-up's main window.
class CBarMainWindow : public IMainWindow
{
    Q_OBJECT
public:
    CBarMainWindow(CScriptFolders &folders, bool startHidden, QObject *parent = nullptr);
    ~CBarMainWindow() override;

    bool initialise() override;
    void showBar() override;
    void requestExit() override;
    void setAboutHandler(std::function<void(QWidget *parent)> handler) override;

    CVexlorDlg *dialog() const { return m_dialog.get(); }

private:
    std::unique_ptr<CVexlorDlg> m_dialog;
};
