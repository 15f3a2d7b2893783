#include "app/CSamplesFolder.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An installed Samples folder with one element, and a place for the user's copy.
class SamplesFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(program() + "/1"));
        ASSERT_TRUE(testfiles::writeBytes(program() + "/1/name.txt", "Departments"));
        ASSERT_TRUE(testfiles::writeBytes(program() + "/tvl.cfg", "[Bar]\n"));
        ASSERT_TRUE(testfiles::writeBytes(program() + "/SAMPLE.db", QByteArray(1000, 'x')));
    }
    QString program() const { return m_dir.filePath("share/tarvolo/Samples"); }
    QString copy() const { return m_dir.filePath("home/.local/share/Tarvolo/Samples"); }
    CSamplesFolder samples(bool writable) const
    {
        CSamplesFolder folder(program(), copy());
        folder.setWritableTest([writable](const QString &) { return writable; });
        return folder;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SamplesFolderTest, AWritableFolderIsUsedWhereItIs)
{
    const CSamplesFolder::Result result = samples(true).resolve();
    EXPECT_EQ(result.folder, program() + "/");
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(copy()));
}

TEST_F(SamplesFolderTest, AReadOnlyFolderIsCopiedOnceAndTheCopyUsed)
{
    const CSamplesFolder::Result first = samples(false).resolve();
    EXPECT_EQ(first.folder, copy() + "/");
    EXPECT_TRUE(first.error.isEmpty()) << first.error.toStdString();
    EXPECT_EQ(testfiles::readBytes(copy() + "/1/name.txt"), "Departments");
    EXPECT_EQ(testfiles::readBytes(copy() + "/SAMPLE.db").size(), 1000);
    EXPECT_FALSE(QFileInfo::exists(copy() + ".partial"));

    // What the user changed in the copy stays: a later choice never copies over it.
    ASSERT_TRUE(testfiles::writeBytes(copy() + "/1/name.txt", "My departments"));
    QFile::remove(copy() + "/tvl.cfg");
    const CSamplesFolder::Result second = samples(false).resolve();
    EXPECT_EQ(second.folder, copy() + "/");
    EXPECT_EQ(testfiles::readBytes(copy() + "/1/name.txt"), "My departments");
    EXPECT_FALSE(QFileInfo::exists(copy() + "/tvl.cfg"));
}

TEST_F(SamplesFolderTest, AFailedCopyFallsBackToTheProgramFolderAndSaysWhy)
{
    // The copy's parent is a file, so the copy cannot be made.
    const QString blocked = m_dir.filePath("blocked");
    ASSERT_TRUE(testfiles::writeBytes(blocked, "file"));
    CSamplesFolder folder(program(), blocked + "/Samples");
    folder.setWritableTest([](const QString &) { return false; });
    const CSamplesFolder::Result result = folder.resolve();
    EXPECT_EQ(result.folder, program() + "/");
    EXPECT_FALSE(result.error.isEmpty());
}

TEST_F(SamplesFolderTest, AMissingProgramFolderIsStillTheOneChosen)
{
    CSamplesFolder folder(m_dir.filePath("nowhere/Samples"), copy());
    folder.setWritableTest([](const QString &) { return false; });
    EXPECT_EQ(folder.resolve().folder, m_dir.filePath("nowhere/Samples/"));
    EXPECT_FALSE(QFileInfo::exists(copy()));
}
