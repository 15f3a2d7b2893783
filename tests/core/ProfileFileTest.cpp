#include "core/CProfileFile.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

class ProfileFile : public ::testing::Test
{
protected:
    QString file(const QString &name = QStringLiteral("item.cfg")) const
    {
        return m_dir.filePath(name);
    }

    // Writes bytes as the file, applies writes through a fresh profile object and returns the
    // bytes.
    template <typename Writes> QByteArray afterWrites(const QByteArray &bytes, Writes writes)
    {
        EXPECT_TRUE(testfiles::writeBytes(file(), bytes));
        {
            CProfileFile ini(file());
            writes(ini);
            EXPECT_TRUE(ini.flush());
        }
        return testfiles::readBytes(file());
    }

    QTemporaryDir m_dir;
};

// The bytes of a literal that may hold NULs.
template <qsizetype N> QByteArray raw(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QByteArray utf16(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

TEST_F(ProfileFile, ReadsLinesAsWindowsDoes)
{
    ASSERT_TRUE(testfiles::writeBytes(file(), QByteArray("orphan=1\r\n"
                                                         "; comment=1\r\n"
                                                         "[ Main ]\r\n"
                                                         "  \tKey \v=  value  \r\n"
                                                         "quoted=\"  a  \"\r\n"
                                                         "single='x'\r\n"
                                                         "mixed='x\"\r\n"
                                                         "doubled=''x''\r\n"
                                                         "lone=\"\r\n"
                                                         "comment=v ;x\r\n"
                                                         "#hash=2\r\n"
                                                         "bare\r\n"
                                                         "=empty\r\n"
                                                         "twice=first\r\n"
                                                         "twice=second\r\n"
                                                         "eq=a=b\r\n"
                                                         "[S]k=v\r\n"
                                                         "[Main]\r\n"
                                                         "late=hidden\r\n"
                                                         "[Open   \r\n"
                                                         "k=open\r\n"
                                                         "[]\r\n"
                                                         "k=nameless\r\n")));
    CProfileFile ini(file());
    EXPECT_EQ(ini.readString("Main", "Key"), "value");
    EXPECT_EQ(ini.readString("  mAIN ", " KEY  "), "value");
    EXPECT_EQ(ini.readString("Main\t", "Key"), "");
    EXPECT_EQ(ini.readString("Main", "quoted"), "  a  ");
    EXPECT_EQ(ini.readString("Main", "single"), "x");
    EXPECT_EQ(ini.readString("Main", "mixed"), "'x\"");
    EXPECT_EQ(ini.readString("Main", "doubled"), "'x'");
    EXPECT_EQ(ini.readString("Main", "lone"), "\"");
    EXPECT_EQ(ini.readString("Main", "comment"), "v ;x");
    EXPECT_EQ(ini.readString("Main", "#hash"), "2");
    EXPECT_EQ(ini.readString("Main", "bare", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("Main", ""), "empty");
    EXPECT_EQ(ini.readString("Main", "twice"), "first");
    EXPECT_EQ(ini.readString("Main", "eq"), "a=b");
    EXPECT_EQ(ini.readString("Main", "late", "no"), "no");
    EXPECT_EQ(ini.readString("Main", "; comment", "no"), "no");
    EXPECT_EQ(ini.readString("", "orphan", "no"), "no");
    EXPECT_EQ(ini.readString("S", "k", "no"), "no");
    EXPECT_EQ(ini.readString("Open", "k"), "open");
    EXPECT_EQ(ini.readString("", "k"), "nameless");
    EXPECT_EQ(ini.sectionNames(), QStringList({"Main", "S", "Main", "Open", ""}));
    EXPECT_EQ(ini.keyNames("main"),
              QStringList({"Key", "quoted", "single", "mixed", "doubled", "lone", "comment",
                           "#hash", "twice", "twice", "eq"}));
    EXPECT_TRUE(ini.keyNames("missing").isEmpty());
}

TEST_F(ProfileFile, LineEndsCutsAndDefaults)
{
    for (const char *eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(QByteArray(eol).toHex().toStdString());
        const QByteArray e(eol);
        ASSERT_TRUE(testfiles::writeBytes(file(), "[A]" + e + "x=1" + e + "[B]" + e + "y=2"));
        CProfileFile ini(file());
        EXPECT_EQ(ini.readString("A", "x"), "1");
        EXPECT_EQ(ini.readString("B", "y"), "2");
    }
    const QString longValue = QString(3000, QLatin1Char('v'));
    ASSERT_TRUE(testfiles::writeBytes(file(), "[A]\r\nlong=\"" + longValue.toLatin1() + "\"\r\n"));
    CProfileFile ini(file());
    EXPECT_EQ(ini.readString("A", "long"), longValue.left(CProfileFile::kMaxValueLength));
    EXPECT_EQ(ini.readString("A", "none", "  dflt \t  "), "  dflt \t");
    EXPECT_EQ(ini.readString("A", "none", longValue).size(), CProfileFile::kMaxValueLength);
    CProfileFile missing(file("absent.cfg"));
    EXPECT_EQ(missing.readString("A", "x", "d"), "d");
    EXPECT_EQ(missing.readInt("A", "x", 5), 5);
    EXPECT_TRUE(missing.flush());
    EXPECT_FALSE(QFile::exists(file("absent.cfg")));
}

TEST_F(ProfileFile, ReadsIntegersByTheirLeadingNumber)
{
    const std::pair<const char *, int> cases[] = {
        {"1", 1},
        {"+1", 1},
        {"-1", -1},
        {" 42 ", 42},
        {"12abc", 12},
        {"42A94967297", 42},
        {"B4294967297", 0},
        {"abc", 0},
        {"", 99},
        {"\"\"", 99},
        {"\" \"", 0},
        {"0x1F", 31},
        {"-0x10", -16},
        {"0o17", 15},
        {"0b101", 5},
        {"0b2", 0},
        {"0X10", 0},
        {"--5", 0},
        {"+-5", 0},
        {"\"7\"", 7},
        {"2147483647", 2147483647},
        {"2147483648", -2147483647 - 1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967297", -1},
        {"007", 7},
    };
    QByteArray bytes("[N]\r\n");
    int i = 0;
    for (const auto &c : cases)
        bytes += "k" + QByteArray::number(i++) + "=" + c.first + "\r\n";
    ASSERT_TRUE(testfiles::writeBytes(file(), bytes));
    CProfileFile ini(file());
    i = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(ini.readInt("N", "k" + QString::number(i++), 99), c.second);
    }
    EXPECT_EQ(ini.readInt("N", "missing", -3), -3);
    EXPECT_EQ(ini.readInt("M", "k0"), 0);
}

TEST_F(ProfileFile, WritingOneValueChangesOnlyItsLine)
{
    const QByteArray head = raw("; header comment\r\n\r\n[A]\r\nx = old  \r\n  y=\0keep\r\n");
    const QByteArray tail = raw("junk \x01\x02\0\xff\r\n[B]\r\nz=1\r\n");
    EXPECT_EQ(afterWrites(head + tail, [](CProfileFile &ini) { ini.writeString("a", "X", "new"); }),
              raw("; header comment\r\n\r\n[A]\r\nx = new\r\n  y=\0keep\r\n") + tail);

    // The rewritten line ends in CR LF; the other LF lines stay as they were.
    EXPECT_EQ(afterWrites("[A]\nx=1\ny=2\n", [](CProfileFile &ini) { ini.writeInt("A", "x", -5); }),
              "[A]\nx=-5\r\ny=2\n");
    EXPECT_EQ(afterWrites("[A]\r\nx=1", [](CProfileFile &ini) { ini.writeInt("A", "x", 2); }),
              "[A]\r\nx=2\r\n");
    // Writing the value a key already holds leaves the file alone, line ends included.
    EXPECT_EQ(afterWrites("[A]\nx=1\n", [](CProfileFile &ini) { ini.writeString("A", "x", "1"); }),
              "[A]\nx=1\n");
    // Line breaks in a value would split the line and inject keys; they are written as spaces.
    EXPECT_EQ(afterWrites("[A]\r\n",
                          [](CProfileFile &ini) { ini.writeString("A", "x", " v\r\n[B]\nk=1 "); }),
              "[A]\r\nx= v  [B] k=1 \r\n");
}

TEST_F(ProfileFile, NewKeysAndSectionsGoWhereWindowsPutsThem)
{
    EXPECT_EQ(
        afterWrites("[A]\r\nk1=1\r\nbare\r\n; after\r\n\r\n[B]\r\nk=1\r\n[A]\r\nk9=9\r\n",
                    [](CProfileFile &ini) {
                        ini.writeString("A", "n1", "x");
                        ini.writeString("A", "n2", "y");
                        ini.writeString("B", "k", "2");
                    }),
        "[A]\r\nk1=1\r\nbare\r\nn1=x\r\nn2=y\r\n; after\r\n\r\n[B]\r\nk=2\r\n[A]\r\nk9=9\r\n");
    EXPECT_EQ(afterWrites("[A]\r\n; only a comment\r\n",
                          [](CProfileFile &ini) { ini.writeString("A", "k", "v"); }),
              "[A]\r\nk=v\r\n; only a comment\r\n");
    EXPECT_EQ(
        afterWrites("[A]\nk=1", [](CProfileFile &ini) { ini.writeString(" New ", "K ", ""); }),
        "[A]\nk=1\r\n[New]\r\nK=\r\n");
    EXPECT_EQ(afterWrites("", [](CProfileFile &ini) { ini.writeString("S", "K", "V"); }),
              "[S]\r\nK=V\r\n");
    {
        CProfileFile ini(file("new.cfg"));
        ini.writeString("", "K", "V");
        ini.writeInt("S", "n", 7);
    } // the destructor flushes
    EXPECT_EQ(testfiles::readBytes(file("new.cfg")), "[]\r\nK=V\r\n[S]\r\nn=7\r\n");
}

TEST_F(ProfileFile, Utf16FileWithItsMarkStaysUtf16)
{
    const QByteArray original =
        testfiles::readBytes(testfiles::dataPath("core/profile/tvl-utf16.cfg"));
    ASSERT_FALSE(original.isEmpty());
    ASSERT_TRUE(testfiles::writeBytes(file(), original));
    {
        CProfileFile ini(file());
        EXPECT_EQ(ini.readInt("GENERAL", "Top"), 20);
        EXPECT_EQ(ini.readString("EL_MAP", "Name"), QString::fromUtf8("Zähler ❤"));
    }
    EXPECT_EQ(afterWrites(original,
                          [](CProfileFile &ini) {
                              ini.writeInt("GENERAL", "Top", 25);
                              ini.writeInt("EL_MAP", "El_1", 7);
                          }),
              testfiles::readBytes(testfiles::dataPath("core/profile/tvl-utf16-written.cfg")));
    // A file holding only the mark gets a line break before its first section.
    EXPECT_EQ(afterWrites(QByteArray("\xFF\xFE", 2),
                          [](CProfileFile &ini) { ini.writeString("S", "K", "V"); }),
              utf16("\r\n[S]\r\nK=V\r\n"));
    // A dangling half unit at the end is dropped rather than shifting what follows off alignment.
    EXPECT_EQ(afterWrites(utf16("[A]\r\n\r\n") + "\x41",
                          [](CProfileFile &ini) { ini.writeString("B", "K", "V"); }),
              utf16("[A]\r\n\r\n[B]\r\nK=V\r\n"));
    EXPECT_EQ(afterWrites(utf16("[A]\r\nk=1") + "\x41",
                          [](CProfileFile &ini) { ini.writeString("A", "n", "2"); }),
              utf16("[A]\r\nk=1\r\nn=2\r\n"));
}

TEST_F(ProfileFile, AnsiFilesKeepTheirCodePage)
{
    // Written on Windows in code page 1252: not UTF-8, so read and written back as 1252.
    const QByteArray legacy = qgetenv("TARVOLO_LEGACY_CODEPAGE");
    qputenv("TARVOLO_LEGACY_CODEPAGE", "1252");
    const auto restore = qScopeGuard([&] { qputenv("TARVOLO_LEGACY_CODEPAGE", legacy); });
    const QByteArray original =
        testfiles::readBytes(testfiles::dataPath("core/profile/item-cp1252.cfg"));
    ASSERT_FALSE(original.isEmpty());
    const QByteArray written = afterWrites(original, [](CProfileFile &ini) {
        EXPECT_EQ(ini.readString("VAR_0", "Value"), QString::fromUtf8("Müller"));
        EXPECT_EQ(ini.readInt("OTHERS", "ShowWarning"), 7);
        ini.writeInt("OTHERS", "ShowWarning", 1);
        ini.writeString("OTHERS", "LastStart", "08.12.2026 09:05:00");
        ini.writeString("VAR_0", "Value", QString::fromUtf8("Straße"));
        ini.writeString("VAR_0", "LastValue_1", QString::fromUtf8("Straße"));
        ini.writeInt("VAR_1", "VarType", 1);
    });
    EXPECT_EQ(written,
              testfiles::readBytes(testfiles::dataPath("core/profile/item-cp1252-written.cfg")));

    // Text the legacy code page cannot hold turns the file into the locale's UTF-8 rather than '?'.
    ASSERT_TRUE(testfiles::writeBytes(file(), "[A]\r\nold=M\xfcller\r\n"));
    {
        CProfileFile ini(file());
        ini.writeString("A", "new", QString::fromUtf8("Щука"));
    }
    EXPECT_EQ(testfiles::readBytes(file()), QByteArray("[A]\r\nold=Müller\r\nnew=Щука\r\n"));

    // A UTF-8 mark stays in place and does not hide the first header.
    EXPECT_EQ(afterWrites("\xEF\xBB\xBF[A]\r\nk=1\r\n",
                          [](CProfileFile &ini) {
                              EXPECT_EQ(ini.readInt("A", "k"), 1);
                              ini.writeInt("A", "k", 2);
                          }),
              "\xEF\xBB\xBF[A]\r\nk=2\r\n");

    // Valid UTF-8 reads as UTF-8; new lines are written so.
    EXPECT_EQ(afterWrites("[A]\r\nk=Zähler\r\n",
                          [](CProfileFile &ini) {
                              EXPECT_EQ(ini.readString("A", "k"), QString::fromUtf8("Zähler"));
                              ini.writeString("A", "n", QString::fromUtf8("ä"));
                          }),
              "[A]\r\nk=Zähler\r\nn=ä\r\n");
}

TEST_F(ProfileFile, HostileFilesGiveDefinedResults)
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) >> 3));
    binary += raw("\r\n[S]\r\nk=v\r\n\0");
    const QByteArray hugeLine = "[H]\r\nk=" + QByteArray(2 * 1024 * 1024, 'x');
    for (const QByteArray &bytes : {binary, hugeLine, QByteArray(100, '\0')}) {
        afterWrites(bytes, [](CProfileFile &ini) {
            ini.readString("S", "k");
            ini.writeString("S", "k", "w");
        });
        CProfileFile ini(file());
        EXPECT_EQ(ini.readString("S", "k"), "w");
    }

    // A path that cannot hold a file: reads give defaults and writes are refused.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.cfg"));
    CProfileFile dir(file("folder.cfg"));
    EXPECT_EQ(dir.readString("S", "k", "d"), "d");
    dir.writeString("S", "k", "v");
    EXPECT_FALSE(dir.flush());
    CProfileFile noFolder(file("missing/item.cfg"));
    noFolder.writeString("S", "k", "v");
    EXPECT_FALSE(noFolder.flush());
}

