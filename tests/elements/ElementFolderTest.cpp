#include "core/CProfileFile.h"
#include "elements/CVexlorElement.h"
#include "settings/Options.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include <chrono>
#include <future>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testfiles::readBytes;
using testfiles::writeBytes;

std::string str(const QString &s) { return s.toStdString(); }

class ElementFolderTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // An element folder of the script folder, created, with its path ending in '/'.
    QString folder(const QString &name)
    {
        QDir(m_dir.path()).mkpath(name);
        return m_dir.filePath(name) + QLatin1Char('/');
    }

    QTemporaryDir m_dir;
    options::CRestoreOptions m_options; // the history limits some tests change
};

// item.cfg as the writer lays it out, with one unknown key and one unknown section that must
// survive.
const QByteArray kConfig =
    "[CONNECTION]\r\nDatabase=SAMPLE\r\nUser=SCOTT\r\nComment=kept\r\n"
    "[OTHERS]\r\nDbGridLeft=10\r\nDbGridTop=20\r\nDbGridRight=810\r\n"
    "DbGridBottom=620\r\nSQLEditLeft=-5\r\nSQLEditTop=0\r\nSQLEditRight=700\r\n"
    "SQLEditBottom=500\r\nHkStartSQL=1601\r\nShowConnection=1\r\nShowWarning=0\r\n"
    "LastStart=07.12.2026 18:30:00\r\n"
    "[VAR_0]\r\nVarType=0\r\nName=:GONE\r\nType=Date\r\nValue=\r\n"
    "[VAR_1]\r\nVarType=1\r\nName=&TABLE\r\nType=String\r\nValue=EMP\r\n"
    "LastValue_0=DEPT\r\nLastValue_1=EMP\r\n"
    "[VAR_2]\r\nVarType=0\r\nName=:DEPTNO\r\nType=Number\r\nValue=20\r\n"
    "LastValue_0=10\r\nLastValue_1=20\r\n"
    "[MINE]\r\nx=1\r\n";

TEST_F(ElementFolderTest, LoadThenSaveLeavesEveryFileByteForByte)
{
    const QString dir = folder("7");
    const QMap<QString, QByteArray> files{
        {"name.txt", "Employees\r\nby department"},
        {"description.txt", "All employees \xc3\xa4 of one department\r\n"},
        {"query.sql", "SELECT * FROM &table\r\n WHERE deptno = :deptno -- :x\r\n"},
        {"icon.ico", QByteArray("\0\0\1\0icon", 8)},
        {"item.cfg", kConfig},
        {"notes.txt", "not ours"},
    };
    for (auto it = files.begin(); it != files.end(); ++it)
        ASSERT_TRUE(writeBytes(dir + it.key(), it.value()));

    CVexlorElement e;
    ASSERT_TRUE(e.load(m_dir.filePath("7")));
    EXPECT_EQ(str(e.folderPath()), str(dir));
    EXPECT_EQ(e.elementNumber(), 7);
    EXPECT_EQ(str(e.name()), "Employees\r\nby department");
    EXPECT_EQ(str(e.description()), "All employees \xc3\xa4 of one department\r\n");
    EXPECT_EQ(str(e.iconPath()), str(dir + "icon.ico"));
    EXPECT_EQ(str(e.connection().user()), "SCOTT");
    EXPECT_EQ(str(e.connection().database()), "SAMPLE");
    EXPECT_EQ(e.dbGridRect(), (CScreenRect{10, 20, 810, 620}));
    EXPECT_EQ(e.sqlEditRect(), (CScreenRect{-5, 0, 700, 500}));
    EXPECT_EQ(e.hkStartSQL(), 1601);
    EXPECT_TRUE(e.showConnection());
    EXPECT_FALSE(e.showWarning());
    EXPECT_EQ(e.lastStart(), CDateTime(2026, 12, 7, 18, 30, 0));
    ASSERT_EQ(e.savedVariables().size(), 3u);
    ASSERT_EQ(e.parsedVariables().size(), 2u);
    const CSQLVariable &deptno = e.parsedVariables()[1];
    EXPECT_EQ(str(deptno.name), ":DEPTNO");
    EXPECT_EQ(str(deptno.type), "Number");
    EXPECT_EQ(str(deptno.value), "20");
    EXPECT_EQ(deptno.history, (QStringList{"10", "20"}));

    e.save();
    for (auto it = files.begin(); it != files.end(); ++it)
        EXPECT_EQ(readBytes(dir + it.key()).toStdString(), it.value().toStdString())
            << str(it.key());
}

