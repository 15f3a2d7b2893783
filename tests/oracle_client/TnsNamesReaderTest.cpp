// The net service names read out of tnsnames text: the shapes of real files, the mended readings of
// alias lists, plain values and IFILE, and files that are hostile or broken.
#include "oracle_client/CTnsNamesReader.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList names(const char *text) { return CTnsNamesReader::readText(QString::fromUtf8(text)); }

TEST(TnsNamesReader, EntriesInFileOrderUpperCasedWithNestedDescriptions)
{
    EXPECT_EQ(names("A = (DESCRIPTION = (ADDRESS = (HOST = h)(PORT = 1521)))\n"
                    "\n"
                    "b.world =\n"
                    "  (DESCRIPTION =\n"
                    "    (CONNECT_DATA = (SID = orcl))\n"
                    "  )\n"),
              (QStringList{"A", "B.WORLD"}));
    // Only a to z change case; the rest of a name stays as written.
    EXPECT_EQ(names("ab-c_1$x = (D=1)"), QStringList{"AB-C_1$X"});
}

TEST(TnsNamesReader, CommentsHideAliasesButNotTheEntryAroundThem)
{
    EXPECT_EQ(names("# X = (DESCRIPTION = (A=1))\n"
                    "Y = (DESCRIPTION = # ) a closing parenthesis in a comment\n"
                    "  (A = 1))\n"
                    "Z = (D = 1)\n"),
              (QStringList{"Y", "Z"}));
}

TEST(TnsNamesReader, AliasListsGiveEveryNameAndEmptyAliasesNone)
{
    EXPECT_EQ(names("A, b ,C = (D=1)\n"), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(names(" = (D=1)\n, = (D=2)\nE = (D=3)"), QStringList{"E"});
}

TEST(TnsNamesReader, PlainValueDefinesNothingAndHidesNothingAfterIt)
{
    EXPECT_EQ(names("NAMES.DEFAULT_DOMAIN = world\nA = (D=1)\n"), QStringList{"A"});
    EXPECT_EQ(names("X = value\nY = (D=1)"), QStringList{"Y"});
}

TEST(TnsNamesReader, QuotedValuesAreOpaque)
{
    EXPECT_EQ(names("BEQ = (DESCRIPTION = (ARGS = '(DESCRIPTION=(LOCAL=YES)(ADDRESS=(P=beq)))')\n"
                    "  (CONNECT_DATA = (SID = X)))\n"
                    "NEXT = (D = \"a ) b\")\n"),
              (QStringList{"BEQ", "NEXT"}));
}

TEST(TnsNamesReader, UnclosedDescriptionDoesNotSwallowTheNextEntry)
{
    EXPECT_EQ(names("A = (DESCRIPTION = (ADDRESS = (HOST = h)\n"
                    "B =\n"
                    "  (DESCRIPTION = (HOST = i))\n"
                    "C = (D=1)"),
              (QStringList{"A", "B", "C"}));
    // Stray closing parentheses and lines without '=' between entries are skipped; an alias may
    // still stand on the line before its '='.
    EXPECT_EQ(names("A = (D=1))\n)\nstray words\nB = (D=2)\nC\n  = (D=3)"),
              (QStringList{"A", "B", "C"}));
}

TEST(TnsNamesReader, IfileReadsTheNamedFileInPlaceRelativeToTheIncludingFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    ASSERT_TRUE(testfiles::writeBytes(
        dir.filePath("tnsnames.ora"),
        "A = (D=1)\nIFILE = sub/more.ora\nifile=\"/no/such/file\"\nZ = (D=2)\n"));
    ASSERT_TRUE(testfiles::writeBytes(dir.filePath("sub/more.ora"),
                                      "M = (D=1)\r\nIFILE = 'deeper.ora' # quoted\r\n"));
    ASSERT_TRUE(testfiles::writeBytes(dir.filePath("sub/deeper.ora"), "N = (D=1)\n"));
    EXPECT_EQ(CTnsNamesReader::readFile(dir.filePath("tnsnames.ora")),
              (QStringList{"A", "M", "N", "Z"}));
}

TEST(TnsNamesReader, IncludeLoopsDepthAndFanOutAreBounded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A includes itself and B; B includes A: each name once per legitimate path, then it stops.
    ASSERT_TRUE(
        testfiles::writeBytes(dir.filePath("a.ora"), "A = (D=1)\nIFILE=a.ora\nIFILE=b.ora\n"));
    ASSERT_TRUE(testfiles::writeBytes(dir.filePath("b.ora"), "B = (D=1)\nIFILE=a.ora\n"));
    EXPECT_EQ(CTnsNamesReader::readFile(dir.filePath("a.ora")), (QStringList{"A", "B"}));

    // A chain deeper than the limit stops at the limit.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(testfiles::writeBytes(
            dir.filePath(QString("c%1.ora").arg(i)),
            QString("C%1 = (D=1)\nIFILE=c%2.ora\n").arg(i).arg(i + 1).toUtf8()));
    EXPECT_EQ(CTnsNamesReader::readFile(dir.filePath("c0.ora")).size(),
              CTnsNamesReader::kMaxIncludeDepth + 1);

    // Every file including the next one many times would grow as the power of the depth.
    for (int i = 0; i < 10; ++i) {
        QByteArray text = QString("F%1 = (D=1)\n").arg(i).toUtf8();
        for (int j = 0; j < 50; ++j)
            text += QString("IFILE=f%1.ora\n").arg(i + 1).toUtf8();
        ASSERT_TRUE(testfiles::writeBytes(dir.filePath(QString("f%1.ora").arg(i)), text));
    }
    EXPECT_LE(CTnsNamesReader::readFile(dir.filePath("f0.ora")).size(), CTnsNamesReader::kMaxFiles);
}

