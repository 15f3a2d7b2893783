// The main window this build has: the element bar when src/bar is built in, else the stand-in.
#include "app/CVexlorApp.h"

#ifdef TARVOLO_HAVE_BAR
#include "app/bar/CBarMainWindow.h"
#else
#include "app/CStandInWindow.h"
#endif

std::unique_ptr<IMainWindow> CVexlorApp::createMainWindow(CScriptFolders &folders, bool startHidden)
{
#ifdef TARVOLO_HAVE_BAR
    return std::make_unique<CBarMainWindow>(folders, startHidden);
#else
    return std::make_unique<CStandInWindow>(folders, startHidden);
#endif
}