// A folder as the Windows program leaves it: a 1252 name, a UTF-16 query, fifteen variables.
TEST_F(ElementFolderTest, WindowsFolderLoadsAndSavesWithinTheLimits)
{
    qunsetenv("TARVOLO_LEGACY_CODEPAGE");
    const QString dir = folder("12abc");
    ASSERT_TRUE(writeBytes(dir + "name.txt", "Caf\xe9 \x80 list"));
    QByteArray sql("\xff\xfe", 2);
    const QString query = QStringLiteral("SELECT * FROM t\r\nWHERE a = :V2");
    sql += QByteArray(reinterpret_cast<const char *>(query.utf16()), query.size() * 2);
    ASSERT_TRUE(writeBytes(dir + "query.sql", sql));

    QByteArray cfg = "[CONNECTION]\r\nDatabase=ORCL\r\nUser=HR\r\n[OTHERS]\r\nShowWarning=7\r\n"
                     "LastStart=07.12.2026 18:30:00\r\n";
    for (int i = 0; i < 15; ++i) {
        cfg += QStringLiteral("[VAR_%1]\r\nVarType=0\r\nName=:V%1\r\nType=String\r\nValue=v%1\r\n")
                   .arg(i)
                   .toLatin1();
        for (int j = 0; j < (i == 2 ? 12 : 1); ++j)
            cfg += QStringLiteral("LastValue_%1=h%2\r\n").arg(j).arg(j).toLatin1();
    }
    cfg += "[LAST]\r\nkeep=yes\r\n";
    ASSERT_TRUE(writeBytes(dir + "item.cfg", cfg));

    options::MaxVarsInHist = 10;
    options::nMaxValuesInHist = 10;
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    EXPECT_EQ(e.elementNumber(), 12);
    EXPECT_EQ(e.name(), QString::fromUtf16(u"Caf\u00e9 \u20ac list"));
    EXPECT_EQ(str(e.sqlText()), str(query));
    EXPECT_TRUE(e.showWarning());
    EXPECT_EQ(e.lastStart(), CDateTime(2026, 12, 7, 18, 30, 0));
    ASSERT_EQ(e.savedVariables().size(), 10u);
    ASSERT_EQ(e.parsedVariables().size(), 1u);
    EXPECT_EQ(e.parsedVariables()[0].history.size(), 10);

    e.save();
    EXPECT_EQ(readBytes(dir + "name.txt"), "Caf\xc3\xa9 \xe2\x82\xac list"); // ANSI here is UTF-8
    EXPECT_EQ(readBytes(dir + "query.sql"), query.toUtf8());
    const CProfileFile out(dir + "item.cfg");
    EXPECT_EQ(str(out.readString("OTHERS", "ShowWarning")), "1");
    EXPECT_EQ(str(out.readString("OTHERS", "LastStart")), "07.12.2026 18:30:00");
    // The used variable moved to the end of the first ten; the sections beyond stay as they were.
    EXPECT_EQ(str(out.readString("VAR_2", "Name")), ":V3");
    EXPECT_EQ(str(out.readString("VAR_9", "Name")), ":V2");
    // Of its twelve stored values the newest ten were read, so the newest stay remembered.
    EXPECT_EQ(str(out.readString("VAR_9", "LastValue_0")), "h2");
    EXPECT_EQ(str(out.readString("VAR_9", "LastValue_9")), "h11");
    EXPECT_EQ(str(out.readString("VAR_9", "LastValue_10")), "");
    // :V3 now sits where :V2's longer history was: that history must not become its own.
    EXPECT_EQ(str(out.readString("VAR_2", "LastValue_0")), "h0");
    EXPECT_EQ(str(out.readString("VAR_2", "LastValue_1")), "");
    CVexlorElement again;
    ASSERT_TRUE(again.load(dir));
    EXPECT_EQ(again.savedVariables()[2].history, QStringList{"h0"});
    EXPECT_EQ(str(out.readString("VAR_14", "Value")), "v14");
    EXPECT_EQ(str(out.readString("LAST", "keep")), "yes");
}

