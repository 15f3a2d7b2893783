#include "../BarFixture.h"

#include "bar/CElementTip.h"
#include "bar/CTrayIcon.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTest>

#include <functional>

namespace {

// Waits up to timeout ms for condition, running the event loop.
bool waitFor(const std::function<bool()> &condition, int timeout = 5000)
{
    for (int waited = 0; waited < timeout; waited += 50) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

// A desktop program this test starts on its X server (and ends), unless one is there already.
class DesktopProcess
{
public:
    ~DesktopProcess() { stop(); }
    bool start(const QString &program, const QStringList &arguments)
    {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        return m_process.waitForStarted(5000);
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

bool startTray(DesktopProcess &tray)
{
    return tray.start(QStringLiteral("trayer"),
                      {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                       QStringLiteral("right"), QStringLiteral("--widthtype"),
                       QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24"),
                       QStringLiteral("--SetDockType"), QStringLiteral("true")}) &&
           waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
}

// The screen rectangle of trayer's panel window, as xdotool reports it.
QRect trayPanel()
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--classname"), QStringLiteral("panel"),
                   QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")});
    xdotool.waitForFinished(5000);
    QMap<QString, int> values;
    for (const QByteArray &line : xdotool.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() == 2)
            values[QString::fromLatin1(pair[0])] = pair[1].toInt();
    }
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

// trayer's panel asks for no more width than its icons need: two pixels while it holds none.
bool iconEmbedded() { return trayPanel().width() > 8; }

class BarDesktopTest : public BarFixture
{
protected:
    void SetUp() override
    {
        BarFixture::SetUp();
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
    }
    DesktopProcess m_windowManager;
    DesktopProcess m_tray;
};

// A hidden start lives in the tray only; a click on the icon shows the bar; after the tray host
// is restarted the icon is back in the new tray.
TEST_F(BarDesktopTest, HiddenStartTrayClickAndTrayRestart)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "a tray host of the session is running; this test restarts its own";
    if (!startTray(m_tray))
        GTEST_SKIP() << "trayer is not installed";
    copySamples();
    CVexlorDlg &bar = openBar(true);
    ASSERT_TRUE(bar.hasTray());
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(bar.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    ASSERT_TRUE(waitFor(iconEmbedded));
    EXPECT_EQ(bar.trayIcon()->icon()->toolTip(), QStringLiteral("Tarvolo"));

    // A real left click on the icon.
    // The icon window is reparented into the panel, whose middle it fills once it is the only icon.
    QSignalSpy activated(bar.trayIcon()->icon(), &QSystemTrayIcon::activated);
    // The panel resizes itself around a newly embedded icon; click only once it has settled.
    QRect panel = trayPanel();
    ASSERT_TRUE(waitFor([&] {
        QTest::qWait(200);
        const QRect now = trayPanel();
        const bool settled = now == panel && !now.isEmpty();
        panel = now;
        return settled;
    }));
    const QPoint centre = panel.center();
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(centre.x()),
                       QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(waitFor([&] { return bar.isVisible(); }));
    EXPECT_EQ(activated.size(), 1);

    bar.close();
    EXPECT_TRUE(waitFor([&] { return !bar.isVisible(); }));
    EXPECT_EQ(bar.elements().size(), 8u);

    m_tray.stop();
    ASSERT_TRUE(waitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }));
    ASSERT_TRUE(startTray(m_tray));
    // The new panel holds the icon again, without anything done by the bar.
    EXPECT_TRUE(waitFor(iconEmbedded));
}

// Under a real window manager the stored rectangle is the outer frame: restoring and saving it
// again gives the same rectangle.
TEST_F(BarDesktopTest, StoredFrameRoundTripsUnderAWindowManager)
{
    if (!m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}))
        GTEST_SKIP() << "openbox is not installed";
    QTest::qWait(500);
    for (int i = 1; i <= 5; ++i)
        writeElement(i, QStringLiteral("E%1").arg(i));
    options::FixedBarSize = false;
    {
        CProfileFile tvl(layoutFile());
        tvl.writeInt("GENERAL", "Left", 200);
        tvl.writeInt("GENERAL", "Top", 150);
        tvl.writeInt("GENERAL", "Right", 600);
        tvl.writeInt("GENERAL", "Bottom", 300);
        ASSERT_TRUE(tvl.flush());
    }
    CVexlorDlg &bar = openBar();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QTest::qWait(600);
    const QRect frame = bar.frameGeometry();
    const QSize margins = frame.size() - bar.size();
    EXPECT_EQ(frame.topLeft(), QPoint(200, 150));
    // The client height the stored frame leaves decides the rows of the free bar.
    const int rows = std::max((150 - margins.height()) / 40, 1);
    const int columns = (5 + rows - 1) / rows;
    EXPECT_EQ(bar.size(), QSize(150 * columns, 40 * std::min(rows, 5)));

    // The mouse resting on a button brings up that element's tip.
    const QPoint onSecond = bar.mapToGlobal(QPoint(20, 60));
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(onSecond.x()),
                       QString::number(onSecond.y())});
    EXPECT_TRUE(waitFor([&] { return bar.elementTip()->isVisible(); }));
    EXPECT_EQ(bar.elementTip()->element(), bar.elements()[1].get());
    EXPECT_EQ(bar.currentElement(), bar.elements()[1].get());

    // Closed (hidden) first, as a bar usually is when the tray's Exit ends it.
    bar.hide();
    ASSERT_TRUE(waitFor([&] { return !bar.isVisible(); }));
    bar.requestExit();
    const CProfileFile tvl(layoutFile());
    EXPECT_EQ(tvl.readInt("GENERAL", "Left"), 200);
    EXPECT_EQ(tvl.readInt("GENERAL", "Top"), 150);
    EXPECT_EQ(tvl.readInt("GENERAL", "Right") - tvl.readInt("GENERAL", "Left"), frame.width());
    EXPECT_EQ(tvl.readInt("GENERAL", "Bottom") - tvl.readInt("GENERAL", "Top"), frame.height());
}

} // namespace