TEST_F(ProfileFile, DeleteFileStartsAFullRewrite)
{
    ASSERT_TRUE(testfiles::writeBytes(file(), "[VAR_0]\r\nName=:A\r\n[VAR_1]\r\nName=:B\r\n"));
    CProfileFile ini(file());
    EXPECT_EQ(ini.readString("VAR_1", "Name"), ":B");
    EXPECT_TRUE(ini.deleteFile());
    EXPECT_FALSE(QFile::exists(file()));
    EXPECT_EQ(ini.readString("VAR_1", "Name"), "");
    EXPECT_TRUE(ini.deleteFile());
    ini.writeString("VAR_0", "Name", ":C");
    EXPECT_TRUE(ini.flush());
    EXPECT_EQ(testfiles::readBytes(file()), "[VAR_0]\r\nName=:C\r\n");
}

TEST_F(ProfileFile, RemovingAKeyDropsItsLineOnly)
{
    // The first of two lines goes and the second becomes the one read; a new key still follows the
    // last key line, above the comment.
    EXPECT_EQ(afterWrites("[A]\r\nk=1\r\nK=2\r\nlast=3\r\n; note\r\n[B]\r\nk=4\r\n",
                          [](CProfileFile &ini) {
                              EXPECT_TRUE(ini.removeKey("a", "K"));
                              EXPECT_EQ(ini.readString("A", "k").toStdString(), "2");
                              EXPECT_TRUE(ini.removeKey("A", "last"));
                              EXPECT_FALSE(ini.removeKey("A", "missing"));
                              EXPECT_FALSE(ini.removeKey("C", "k"));
                              ini.writeString("A", "new", "5");
                              EXPECT_EQ(ini.keyNames("A"), (QStringList{"K", "new"}));
                          }),
              "[A]\r\nK=2\r\nnew=5\r\n; note\r\n[B]\r\nk=4\r\n");
    // The section's header stays when its last key goes; a section added afterwards follows the
    // last line that is left.
    EXPECT_EQ(afterWrites("[A]\r\nk=1",
                          [](CProfileFile &ini) {
                              EXPECT_TRUE(ini.removeKey("A", "k"));
                              ini.writeString("B", "x", "1");
                          }),
              "[A]\r\n[B]\r\nx=1\r\n");
}