TEST_F(ElementFolderTest, FolderNamesAndMissingFiles)
{
    EXPECT_EQ(CVexlorElement::elementNumberOfFolder("/s/12abc/"), 12);
    EXPECT_EQ(CVexlorElement::elementNumberOfFolder("/s/-3"), -3);
    EXPECT_EQ(CVexlorElement::elementNumberOfFolder("/s/ 4"), 4);
    EXPECT_EQ(CVexlorElement::elementNumberOfFolder("/s/99999999999"), 2147483647);
    EXPECT_EQ(CVexlorElement::elementNumberOfFolder("12/"), 0);
    for (const char *name : {"0", "abc", "x12"}) {
        CVexlorElement e;
        EXPECT_FALSE(e.load(folder(QString::fromLatin1(name)))) << name;
    }

    const QString dir = folder("5");
    ASSERT_TRUE(writeBytes(dir + "Name.txt", "wrong case"));
    ASSERT_TRUE(writeBytes(dir + "icon.ico", ""));
    QDir(dir).mkdir("query.sql"); // a folder of that name is no file
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    EXPECT_TRUE(e.name().isEmpty());
    EXPECT_TRUE(e.sqlText().isEmpty());
    EXPECT_TRUE(e.iconPath().isEmpty()); // the default icon
    EXPECT_TRUE(e.connection().user().isEmpty());
    EXPECT_EQ(e.lastStart(), CDateTime()); // no item.cfg: the default, the zero date-time
}

// A FIFO named like an element file is no file to read: opening it would wait for a writer. The
// test holds the FIFO's write end open, so that a load that reads it can be released.
TEST_F(ElementFolderTest, SpecialFilesAreNotRead)
{
    const QString dir = folder("10");
    const QByteArray fifo = QFile::encodeName(dir + "query.sql");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int fd = ::open(fifo.constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "SELECT 1", 8), 8);
    CVexlorElement e;
    auto loaded = std::async(std::launch::async, [&] { return e.load(dir); });
    const bool finished = loaded.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    ::close(fd);
    EXPECT_TRUE(finished) << "the load waited on the FIFO";
    EXPECT_TRUE(loaded.get());
    EXPECT_TRUE(e.sqlText().isEmpty());
}

TEST_F(ElementFolderTest, LastStartAndFlagsAreWrittenInTheFileFormat)
{
    CVexlorElement e;
    e.initNew(m_dir.path(), 3);
    EXPECT_EQ(e.name(), QString::fromUtf16(u"SQL Query \u2116 3"));
    e.setFolderPath(m_dir.filePath("3")); // files go inside the folder, not beside it
    EXPECT_EQ(str(e.folderPath()), str(m_dir.filePath("3/")));
    EXPECT_FALSE(QFileInfo::exists(e.folderPath())); // nothing written before save
    e.connection().setPassword("tiger");
    e.connection().setSavePassword(false);
    e.save();
    EXPECT_TRUE(e.connection().password().isEmpty());
    const QString cfg = e.folderPath() + "item.cfg";
    EXPECT_EQ(str(CProfileFile(cfg).readString("OTHERS", "LastStart")), "30.12.1899 00:00:00");

    CVexlorElement back;
    ASSERT_TRUE(back.load(e.folderPath()));
    EXPECT_EQ(back.lastStart(), CDateTime());
    EXPECT_TRUE(back.lastStart().isValid());

    for (const char *stored : {"Invalid DateTime", "yesterday", "31.02.2026 10:00:00"}) {
        {
            CProfileFile f(cfg);
            f.writeString("OTHERS", "LastStart", QString::fromLatin1(stored));
        }
        CVexlorElement bad;
        ASSERT_TRUE(bad.load(e.folderPath()));
        EXPECT_FALSE(bad.lastStart().isValid()) << stored;
        bad.saveConfiguration(false);
        EXPECT_EQ(str(CProfileFile(cfg).readString("OTHERS", "LastStart")), "Invalid DateTime");
    }
}

