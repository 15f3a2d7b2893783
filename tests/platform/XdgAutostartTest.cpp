#include "platform/CXdgAutostart.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points XDG_CONFIG_HOME and HOME into a temporary folder for the length of a test.
class XdgAutostartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        m_oldHome = qgetenv("HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
        qputenv("HOME", m_dir.filePath("home").toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
        qputenv("HOME", m_oldHome);
    }

    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    QByteArray m_oldHome;
};

TEST_F(XdgAutostartTest, EnableWritesEntryAndDisableRemovesIt)
{
    CXdgAutostart autostart(QStringLiteral("/usr/bin/tarvolo"));
    const QString entry = m_dir.filePath("config/autostart/tarvolo.desktop");
    EXPECT_EQ(CXdgAutostart::entryPath(), entry);

    ASSERT_TRUE(autostart.setEnabled(true));
    EXPECT_TRUE(autostart.isEnabled());
    const QByteArray text = testfiles::readBytes(entry);
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nExec=/usr/bin/tarvolo /hide\n"));

    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_TRUE(autostart.setEnabled(false)) << "removing a missing entry is no error";
}

TEST_F(XdgAutostartTest, RelativeConfigHomeFallsBackToHome)
{
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(CXdgAutostart::entryPath(), m_dir.filePath("home/.config/autostart/tarvolo.desktop"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(CXdgAutostart::entryPath(), m_dir.filePath("home/.config/autostart/tarvolo.desktop"));
}

TEST_F(XdgAutostartTest, UnwritableFolderIsReported)
{
    // The config "folder" is a file, so the autostart folder cannot be made.
    ASSERT_TRUE(testfiles::writeBytes(m_dir.filePath("config"), "x"));
    CXdgAutostart autostart(QStringLiteral("/usr/bin/tarvolo"));
    EXPECT_FALSE(autostart.setEnabled(true));
    EXPECT_FALSE(autostart.isEnabled());
}

TEST(XdgAutostartExec, QuotesAndEscapesPathsAsDesktopEntriesRequire)
{
    EXPECT_EQ(CXdgAutostart::execLine(QStringLiteral("/opt/tarvolo/bin/tarvolo")),
              QStringLiteral("/opt/tarvolo/bin/tarvolo /hide"));
    EXPECT_EQ(CXdgAutostart::execLine(QStringLiteral("/home/ann/My Apps/tarvolo")),
              QStringLiteral("\"/home/ann/My Apps/tarvolo\" /hide"));
    // Inside quotes: \" \$ \\ ; then % doubles and the string escape doubles every backslash.
    EXPECT_EQ(CXdgAutostart::execLine(QStringLiteral("/a b/x\"$y%1\\z")),
              QStringLiteral("\"/a b/x\\\\\"\\\\$y%%1\\\\\\\\z\" /hide"));
    EXPECT_EQ(CXdgAutostart::execLine(QStringLiteral("/a/100%")), QStringLiteral("/a/100%% /hide"));
}

} // namespace
