#include "app/bar/CBarMainWindow.h"

#include "bar/CVexlorDlg.h"

CBarMainWindow::CBarMainWindow(CScriptFolders &folders, bool startHidden, QObject *parent)
    : IMainWindow(parent), m_dialog(std::make_unique<CVexlorDlg>(folders, startHidden))
{
    // QDialog has a finished(int) of its own; the bar's finished() is the one without arguments.
    connect(m_dialog.get(), qOverload<>(&CVexlorDlg::finished), this, &IMainWindow::finished);
}

CBarMainWindow::~CBarMainWindow() = default;

bool CBarMainWindow::initialise() { return m_dialog->initialise(); }

void CBarMainWindow::showBar() { m_dialog->showBar(); }

void CBarMainWindow::requestExit() { m_dialog->requestExit(); }

void CBarMainWindow::setAboutHandler(std::function<void(QWidget *)> handler)
{
    m_dialog->setAboutHandler(std::move(handler));
}
