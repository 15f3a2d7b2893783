#include "settings/CScriptFolders.h"

#include "settings/CSettingsStore.h"

#include "StoreFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

using ScriptFoldersTest = StoreFileTest;

TEST_F(ScriptFoldersTest, GapEndsTheListAndSaveDropsWhatLiesBeyond)
{
    writeStore("[ScriptFolders]\nFolder0=/home/ann/A/\nFolder2=/home/ann/C/\n");
    CScriptFolders folders;
    {
        CSettingsStore store(path());
        folders.load(store);
        EXPECT_EQ(folders.folders(), QStringList({"/home/ann/A/"}));
        ASSERT_TRUE(folders.save(store));
    }
    const QByteArray text = storeText();
    EXPECT_TRUE(text.contains("Folder0=/home/ann/A/"));
    EXPECT_FALSE(text.contains("Folder2"));
}

TEST(ScriptFolders, AddMakesThePathTheOneAndLastEntry)
{
    CScriptFolders folders;
    EXPECT_TRUE(folders.current().isEmpty());
    EXPECT_FALSE(folders.add(QString()));
    folders.add("/a");
    folders.add("/b/");
    folders.add("/A/");
    folders.add("/a/");
    EXPECT_EQ(folders.folders(), QStringList({"/b/", "/A/", "/a/"}));
    EXPECT_EQ(folders.current(), "/a/");
}

TEST_F(ScriptFoldersTest, DefaultFolderIsMadeUnderDocumentsAndStored)
{
    const QString documents = m_dir.filePath("Documents");
    CScriptFolders folders;
    {
        CSettingsStore store(path());
        EXPECT_EQ(folders.setUpCurrent(store, documents), CScriptFolders::Status::Ok);
    }
    EXPECT_EQ(folders.current(), documents + "/Tarvolo Scripts/");
    EXPECT_TRUE(QFileInfo(documents + "/Tarvolo Scripts").isDir());

    CScriptFolders reloaded;
    reloaded.load(CSettingsStore(path()));
    EXPECT_EQ(reloaded.folders(), QStringList({documents + "/Tarvolo Scripts/"}));
}

TEST_F(ScriptFoldersTest, MissingDocumentsOrParentIsReportedAndNothingIsMade)
{
    CSettingsStore store(path());
    CScriptFolders none;
    EXPECT_EQ(none.setUpCurrent(store, QString()), CScriptFolders::Status::NoDocumentsFolder);
    EXPECT_EQ(none.setUpCurrent(store, m_dir.filePath("no/Documents")),
              CScriptFolders::Status::NoDocumentsFolder);
    EXPECT_TRUE(none.folders().isEmpty());

    CScriptFolders deep;
    deep.add(m_dir.filePath("missing/Scripts"));
    EXPECT_EQ(deep.setUpCurrent(store, m_dir.path()), CScriptFolders::Status::FolderNotCreated);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("missing")));
}

} // namespace
