#include "app/CVexlorApp.h"

#include "platform/CSingleInstance.h"
#include "platform/IAutostart.h"
#include "settings/CSettingsStore.h"
#include "settings/Options.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class FakeAutostart : public IAutostart
{
public:
    bool setEnabled(bool enabled) override
    {
        m_enabled = enabled;
        ++m_updates;
        return true;
    }
    bool isEnabled() const override { return m_enabled; }
    bool m_enabled = false;
    int m_updates = 0;
};

// What the fake main window saw.
struct WindowLog
{
    int created = 0;
    bool startHidden = false;
    QString currentFolder;
    int shown = 0;
    int exitRequests = 0;
    bool aboutHandlerSet = false;
};

// A main window without a window: it records what start-up asks of it and runs a script once
// the event loop runs.
class FakeMainWindow : public IMainWindow
{
public:
    FakeMainWindow(WindowLog &log, bool startOk, std::function<void(FakeMainWindow &)> script)
        : m_log(log), m_startOk(startOk), m_script(std::move(script))
    {
    }
    bool initialise() override
    {
        if (m_startOk && m_script)
            QTimer::singleShot(0, this, [this] { m_script(*this); });
        return m_startOk;
    }
    void showBar() override { ++m_log.shown; }
    void requestExit() override
    {
        ++m_log.exitRequests;
        QTimer::singleShot(0, this, [this] { emit finished(); });
    }
    void setAboutHandler(std::function<void(QWidget *)> handler) override
    {
        m_log.aboutHandlerSet = bool(handler);
    }

private:
    WindowLog &m_log;
    bool m_startOk;
    std::function<void(FakeMainWindow &)> m_script;
};

// Sends command from another thread, as a later start of the program would, and keeps the event
// loop of this one running until the answer came.
bool sendFromOtherStart(const QString &folder, const QByteArray &command)
{
    std::atomic<int> answer{-1};
    std::thread other([&] {
        CSingleInstance later(folder);
        answer = later.send(command, 5000) ? 1 : 0;
    });
    while (answer < 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    other.join();
    return answer == 1;
}

class VexlorAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        options::ShowWelcomeDlg = false;
        options::LastChooseWelcome = 0;
        options::GridHeight = 20;
    }

    CVexlorApp::Parts parts(bool startOk, std::function<void(FakeMainWindow &)> script)
    {
        CVexlorApp::Parts p;
        p.store = &m_store;
        p.autostart = &m_autostart;
        p.instanceFolder = m_dir.path();
        p.mainWindow = [this, startOk, script](CScriptFolders &folders, bool hidden) {
            ++m_log.created;
            m_log.startHidden = hidden;
            m_log.currentFolder = folders.current();
            return std::make_unique<FakeMainWindow>(m_log, startOk, script);
        };
        p.welcome = [this](CScriptFolders &folders) {
            ++m_welcomes;
            folders.add(m_dir.filePath("FromWelcome"));
        };
        return p;
    }
    QString storePath() const { return m_dir.filePath("Tarvolo.conf"); }

    QTemporaryDir m_dir;
    CSettingsStore m_store{m_dir.filePath("Tarvolo.conf")};
    FakeAutostart m_autostart;
    WindowLog m_log;
    int m_welcomes = 0;
};

} // namespace

TEST_F(VexlorAppTest, LaterStartsShowTheBarAndCloseEndsItThroughItsExitWhichSaves)
{
    m_store.writeInt("Options", "GridHeight", 5);
    m_store.writeString("ScriptFolders", "Folder0", m_dir.filePath("Scripts/"));
    m_store.writeString("", "AppNameVer", "Tarvolo v 1.4");
    m_store.writeInt("Workspace", "X", 1);
    m_store.writeInt("Options", "ShowWelcomeDlg", 0);
    m_store.sync();

    const QString folder = m_dir.path();
    bool shownAnswered = false;
    bool closeAnswered = false;
    {
        CVexlorApp app(parts(true, [&](FakeMainWindow &) {
            shownAnswered = sendFromOtherStart(folder, "show");
            closeAnswered = sendFromOtherStart(folder, "close");
        }));
        EXPECT_EQ(app.run(CCommandLine{}), 0);
    }

    EXPECT_TRUE(shownAnswered);
    EXPECT_TRUE(closeAnswered);
    EXPECT_EQ(m_log.created, 1);
    EXPECT_EQ(m_log.shown, 1);
    EXPECT_EQ(m_log.exitRequests, 1);
    EXPECT_TRUE(m_log.aboutHandlerSet);
    EXPECT_EQ(m_log.currentFolder, m_dir.filePath("Scripts/"));
    EXPECT_EQ(m_welcomes, 0); // ShowWelcomeDlg is off

    // Saved after the window's life: options with their clamps, the folders, the stamp.
    CSettingsStore saved(storePath());
    EXPECT_EQ(saved.readInt("Options", "GridHeight", 0), 10);
    EXPECT_EQ(saved.readString("ScriptFolders", "Folder0"), m_dir.filePath("Scripts/"));
    EXPECT_EQ(saved.readString("", "AppNameVer"), "Tarvolo v 1.5");
    EXPECT_FALSE(saved.sectionNames().contains("Workspace"));
    EXPECT_GE(m_autostart.m_updates, 2); // renewed on load and on save
    EXPECT_TRUE(m_autostart.m_enabled);

    // The lock went with the program: the next start is the running instance at once.
    CSingleInstance next(folder);
    EXPECT_TRUE(next.becomeRunningInstance());
}

TEST_F(VexlorAppTest, TheWelcomeDialogRunsBeforeTheWindowUnlessTheStartIsHidden)
{
    options::ShowWelcomeDlg = true;
    m_store.writeInt("Options", "ShowWelcomeDlg", 1);
    {
        CVexlorApp app(parts(true, [](FakeMainWindow &w) { w.requestExit(); }));
        EXPECT_EQ(app.run(CCommandLine{}), 0);
    }
    EXPECT_EQ(m_welcomes, 1);
    EXPECT_FALSE(m_log.startHidden);
    EXPECT_EQ(m_log.currentFolder, m_dir.filePath("FromWelcome/"));

    CCommandLine hidden;
    hidden.hidden = true;
    {
        CVexlorApp app(parts(true, [](FakeMainWindow &w) { w.requestExit(); }));
        EXPECT_EQ(app.run(hidden), 0);
    }
    EXPECT_EQ(m_welcomes, 1);
    EXPECT_TRUE(m_log.startHidden);
    EXPECT_EQ(m_log.shown, 0);
}

TEST_F(VexlorAppTest, CloseWithoutARunningInstanceEndsAtOnceAndTouchesNothing)
{
    CCommandLine close;
    close.close = true;
    CVexlorApp app(parts(true, {}));
    EXPECT_EQ(app.run(close), 0);
    EXPECT_EQ(m_log.created, 0);
    EXPECT_EQ(m_autostart.m_updates, 0);
    EXPECT_FALSE(m_store.contains("", "AppNameVer"));
}

TEST_F(VexlorAppTest, AWindowThatCannotStartEndsTheRunWithTheSettingsSaved)
{
    m_store.writeInt("Options", "GridHeight", 500);
    m_store.sync();
    CVexlorApp app(parts(false, {}));
    EXPECT_EQ(app.run(CCommandLine{}), 1);
    EXPECT_EQ(m_log.created, 1);
    EXPECT_EQ(CSettingsStore(storePath()).readInt("Options", "GridHeight", 0), 100);
}