TEST_F(ElementFolderTest, RewriteDropsWhatIsNotWrittenNow)
{
    const QString dir = folder("4");
    ASSERT_TRUE(writeBytes(dir + "item.cfg", kConfig));
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    e.savedVariables().clear();
    e.saveConfiguration(false);
    EXPECT_EQ(str(CProfileFile(dir + "item.cfg").readString("VAR_0", "Name")), ":GONE");

    e.clearVariableHistory();
    EXPECT_EQ(e.parsedVariables().size(), 0u); // no SQL text loaded here
    const CProfileFile cfg(dir + "item.cfg");
    EXPECT_EQ(str(cfg.readString("VAR_0", "Name")), "");
    EXPECT_EQ(str(cfg.readString("MINE", "x")), "");
    EXPECT_EQ(str(cfg.readString("CONNECTION", "Comment")), "");
    EXPECT_EQ(str(cfg.readString("CONNECTION", "User")), "SCOTT");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"item.cfg"}); // no temporary left

    // A rewrite that cannot write its new file keeps the old one.
    const QByteArray before = readBytes(dir + "item.cfg");
    ASSERT_TRUE(QDir(dir).mkdir("item.cfg.new"));
    e.connection().setUser("OTHER");
    e.saveConfiguration(true);
    EXPECT_EQ(readBytes(dir + "item.cfg"), before);
}

// Values a profile read would trim or unquote: quoted ones from a Windows file keep their bytes
// when unchanged; new ones read back exactly as entered.
TEST_F(ElementFolderTest, TextValuesReadBackAsWritten)
{
    const QString dir = folder("8");
    const QByteArray cfg = kConfig.left(kConfig.indexOf("[VAR_0]")) +
                           "[VAR_0]\r\nVarType=1\r\nName=&N\r\nType=String\r\nValue='SMITH'\r\n"
                           "LastValue_0=KING\r\nLastValue_1='SMITH'\r\nLastValue_2=later\r\n";
    ASSERT_TRUE(writeBytes(dir + "item.cfg", cfg));
    ASSERT_TRUE(writeBytes(dir + "query.sql", "SELECT * FROM emp WHERE ename = &n"));
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    ASSERT_EQ(e.parsedVariables().size(), 1u);
    EXPECT_EQ(str(e.parsedVariables()[0].value), "SMITH");
    e.save();
    EXPECT_EQ(readBytes(dir + "item.cfg").toStdString(), cfg.toStdString());

    CSQLVariable &n = e.parsedVariables()[0];
    n.value = "'KING'";
    n.addToHistory(" padded ");
    n.addToHistory("\"q\"");
    e.save();
    CVexlorElement back;
    ASSERT_TRUE(back.load(dir));
    EXPECT_EQ(str(back.parsedVariables()[0].value), "'KING'");
    EXPECT_EQ(back.parsedVariables()[0].history,
              (QStringList{"KING", "SMITH", "later", " padded ", "\"q\""}));
}

// A full history keeps moving: the newest values are the ones read back, so a value entered
// after the history reached its limit is still offered after a restart.
TEST_F(ElementFolderTest, AFullHistoryKeepsItsNewestValues)
{
    const QString dir = folder("9");
    ASSERT_TRUE(writeBytes(dir + "query.sql", "SELECT * FROM emp WHERE ename = :n"));
    options::nMaxValuesInHist = 10;
    QStringList entered;
    {
        CVexlorElement e;
        ASSERT_TRUE(e.load(dir));
        for (int i = 0; i < 12; ++i) {
            entered << QString::number(i);
            e.parsedVariables()[0].addToHistory(entered.back());
            e.save();
            CVexlorElement reloaded; // every run starts from what the last one stored
            ASSERT_TRUE(reloaded.load(dir));
            e.parsedVariables()[0].history = reloaded.parsedVariables()[0].history;
        }
    }
    CVexlorElement back;
    ASSERT_TRUE(back.load(dir));
    EXPECT_EQ(back.parsedVariables()[0].history, entered.mid(2));

    // A limit below its range is read as the range's lower bound, as the next save of the options
    // would store it.
    options::nMaxValuesInHist = 3;
    CVexlorElement clamped;
    ASSERT_TRUE(clamped.load(dir));
    EXPECT_EQ(clamped.parsedVariables()[0].history.size(), 10);
}

