#include "settings/CSettingsStore.h"

#include "StoreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

using SettingsStoreTest = StoreFileTest;

// Owner, group and other bits; the "user" bits only repeat the owner's for our own files.
QFile::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

TEST_F(SettingsStoreTest, ReadsTextValuesAsNumbersBooleansAndStrings)
{
    writeStore(
        "[Options]\nGridHeight=5\nPadded= -42 \nDword=4294967295\nTooBig=4294967296\nWord=abc\n"
        "FlagSeven=7\nFlagTrue=true\nFlagFalse=False\nQuoted=\"a, b\"\nUnquoted=a, b\nEmpty=\n");
    const CSettingsStore store(path());
    EXPECT_EQ(store.readInt("Options", "GridHeight", 20), 5);
    EXPECT_EQ(store.readInt("Options", "Padded", 0), -42);
    EXPECT_EQ(store.readInt("Options", "Dword", 0), -1) << "a DWORD keeps its bit pattern";
    EXPECT_EQ(store.readInt("Options", "TooBig", 7), 7);
    EXPECT_EQ(store.readInt("Options", "Word", 7), 7);
    EXPECT_EQ(store.readInt("Nowhere", "GridHeight", 7), 7);
    EXPECT_EQ(store.readInt("Options", "", 7), 7);

    EXPECT_TRUE(store.readBool("Options", "FlagSeven", false));
    EXPECT_TRUE(store.readBool("Options", "FlagTrue", false));
    EXPECT_FALSE(store.readBool("Options", "FlagFalse", true));
    EXPECT_TRUE(store.readBool("Options", "Word", true));
    EXPECT_FALSE(store.readBool("Options", "Word", false));

    EXPECT_EQ(store.readString("Options", "Quoted"), "a, b");
    EXPECT_EQ(store.readString("Options", "Unquoted"), "a, b");
    EXPECT_EQ(store.readString("Options", "Empty", "d"), "");
    EXPECT_EQ(store.readString("Options", "Missing", "d"), "d");
}

TEST_F(SettingsStoreTest, WritesTextThatANewStoreReadsBack)
{
    {
        CSettingsStore store(path());
        store.writeString("", "AppNameVer", "Tarvolo v 1.5");
        store.writeInt("Options", "GridHeight", 10);
        store.writeBool("Options", "SizeToHeader", true);
        store.writeString("ScriptFolders", "Folder0", "/home/ann/Tarvolo Scripts/");
        ASSERT_TRUE(store.sync());
    }
    const QByteArray text = storeText();
    EXPECT_TRUE(text.contains("[General]\nAppNameVer=Tarvolo v 1.5\n"));
    EXPECT_TRUE(text.contains("GridHeight=10\n"));
    EXPECT_TRUE(text.contains("SizeToHeader=1\n"));

    const CSettingsStore store(path());
    EXPECT_EQ(store.readString("ScriptFolders", "Folder0"), "/home/ann/Tarvolo Scripts/");
    EXPECT_EQ(store.valueNames(""), QStringList({"AppNameVer"}));
}

TEST_F(SettingsStoreTest, RemovesSectionsWholeAndNeverMoreThanAsked)
{
    writeStore(
        "[General]\nAppNameVer=old\n[Workspace]\nA=1\n[Workspace/Bar]\nB=2\n[Options]\nX=1\nY=2\n");
    CSettingsStore store(path());
    store.removeSection("Workspace");
    store.removeValue("Options", ""); // must not clear the section
    store.removeValue("Options", "X");
    EXPECT_EQ(store.sectionNames(), QStringList({"Options"}));
    EXPECT_EQ(store.valueNames("Options"), QStringList({"Y"}));

    store.removeSection(""); // root values only
    EXPECT_FALSE(store.contains("", "AppNameVer"));
    EXPECT_TRUE(store.contains("Options", "Y"));
}

// The process's umask for one scope.
class UmaskScope
{
public:
    explicit UmaskScope(mode_t mask) : m_old(::umask(mask)) {}
    ~UmaskScope() { ::umask(m_old); }

private:
    mode_t m_old;
};

// Even with a umask that lets everyone read new files, the file is 0600 and the folders the store
// makes are 0700 before any value reaches the disk.
TEST_F(SettingsStoreTest, ANewFileIsPrivateUnderAnyUmask)
{
    const UmaskScope open(0);
    const QString file = m_dir.filePath("config/Morvell Software/Tarvolo.conf");
    CSettingsStore store(file);
    EXPECT_FALSE(QFileInfo::exists(file)) << "reading creates nothing";
    store.writeString("Connections", "Password", "tiger");
    ASSERT_TRUE(QFileInfo::exists(file)) << "the file is made before the first write";
    EXPECT_EQ(QFileInfo(file).size(), 0);
    EXPECT_EQ(modeOf(file), QFile::ReadOwner | QFile::WriteOwner);
    const auto privateFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    EXPECT_EQ(modeOf(m_dir.filePath("config")), privateFolder);
    EXPECT_EQ(modeOf(m_dir.filePath("config/Morvell Software")), privateFolder);

    ASSERT_TRUE(store.sync());
    EXPECT_EQ(modeOf(file), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(testfiles::readBytes(file).contains("Password=tiger"));
    EXPECT_EQ(QDir(m_dir.filePath("config/Morvell Software")).entryList(QDir::Files),
              QStringList{"Tarvolo.conf"});
}

// A file that others can read is made private before the store writes into it, so its new
// contents are never readable by them.
TEST_F(SettingsStoreTest, AnExistingReadableFileIsMadePrivateBeforeTheFirstWrite)
{
    writeStore("[Options]\nGridHeight=20\n");
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    CSettingsStore existing(path());
    EXPECT_EQ(existing.readInt("Options", "GridHeight", 0), 20);
    EXPECT_NE(modeOf(path()), QFile::ReadOwner | QFile::WriteOwner) << "a read changes nothing";
    existing.writeString("Connections", "Password", "tiger");
    EXPECT_EQ(modeOf(path()), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(storeText(), "[Options]\nGridHeight=20\n") << "nothing written yet";
    ASSERT_TRUE(existing.sync());
    EXPECT_EQ(modeOf(path()), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(storeText().contains("Password=tiger"));
}

TEST_F(SettingsStoreTest, FailedWriteIsReported)
{
    ASSERT_TRUE(testfiles::writeBytes(m_dir.filePath("blocker"), "x"));
    CSettingsStore store(m_dir.filePath("blocker/Tarvolo.conf"));
    store.writeInt("Options", "GridHeight", 10);
    EXPECT_FALSE(store.sync());
}

TEST_F(SettingsStoreTest, UseFileRedirectsTheProgramStore)
{
    CSettingsStore::useFile(path());
    EXPECT_EQ(CSettingsStore::instance().fileName(), path());
    CSettingsStore::useFile(QString());
    EXPECT_TRUE(CSettingsStore::instance().fileName().endsWith("/Morvell Software/Tarvolo.conf"));
}

} // namespace
