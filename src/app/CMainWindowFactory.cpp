// The program's main window: the element bar.
#include "app/CVexlorApp.h"
#include "app/bar/CBarMainWindow.h"

std::unique_ptr<IMainWindow> CVexlorApp::createMainWindow(CScriptFolders &folders, bool startHidden)
{
    return std::make_unique<CBarMainWindow>(folders, startHidden);
}
