#include "app/CVexlorApp.h"
#include "settings/CSettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class VersionStampTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath("Tarvolo.conf"); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(VersionStampTest, AnOlderStampIsRenewedAndTheWindowLayoutGoes)
{
    {
        CSettingsStore store(path());
        store.writeString("", "AppNameVer", "Vexlor v 1.3");
        store.writeInt("Workspace", "A", 1);
        store.writeInt("Workspace/Bar", "B", 2);
        store.writeInt("Options", "GridHeight", 33);
        store.writeString("Connections", "Name0", "scott");
        ASSERT_TRUE(store.sync());
    }
    CSettingsStore store(path());
    EXPECT_TRUE(CVexlorApp::renewVersionStamp(store));
    CSettingsStore reread(path());
    EXPECT_EQ(reread.readString("", "AppNameVer"), "Tarvolo v 1.5");
    EXPECT_FALSE(reread.sectionNames().contains("Workspace"));
    EXPECT_EQ(reread.readInt("Options", "GridHeight", 0), 33);
    EXPECT_EQ(reread.readString("Connections", "Name0"), "scott");
}

TEST_F(VersionStampTest, TheCurrentStampLeavesEverythingAlone)
{
    {
        CSettingsStore store(path());
        store.writeString("", "AppNameVer", "Tarvolo v 1.5");
        store.writeInt("Workspace", "A", 1);
        ASSERT_TRUE(store.sync());
    }
    CSettingsStore store(path());
    EXPECT_FALSE(CVexlorApp::renewVersionStamp(store));
    EXPECT_EQ(store.readInt("Workspace", "A", 0), 1);
}

TEST_F(VersionStampTest, AMissingStampIsWritten)
{
    CSettingsStore store(path());
    EXPECT_TRUE(CVexlorApp::renewVersionStamp(store));
    EXPECT_EQ(CSettingsStore(path()).readString("", "AppNameVer"), "Tarvolo v 1.5");
}