TEST_F(ElementFolderTest, AGapInTheVariableSectionsEndsTheList)
{
    const QString dir = folder("6");
    ASSERT_TRUE(writeBytes(dir + "item.cfg",
                           "[VAR_0]\r\nName=:A\r\nLastValue_0=1\r\nLastValue_2=3\r\n"
                           "[VAR_1]\r\nVarType=1\r\nName=&B\r\n"
                           "[VAR_3]\r\nName=:D\r\n"));
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    ASSERT_EQ(e.savedVariables().size(), 2u);
    EXPECT_EQ(e.savedVariables()[0].history, QStringList{"1"}); // the history has its own gap
    EXPECT_EQ(e.savedVariables()[0].type, QString());           // a missing type stays empty
    EXPECT_EQ(e.savedVariables()[1].kind, CSQLVariable::kSubstitution);
}

TEST_F(ElementFolderTest, VariablesMergeByLastUseAndSurviveEditing)
{
    CVexlorElement e;
    e.initNew(m_dir.path(), 1);
    e.setSqlText("SELECT :a, :b FROM dual");
    e.refreshVariables();
    e.parsedVariables()[0].value = "1";
    e.parsedVariables()[0].addToHistory("1");
    e.save();

    e.setSqlText("SELECT :b FROM &t");
    e.refreshVariables();
    e.parsedVariables()[0].type = "Number";
    e.save();
    ASSERT_EQ(e.savedVariables().size(), 3u);
    EXPECT_EQ(str(e.savedVariables()[0].name), ":A"); // no longer used, still remembered
    EXPECT_EQ(str(e.savedVariables()[1].name), ":B");
    EXPECT_EQ(str(e.savedVariables()[1].type), "Number");
    EXPECT_EQ(str(e.savedVariables()[2].name), "&T");

    e.setSqlText("SELECT :a FROM dual");
    e.refreshVariables();
    EXPECT_EQ(str(e.parsedVariables()[0].value), "1");
    EXPECT_EQ(e.parsedVariables()[0].history, QStringList{"1"});

    CVexlorElement copy = e; // the editor's test run: no button goes with it
    e.attachments().setButton(new QObject);
    CVexlorElement second = e;
    EXPECT_EQ(second.attachments().button(), nullptr);
    EXPECT_EQ(str(copy.sqlText()), str(e.sqlText()));
}

TEST_F(ElementFolderTest, IconIsCopiedOnceIntoTheFolder)
{
    const QString chosen = m_dir.filePath("chosen.ico");
    ASSERT_TRUE(writeBytes(chosen, "new icon"));
    const QString dir = folder("2");
    ASSERT_TRUE(writeBytes(dir + "icon.ico", "old icon"));
    QFile::setPermissions(dir + "icon.ico", QFile::ReadOwner);

    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    e.setIconPath(chosen);
    e.save();
    EXPECT_EQ(readBytes(dir + "icon.ico"), "new icon");
    EXPECT_EQ(str(e.iconPath()), str(dir + "icon.ico"));

    e.setIconPath(QString()); // nothing chosen: the copy fails and nothing changes
    e.save();
    EXPECT_EQ(readBytes(dir + "icon.ico"), "new icon");
    EXPECT_TRUE(e.iconPath().isEmpty());
}