// A key name written with a leading '[' reads back as a header: it starts a section there, as
// the next read of the file does, and the lines after it belong to that section.
TEST_F(ProfileFile, AWrittenHeaderSplitsTheSection)
{
    const QByteArray bytes =
        afterWrites("[A]\r\nk=1\r\n; tail\r\n[B]\r\nz=2\r\n", [](CProfileFile &ini) {
            ini.writeString("A", "[C]x", "v");
            EXPECT_EQ(ini.sectionNames(), (QStringList{"A", "C", "B"}));
            ini.writeString("C", "y", "3");
        });
    EXPECT_EQ(bytes, "[A]\r\nk=1\r\n[C]x=v\r\ny=3\r\n; tail\r\n[B]\r\nz=2\r\n");
}

// 100,000 order-map entries and a section of 100,000 history values: reading every key and
// writing a few takes time in proportion to the file, and the file comes back byte for byte
// except for the lines written.
TEST_F(ProfileFile, LargeFilesReadAndWriteInLinearTime)
{
    constexpr int kEntries = 100000;
    QByteArray bytes = "[GENERAL]\r\nLeft=0\r\n[EL_MAP]\r\n";
    for (int i = 0; i < kEntries; ++i)
        bytes += "El_" + QByteArray::number(i) + "=" + QByteArray::number(kEntries - i) +
                 "\r\nMap_" + QByteArray::number(i) + "=" + QByteArray::number(i + 1) + "\r\n";
    bytes += "el_5=duplicate\r\n[VAR_0]\r\nName=:N\r\n";
    for (int i = 0; i < kEntries; ++i)
        bytes += "LastValue_" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    ASSERT_TRUE(testfiles::writeBytes(file(), bytes));

    CProfileFile ini(file());
    long long sum = 0;
    for (int i = 0; i < kEntries; ++i) {
        sum += ini.readInt("EL_MAP", QStringLiteral("El_%1").arg(i));
        sum += ini.readInt("el_map", QStringLiteral("MAP_%1").arg(i));
    }
    EXPECT_EQ(sum, 2LL * kEntries * (kEntries + 1) / 2);
    EXPECT_EQ(ini.readInt("EL_MAP", "El_5"), kEntries - 5); // the first occurrence wins
    EXPECT_EQ(ini.readString("VAR_0", "LastValue_99999").toStdString(), "v99999");
    ini.writeInt("EL_MAP", "El_7", 1);
    ini.writeString("VAR_0", "LastValue_100000", "new");
    ASSERT_TRUE(ini.flush());

    QByteArray expected = bytes;
    expected.replace("\r\nEl_7=" + QByteArray::number(kEntries - 7) + "\r\n", "\r\nEl_7=1\r\n");
    expected += "LastValue_100000=new\r\n";
    EXPECT_TRUE(testfiles::readBytes(file()) == expected);
}