TEST(TnsNamesReader, BinaryHugeAndMissingFilesGiveNoGarbage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 7919) & 0xff);
    binary += "\nOK = (D=1)\n";
    ASSERT_TRUE(testfiles::writeBytes(dir.filePath("binary.ora"), binary));
    for (const QString &name : CTnsNamesReader::readFile(dir.filePath("binary.ora")))
        for (QChar c : name)
            EXPECT_GT(c.unicode(), 0x20) << "a control character in " << name.toStdString();

    QFile huge(dir.filePath("huge.ora"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("A = (D=1)\n");
    ASSERT_TRUE(huge.resize(CTnsNamesReader::kMaxFileSize + 1));
    huge.close();
    EXPECT_TRUE(CTnsNamesReader::readFile(dir.filePath("huge.ora")).isEmpty());
    EXPECT_TRUE(CTnsNamesReader::readFile(dir.filePath("missing.ora")).isEmpty());
    EXPECT_TRUE(CTnsNamesReader::readFile(dir.path()).isEmpty());
}

// Real files from public repositories, each with the names Oracle resolves from it.
TEST(TnsNamesReader, RealWorldCorpusReadsToTheNamesOracleResolves)
{
    // ../shared beside the repository, or where $TARVOLO_SHARED_DIR points (a work tree elsewhere).
    const QString shared = qEnvironmentVariableIsSet("TARVOLO_SHARED_DIR")
                               ? qEnvironmentVariable("TARVOLO_SHARED_DIR")
                               : QStringLiteral(TARVOLO_SOURCE_DIR "/../shared");
    const QString corpus = shared + QStringLiteral("/tnsnames-corpus");
    QFile index(corpus + "/INDEX.tsv");
    if (!index.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no tnsnames corpus beside the repository";
    const QList<QByteArray> lines = index.readAll().split('\n');
    int files = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() < 5)
            continue;
        const QString file = QString::fromUtf8(fields[0]) + ".ora";
        const QStringList expected =
            QString::fromUtf8(fields[4]).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        EXPECT_EQ(CTnsNamesReader::readFile(corpus + "/" + file), expected) << file.toStdString();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