// Every write of a save reports its failure up to the caller with the file's path, and leaves the
// old file whole: a read-only folder (which stops an ordinary user), a full disk (a file-size
// limit, which stops root too).
TEST_F(ElementFolderTest, FailedSavesReportTheFileAndKeepTheOldOnes)
{
    const QString dir = folder("3");
    const QMap<QString, QByteArray> old{{"name.txt", "old"},
                                        {"description.txt", "old description"},
                                        {"query.sql", "SELECT 1 FROM dual"},
                                        {"icon.ico", "old icon"},
                                        {"item.cfg", kConfig}};
    for (auto it = old.begin(); it != old.end(); ++it)
        ASSERT_TRUE(writeBytes(dir + it.key(), it.value()));
    ASSERT_TRUE(writeBytes(m_dir.filePath("chosen.ico"), "a new icon that is long enough"));
    const auto expectOld = [&] {
        for (auto it = old.begin(); it != old.end(); ++it)
            EXPECT_EQ(readBytes(dir + it.key()), it.value()) << str(it.key());
        EXPECT_FALSE(QFileInfo::exists(dir + "item.cfg.new"));
    };
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    e.setName("new");
    e.setDescription("new description");
    e.connection().setUser("OTHER");

    {
        // A read-only folder, or for a privileged user a full disk.
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        const bool privileged = ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
        std::optional<testfiles::FileSizeLimit> full;
        if (privileged)
            full.emplace(1);
        EXPECT_FALSE(e.save());
        EXPECT_EQ(str(e.lastFailure()), str(dir + "name.txt"));
        EXPECT_FALSE(e.saveConfiguration(false));
        EXPECT_EQ(str(e.lastFailure()), str(dir + "item.cfg"));
        EXPECT_FALSE(e.saveConfiguration(true));
        EXPECT_EQ(str(e.lastFailure()), str(dir + "item.cfg"));
        EXPECT_FALSE(e.clearVariableHistory());
        EXPECT_EQ(str(e.lastFailure()), str(dir + "item.cfg"));
    }
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    expectOld();

    // A full disk with room for the small files only: the first file that does not fit is named,
    // the icon copy fails too, and every old file stays whole.
    e.setName(QString(64, QLatin1Char('n')));
    e.setIconPath(m_dir.filePath("chosen.ico"));
    {
        testfiles::FileSizeLimit full(20);
        ASSERT_TRUE(full.active());
        EXPECT_FALSE(e.save());
        EXPECT_EQ(str(e.lastFailure()), str(dir + "name.txt"));
    }
    EXPECT_EQ(readBytes(dir + "name.txt"), "old");
    EXPECT_EQ(readBytes(dir + "icon.ico"), "old icon");
    EXPECT_EQ(str(e.iconPath()), str(m_dir.filePath("chosen.ico"))) << "still to be copied";
    EXPECT_EQ(readBytes(dir + "item.cfg"), kConfig);

    // An icon that cannot be read is reported by the icon's path in the folder; the rest is saved.
    e.setName("new");
    e.setIconPath(m_dir.filePath("missing.ico"));
    EXPECT_FALSE(e.save());
    EXPECT_EQ(str(e.lastFailure()), str(dir + "icon.ico"));
    EXPECT_EQ(readBytes(dir + "name.txt"), "new");
    EXPECT_EQ(readBytes(dir + "icon.ico"), "old icon");

    // A folder that cannot be created (its parent is a file) is named itself.
    ASSERT_TRUE(writeBytes(m_dir.filePath("plain"), "a file"));
    CVexlorElement orphan;
    orphan.initNew(m_dir.filePath("plain"), 5);
    EXPECT_FALSE(orphan.save());
    EXPECT_EQ(str(orphan.lastFailure()), str(m_dir.filePath("plain/5/")));
    EXPECT_FALSE(orphan.saveConfiguration(false));
    EXPECT_EQ(str(orphan.lastFailure()), str(m_dir.filePath("plain/5/item.cfg")));

    // A save that works clears the failure.
    e.setIconPath(m_dir.filePath("chosen.ico"));
    EXPECT_TRUE(e.save());
    EXPECT_TRUE(e.lastFailure().isEmpty());
    EXPECT_EQ(readBytes(dir + "icon.ico"), "a new icon that is long enough");
}

TEST_F(ElementFolderTest, DeleteRemovesTheWholeFolderHoweverDeep)
{
    const QString outside = folder("outside");
    ASSERT_TRUE(writeBytes(outside + "keep.txt", "keep"));
    const QString dir = folder("9");
    QString deep = dir;
    while (deep.size() < 700)
        deep += QStringLiteral("a_rather_long_sub_folder_name/");
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(writeBytes(deep + "unknown.bin", "x"));
    ASSERT_TRUE(writeBytes(dir + "name.txt", "n"));
    ASSERT_TRUE(QFile::link(outside, dir + "link"));

    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    EXPECT_TRUE(e.deleteFolder());
    EXPECT_FALSE(QFileInfo::exists(dir));
    EXPECT_EQ(readBytes(outside + "keep.txt"), "keep"); // a link is removed, not followed

    CVexlorElement unsaved; // no folder path: nothing at all is removed or written
    EXPECT_FALSE(unsaved.deleteFolder());
    EXPECT_TRUE(QFileInfo::exists(outside));
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(outside));
    unsaved.save();
    QDir::setCurrent(cwd);
    EXPECT_EQ(QDir(outside).entryList(QDir::Files), QStringList{"keep.txt"});
}

