// Finding the tnsnames file and the Oracle home's name from an environment built in a temporary
// folder.
#include "oracle_client/CTNS.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TnsDiscovery : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder(const QString &relative)
    {
        const QString path = m_dir.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    QString file(const QString &relative, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        EXPECT_TRUE(testfiles::writeBytes(path, bytes));
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(TnsDiscovery, SearchOrderTakesOnlyFilesThatExistInAnyLetterCase)
{
    CTNS::Environment env;
    env.currentFolder = folder("cwd");
    env.tnsAdmin = folder("admin-without-file");
    env.oracleHome = folder("home");
    env.clientFolder = folder("instantclient_19_8");
    EXPECT_TRUE(CTNS::tnsnamesPath(env).isEmpty());

    const QString client = file("instantclient_19_8/network/admin/TNSNAMES.ORA", "C = (D=1)");
    EXPECT_EQ(CTNS::tnsnamesPath(env), client);
    EXPECT_EQ(CTNS::netServiceNames(env), QStringList{"C"});

    const QString home = file("home/network/admin/TnsNames.Ora", "H = (D=1)");
    EXPECT_EQ(CTNS::tnsnamesPath(env), home);

    const QString admin = file("admin-without-file/tnsnames.ora", "T = (D=1)");
    EXPECT_EQ(CTNS::tnsnamesPath(env), admin);

    const QString cwd = file("cwd/tnsnames.ora", "W = (D=1)");
    EXPECT_EQ(CTNS::tnsnamesPath(env), cwd);
    EXPECT_EQ(CTNS::netServiceNames(env), QStringList{"W"});

    // A folder of that name is no file.
    CTNS::Environment odd;
    odd.currentFolder = folder("odd");
    folder("odd/tnsnames.ora");
    EXPECT_TRUE(CTNS::tnsnamesPath(odd).isEmpty());
}

TEST_F(TnsDiscovery, FullClientLibraryInLibFindsItsHomesNetworkAdmin)
{
    CTNS::Environment env;
    env.clientFolder = folder("dbhome_1/lib");
    const QString path = file("dbhome_1/network/admin/tnsnames.ora", "X = (D=1)");
    EXPECT_EQ(CTNS::tnsnamesPath(env), QDir::cleanPath(path));
    EXPECT_EQ(CTNS::clientHome(env), QDir::cleanPath(m_dir.filePath("dbhome_1")));
}

TEST_F(TnsDiscovery, HomeNameComesFromTheInventoryEntryOfTheClientsHome)
{
    const QString inventory = folder("oraInventory");
    const QString loc =
        file("oraInst.loc", "inst_group=oinstall\ninventory_loc=" + inventory.toUtf8() + "\n");
    const QString first = folder("product/19/dbhome_1");
    const QString second = folder("product/21/dbhome_2");
    file("oraInventory/ContentsXML/inventory.xml",
         "<?xml version=\"1.0\" standalone=\"yes\" ?>\n<INVENTORY>\n<HOME_LIST>\n"
         "<HOME NAME=\"OraOld\" LOC=\"" +
             second.toUtf8() +
             "\" TYPE=\"O\" IDX=\"1\" REMOVED=\"T\"/>\n"
             "<HOME NAME=\"OraDB19Home1\" LOC=\"" +
             first.toUtf8() +
             "\" TYPE=\"O\" IDX=\"2\"/>\n"
             "<HOME NAME=\"OraDB21Home1\" LOC=\"" +
             second.toUtf8() +
             "/\" TYPE=\"O\" IDX=\"3\"/>\n"
             "</HOME_LIST>\n</INVENTORY>\n");

    CTNS::Environment env;
    env.oraInstLoc = loc;
    env.clientFolder = first + "/lib";
    EXPECT_EQ(CTNS::homeName(env), "OraDB19Home1");
    env.clientFolder.clear();
    env.oracleHome = second;
    EXPECT_EQ(CTNS::homeName(env), "OraDB21Home1"); // the removed entry of that folder is skipped

    // An Instant Client is in no inventory; nor is anything without a client.
    env.oracleHome.clear();
    env.clientFolder = folder("instantclient_21_1");
    EXPECT_TRUE(CTNS::homeName(env).isEmpty());
    env.clientFolder.clear();
    EXPECT_TRUE(CTNS::homeName(env).isEmpty());
    env.oracleHome = first;
    env.oraInstLoc = m_dir.filePath("missing.loc");
    EXPECT_TRUE(CTNS::homeName(env).isEmpty());
}

} // namespace
