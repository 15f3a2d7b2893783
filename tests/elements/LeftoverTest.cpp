#include "core/SaveFile.h"
#include "elements/CBarLayout.h"
#include "elements/CVexlorElement.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testfiles::readBytes;
using testfiles::writeBytes;

// Runs the helper on folder until it stops before renaming its temporary over fileName, kills it
// with SIGKILL and returns the temporary it left ("" when it never got there).
QString killSaveAt(const QString &folder, const QString &fileName, const QString &mode,
                   const QString &icon = QString())
{
    QProcess helper;
    QStringList args{folder, fileName, mode};
    if (!icon.isEmpty())
        args << icon;
    helper.start(QStringLiteral(TARVOLO_KILLED_SAVE), args);
    if (!helper.waitForStarted(30000))
        return QString();
    QByteArray line;
    while (!line.contains('\n') && helper.waitForReadyRead(30000))
        line += helper.readAllStandardOutput();
    helper.kill();
    helper.waitForFinished(30000);
    return QString::fromLocal8Bit(line.trimmed());
}

class LeftoverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_element = m_dir.filePath("4") + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(m_element));
        for (auto it = m_files.begin(); it != m_files.end(); ++it)
            ASSERT_TRUE(writeBytes(m_element + it.key(), it.value()));
        ASSERT_TRUE(writeBytes(m_dir.filePath("chosen.ico"), "new icon"));
    }

    QTemporaryDir m_dir;
    QString m_element;
    const QMap<QString, QByteArray> m_files{
        {"name.txt", "Old name"},
        {"query.sql", "SELECT 1 FROM dual"},
        {"icon.ico", "old icon"},
        {"item.cfg", "[CONNECTION]\r\nUser=SCOTT\r\n"},
    };
};

TEST_F(LeftoverTest, LeftoversOfTheProgramsOwnSavesOnlyMatchTheirPattern)
{
    EXPECT_TRUE(savefile::isLeftoverOf("item.cfg.AbCdEf", "item.cfg"));
    EXPECT_FALSE(savefile::isLeftoverOf("item.cfg.AbCdE", "item.cfg"));
    EXPECT_FALSE(savefile::isLeftoverOf("item.cfg.AbCdEfG", "item.cfg"));
    EXPECT_FALSE(savefile::isLeftoverOf("item.cfg.AbC1Ef", "item.cfg"));
    EXPECT_FALSE(savefile::isLeftoverOf("item.cfgXAbCdEf", "item.cfg"));
    EXPECT_FALSE(savefile::isLeftoverOf("Item.cfg.AbCdEf", "item.cfg"));
}

// A kill between the temporary's link and its rename leaves the temporary beside the old file,
// which is whole; the next load removes the temporary and nothing that only looks like one.
TEST_F(LeftoverTest, AKilledSaveLeavesNothingAfterTheNextLoad)
{
    const struct
    {
        const char *file;
        const char *mode;
        bool icon;
    } cases[] = {
        {"name.txt", "save", false},
        {"item.cfg", "save", false},
        {"icon.ico", "save", true},
        {"item.cfg", "rewrite", false},
    };
    int number = 10;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.mode);
        const QString file = QString::fromLatin1(c.file);
        const QString folder = m_dir.filePath(QString::number(++number)) + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(folder));
        for (auto it = m_files.begin(); it != m_files.end(); ++it)
            ASSERT_TRUE(writeBytes(folder + it.key(), it.value()));

        const QString leftover = killSaveAt(folder, file, QString::fromLatin1(c.mode),
                                            c.icon ? m_dir.filePath("chosen.ico") : QString());
        ASSERT_FALSE(leftover.isEmpty()) << "the helper never reached the rename";
        ASSERT_TRUE(QFileInfo::exists(leftover));
        EXPECT_EQ(QFileInfo(leftover).absolutePath() + QLatin1Char('/'), folder);
        const QString leftName = QFileInfo(leftover).fileName();
        if (QLatin1String(c.mode) == QLatin1String("rewrite"))
            EXPECT_EQ(leftName.toStdString(), "item.cfg.new");
        else
            EXPECT_TRUE(savefile::isLeftoverOf(leftName, file)) << leftName.toStdString();
        EXPECT_EQ(readBytes(folder + file), m_files.value(file)); // the old file is whole

        CVexlorElement element;
        ASSERT_TRUE(element.load(folder));
        EXPECT_FALSE(QFileInfo::exists(leftover));
        for (const QString &name : QDir(folder).entryList(QDir::Files)) {
            EXPECT_TRUE(name == QLatin1String("description.txt") || m_files.contains(name))
                << name.toStdString();
        }
    }
}

TEST_F(LeftoverTest, OnlyTheProgramsOwnLeftoversAreRemoved)
{
    const QStringList strangers{"notes.txt.AbCdEf", "name.txt.AbCdE", "name.txt.AbCdE1",
                                "Name.txt.AbCdEf",  "item.cfg.old",   "query.sqlXAbCdEf"};
    for (const QString &name : strangers)
        ASSERT_TRUE(writeBytes(m_element + name, "not ours"));
    ASSERT_TRUE(QDir(m_element).mkdir("query.sql.AbCdEf")); // a folder, not a temporary
    ASSERT_TRUE(writeBytes(m_dir.filePath("target"), "kept"));
    ASSERT_TRUE(QFile::link(m_dir.filePath("target"), m_element + "item.cfg.QwErTy"));
    ASSERT_TRUE(writeBytes(m_element + "description.txt.ZzZzZz", "ours"));
    ASSERT_TRUE(writeBytes(m_element + "item.cfg.new", "ours"));

    CVexlorElement element;
    ASSERT_TRUE(element.load(m_element));
    for (const QString &name : strangers)
        EXPECT_TRUE(QFileInfo::exists(m_element + name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo(m_element + "query.sql.AbCdEf").isDir());
    EXPECT_TRUE(QFileInfo(m_element + "item.cfg.QwErTy").isSymLink());
    EXPECT_EQ(readBytes(m_dir.filePath("target")), "kept");
    EXPECT_FALSE(QFileInfo::exists(m_element + "description.txt.ZzZzZz"));
    EXPECT_FALSE(QFileInfo::exists(m_element + "item.cfg.new"));
}

// The layout file lies in the script folder: reading the order map removes its leftover.
TEST_F(LeftoverTest, AKilledLayoutWriteLeavesNothingAfterTheNextRead)
{
    const QByteArray layout = "[EL_MAP]\r\nEl_0=1\r\nMap_0=1\r\nEl_1=2\r\nMap_1=2\r\n";
    ASSERT_TRUE(writeBytes(m_dir.filePath("tvl.cfg"), layout));
    const QString leftover = killSaveAt(m_dir.path(), "tvl.cfg", "layout");
    ASSERT_FALSE(leftover.isEmpty());
    EXPECT_TRUE(savefile::isLeftoverOf(QFileInfo(leftover).fileName(), "tvl.cfg"));
    EXPECT_EQ(readBytes(m_dir.filePath("tvl.cfg")), layout);

    CBarLayout next;
    CElementList none;
    next.readOrderMap(m_dir.path(), none);
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_EQ(next.orderMap().size(), 2u);
}

} // namespace