// A statement with 16,000 distinct variables saves and loads back whole, and an item.cfg whose
// variable has 100,000 stored history values loads its newest ones: both in time proportional to
// their size.
TEST_F(ElementFolderTest, LargeStatementsAndHistoriesSaveAndLoadInLinearTime)
{
    constexpr int kVars = 16000;
    const QString dir = folder("11");
    QString sql = QStringLiteral("SELECT ");
    for (int i = 0; i < kVars; ++i)
        sql += QStringLiteral(":v") + QString::number(i) + QStringLiteral(", ");
    sql += QStringLiteral("&t FROM dual");
    {
        CVexlorElement e;
        ASSERT_TRUE(e.load(dir));
        e.setSqlText(sql);
        e.refreshVariables();
        ASSERT_EQ(e.parsedVariables().size(), size_t(kVars + 1));
        e.parsedVariables()[7].value = QStringLiteral("seven");
        ASSERT_TRUE(e.save());
        e.parsedVariables()[7].value = QStringLiteral("eight");
        ASSERT_TRUE(e.save()); // a second merge over the full saved list
        ASSERT_EQ(e.savedVariables().size(), size_t(kVars + 1));
        EXPECT_EQ(str(e.savedVariables()[kVars].name), "&T");
    }
    {
        const CProfileFile cfg(dir + "item.cfg");
        EXPECT_EQ(str(cfg.readString("VAR_7", "Value")), "eight");
        EXPECT_EQ(str(cfg.readString("VAR_15999", "Name")), ":V15999");
        EXPECT_EQ(str(cfg.readString("VAR_16000", "Name")), "&T");
    }

    QByteArray big = "[VAR_0]\r\nVarType=0\r\nName=:N\r\nType=Number\r\nValue=1\r\n";
    for (int j = 0; j < 100000; ++j)
        big += "LastValue_" + QByteArray::number(j) + "=" + QByteArray::number(j) + "\r\n";
    ASSERT_TRUE(writeBytes(dir + "item.cfg", big));
    ASSERT_TRUE(writeBytes(dir + "query.sql", "SELECT * FROM emp WHERE empno = :n"));
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    ASSERT_EQ(e.parsedVariables().size(), 1u);
    const QStringList &history = e.parsedVariables()[0].history;
    ASSERT_EQ(history.size(), 20);
    EXPECT_EQ(str(history.front()), "99980");
    EXPECT_EQ(str(history.back()), "99999");
}

// Window rectangles at the ends of the 32-bit range read as stored; their sizes do not overflow.
TEST_F(ElementFolderTest, ExtremeWindowRectanglesReadAsStored)
{
    const QString dir = folder("13");
    ASSERT_TRUE(writeBytes(dir + "item.cfg",
                           "[OTHERS]\r\nDbGridLeft=-2147483648\r\nDbGridTop=-2147483648\r\n"
                           "DbGridRight=2147483647\r\nDbGridBottom=2147483647\r\n"
                           "SQLEditLeft=2147483647\r\nSQLEditTop=0\r\n"
                           "SQLEditRight=-2147483648\r\nSQLEditBottom=99999999999\r\n"));
    CVexlorElement e;
    ASSERT_TRUE(e.load(dir));
    EXPECT_EQ(e.dbGridRect().width(), 4294967295LL);
    EXPECT_EQ(e.dbGridRect().height(), 4294967295LL);
    EXPECT_EQ(e.sqlEditRect().width(), -4294967295LL);
    EXPECT_EQ(e.sqlEditRect().bottom, 1215752191); // 32-bit wrap-around, as Windows reads it
    ASSERT_TRUE(e.saveConfiguration(false));
    CVexlorElement back;
    ASSERT_TRUE(back.load(dir));
    EXPECT_EQ(back.dbGridRect(), e.dbGridRect());
    EXPECT_EQ(back.sqlEditRect(), e.sqlEditRect());
}

} // namespace
