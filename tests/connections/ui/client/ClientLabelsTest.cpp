// The connections dialog's client labels with a stand-in Oracle client library. The client loads
// once per process, so this executable points $TARVOLO_OCI_LIB at the stand-in before anything
// looks for a client.
#include "connections/ui/CClientLabels.h"
#include "connections/ui/CConnectDlg.h"
#include "engine/CEngineProvider.h"
#include "settings/CSettingsStore.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ClientLabelsStandin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("TARVOLO_OCI_LIB", STANDIN_CLNTSH);
        engine::registerEngineProvider();
    }
    QTemporaryDir m_dir;
};

TEST_F(ClientLabelsStandin, TheDialogShowsTheLoadedLibraryAndItsVersion)
{
    ASSERT_TRUE(m_dir.isValid());
    CSettingsStore store(m_dir.filePath("Tarvolo.conf"));
    CConnectDlg dlg(store);
    dlg.setConnection(nullptr);
    EXPECT_TRUE(dlg.clientLabels().clientLoaded);
    const auto *path = dlg.findChild<QLabel *>("ociPathLabel");
    const auto *version = dlg.findChild<QLabel *>("ociVersionLabel");
    const auto *home = dlg.findChild<QLabel *>("oracleHomeLabel");
    ASSERT_TRUE(path && version && home);
    EXPECT_EQ(QFileInfo(path->toolTip()).canonicalFilePath(),
              QFileInfo(STANDIN_CLNTSH).canonicalFilePath());
    EXPECT_EQ(version->toolTip(), "19.8.0.0.0");
    EXPECT_NE(home->toolTip(), CClientLabels::noClientText());
    EXPECT_FALSE(home->toolTip().isEmpty());
}

TEST_F(ClientLabelsStandin, TheHomeNameComesFromTheInventory)
{
    ASSERT_TRUE(m_dir.isValid());
    const QString client = QFileInfo(STANDIN_CLNTSH).absolutePath();
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("inventory/ContentsXML")));
    ASSERT_TRUE(testfiles::writeBytes(
        m_dir.filePath("oraInst.loc"),
        ("inventory_loc=" + m_dir.filePath("inventory") + "\n").toLocal8Bit()));
    ASSERT_TRUE(testfiles::writeBytes(m_dir.filePath("inventory/ContentsXML/inventory.xml"),
                                      ("<?xml version=\"1.0\"?>\n<INVENTORY><HOME_LIST>\n"
                                       "<HOME NAME=\"OraClient19Home1\" LOC=\"" +
                                       client +
                                       "\" TYPE=\"O\" IDX=\"1\"/>\n"
                                       "</HOME_LIST></INVENTORY>\n")
                                          .toLocal8Bit()));
    CTNS::Environment env = CTNS::fromProcess();
    env.oracleHome = client;
    env.oraInstLoc = m_dir.filePath("oraInst.loc");
    const CClientLabels labels = CClientLabels::gather(env);
    EXPECT_TRUE(labels.clientLoaded);
    EXPECT_EQ(labels.version, "19.8.0.0.0");
    EXPECT_EQ(labels.home, "OraClient19Home1");
}

} // namespace
