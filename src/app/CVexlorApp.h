#pragma once

#include "app/CCommandLine.h"
#include "app/IMainWindow.h"
#include "settings/CScriptFolders.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CSettingsStore;
class CSingleInstance;
class CWelcomeDlg;
class IAutostart;

// The life of the program after QApplication exists: the single instance, the settings, the
// welcome dialog, the main window's run and the saving at its end.
class CVexlorApp : public QObject
{
    Q_OBJECT
public:
    // Makes the main window for the script folder list and the hidden start.
    using MainWindowFactory =
        std::function<std::unique_ptr<IMainWindow>(CScriptFolders &folders, bool startHidden)>;
    // Shows the welcome dialog modally over the script folder list.
    using WelcomeRunner = std::function<void(CScriptFolders &folders)>;

    // What the run works with; tests give their own store, autostart, instance folder and windows.
    struct Parts
    {
        CSettingsStore *store = nullptr; // null = the program's store
        IAutostart *autostart = nullptr; // null = the XDG autostart entry of this executable
        QString instanceFolder;          // empty = the user's runtime folder
        MainWindowFactory mainWindow;    // empty = the bar
        WelcomeRunner welcome;           // empty = CWelcomeDlg
    };

    CVexlorApp();
    explicit CVexlorApp(Parts parts, QObject *parent = nullptr);
    ~CVexlorApp() override;

    // Runs the program for the command line and answers the process's exit code: 0 for a start
    // handed to the running instance, a Close, and a normal end; 1 when the main window could not
    // start. Needs a QApplication; runs its event loop.
    int run(const CCommandLine &commandLine);

    CScriptFolders &scriptFolders() { return m_folders; }

    // The version stamp at the root of the store: where it is not this version's, it is written and
    // the saved window layout ("Workspace") goes. True when it was renewed.
    static bool renewVersionStamp(CSettingsStore &store);
    // Installs Qt's translations of its standard texts for the user's language, when there are any.
    static void installQtTranslations();
    // Shows the about dialog modally over parent.
    static void showAbout(QWidget *parent);
    // The main window this build has: the bar when it is built in, else a small folder window.
    static std::unique_ptr<IMainWindow> createMainWindow(CScriptFolders &folders, bool startHidden);

private:
    void onCommand(const QByteArray &command);
    void saveSettings();

    Parts m_parts;
    CScriptFolders m_folders;
    std::unique_ptr<IAutostart> m_ownAutostart;
    CSingleInstance *m_instance = nullptr;
    std::unique_ptr<IMainWindow> m_mainWindow;
    QPointer<CWelcomeDlg> m_welcome; // while the welcome dialog is open
    bool m_exitRequested = false;    // a Close came before the main window ran
    bool m_starting = false;         // inside the main window's initialise()
    bool m_finished = false;         // the main window has finished
};
