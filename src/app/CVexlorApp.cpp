#include "app/CVexlorApp.h"

#include "app/CAboutDlg.h"
#include "app/CWelcomeDlg.h"
#include "core/Version.h"
#include "platform/CSingleInstance.h"
#include "platform/CXdgAutostart.h"
#include "settings/CSettingsStore.h"
#include "settings/Options.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const QByteArray kShow = "show";
const QByteArray kClose = "close";

} // namespace

IMainWindow::~IMainWindow() = default;

CVexlorApp::CVexlorApp() : CVexlorApp(Parts()) {}

CVexlorApp::CVexlorApp(Parts parts, QObject *parent) : QObject(parent), m_parts(std::move(parts))
{
    if (!m_parts.store)
        m_parts.store = &CSettingsStore::instance();
    if (!m_parts.autostart) {
        m_ownAutostart = std::make_unique<CXdgAutostart>();
        m_parts.autostart = m_ownAutostart.get();
    }
    if (!m_parts.mainWindow)
        m_parts.mainWindow = &CVexlorApp::createMainWindow;
    if (!m_parts.welcome) {
        m_parts.welcome = [this](CScriptFolders &folders) {
            CWelcomeDlg dialog(folders);
            m_welcome = &dialog;
            dialog.exec();
        };
    }
}

CVexlorApp::~CVexlorApp() = default;

bool CVexlorApp::renewVersionStamp(CSettingsStore &store)
{
    const QString current = QString::fromLatin1(tarvolo::kAppNameVer);
    if (store.contains(QString(), QStringLiteral("AppNameVer")) &&
        store.readString(QString(), QStringLiteral("AppNameVer")) == current)
        return false;
    store.writeString(QString(), QStringLiteral("AppNameVer"), current);
    store.removeSection(QStringLiteral("Workspace"));
    store.sync();
    return true;
}

void CVexlorApp::installQtTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void CVexlorApp::showAbout(QWidget *parent)
{
    CAboutDlg dialog(parent);
    dialog.exec();
}

int CVexlorApp::run(const CCommandLine &commandLine)
{
    installQtTranslations();
    QApplication::setQuitOnLastWindowClosed(false);

    m_instance = new CSingleInstance(m_parts.instanceFolder, this);
    if (commandLine.close) {
        // Close asks a running instance to end through its own exit, which saves; with none there
        // is nothing to close.
        if (m_instance->otherInstanceRuns())
            m_instance->send(kClose);
        return 0;
    }
    if (!m_instance->becomeRunningInstance()) {
        m_instance->send(kShow);
        return 0;
    }
    connect(m_instance, &CSingleInstance::commandReceived, this, &CVexlorApp::onCommand);

    CSettingsStore &store = *m_parts.store;
    options::load(store, *m_parts.autostart);
    m_folders.load(store);
    renewVersionStamp(store);

    if (options::ShowWelcomeDlg && !commandLine.hidden)
        m_parts.welcome(m_folders);
    if (m_exitRequested) {
        saveSettings();
        return 0;
    }

    m_mainWindow = m_parts.mainWindow(m_folders, commandLine.hidden);
    m_mainWindow->setAboutHandler(&CVexlorApp::showAbout);
    connect(
        m_mainWindow.get(), &IMainWindow::finished, this,
        [this] {
            m_finished = true;
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    m_starting = true;
    const bool started = m_mainWindow->initialise();
    m_starting = false;
    if (!started) {
        m_mainWindow.reset();
        saveSettings();
        return 1;
    }
    if (m_exitRequested)
        m_mainWindow->requestExit(); // a Close that came while the window was starting
    // finished() may come inside a modal loop of the window's start, before this loop runs.
    QCoreApplication::processEvents();
    if (!m_finished)
        QCoreApplication::exec();
    m_mainWindow.reset();
    saveSettings();
    return 0;
}

void CVexlorApp::onCommand(const QByteArray &command)
{
    if (command == kShow) {
        if (m_mainWindow) {
            m_mainWindow->showBar();
        } else if (m_welcome) {
            m_welcome->raise();
            m_welcome->activateWindow();
        }
    } else if (command == kClose) {
        if (m_mainWindow && !m_starting) {
            m_mainWindow->requestExit();
        } else {
            m_exitRequested = true;
            if (m_welcome)
                m_welcome->abandon();
        }
    }
}

void CVexlorApp::saveSettings()
{
    m_folders.save(*m_parts.store);
    options::save(*m_parts.store, *m_parts.autostart);
}
