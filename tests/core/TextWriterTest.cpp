#include "core/CProfileFile.h"
#include "core/CTextReader.h"
#include "core/CTextWriter.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

class TextWriterTest : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("out.txt")) const { return m_dir.filePath(name); }

    QByteArray written(int encoding, const QString &text, unsigned cp = 1252)
    {
        {
            CTextWriter writer(path(), encoding, cp);
            EXPECT_TRUE(writer.isOpen());
            writer.writeText(text);
        }
        return testfiles::readBytes(path());
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(TextWriterTest, GoldenBytesOfEachEncoding)
{
    const QString text = u(u"a\r\n\u00e9\u20ac\n\U0001F600");
    EXPECT_EQ(written(CTextStream::Ansi, text), QByteArray("a\r\n\xE9\x80\n?"));
    EXPECT_EQ(written(CTextStream::Utf16BE, text),
              QByteArray("\xFE\xFF\0a\0\r\0\n\0\xE9\x20\xAC\0\n\xD8\x3D\xDE\x00", 18));
    EXPECT_EQ(written(CTextStream::Utf16LE, text),
              QByteArray("\xFF\xFE" "a\0\r\0\n\0\xE9\0\xAC\x20\n\0\x3D\xD8\x00\xDE", 18));
    EXPECT_EQ(written(CTextStream::Utf8, text),
              QByteArray("\xEF\xBB\xBF" "a\r\n\xC3\xA9\xE2\x82\xAC\n\xED\xA0\xBD\xED\xB8\x80"));
    // The mark alone for an empty text; an unknown encoding writes ANSI.
    EXPECT_EQ(written(CTextStream::Utf8, QString()), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(written(CTextStream::Utf16LE, QString()), QByteArray("\xFF\xFE"));
    EXPECT_EQ(written(CTextStream::Ansi, QString()), QByteArray());
    EXPECT_EQ(written(9, u(u"\u00e9")), QByteArray("\xE9"));
}

TEST_F(TextWriterTest, EveryEncodingRoundTripsThroughTheReader)
{
    QString text;
    for (int i = 0; i < 900; ++i)
        text += u(u"Zeile %1 \u00e4\u00f6\u00fc \u0416 \U0001F600\r\n").arg(i);
    text += "last";
    for (int enc : {CTextStream::Utf16BE, CTextStream::Utf16LE, CTextStream::Utf8}) {
        written(enc, text);
        CTextReader reader(path());
        QString back;
        ASSERT_TRUE(reader.readWholeText(back));
        EXPECT_EQ(reader.encoding(), enc);
        EXPECT_EQ(back, text) << enc;
    }
}

TEST_F(TextWriterTest, DataLostFlagAndDefaultCharacter)
{
    {
        CTextWriter writer(path(), CTextStream::Ansi, 1252);
        writer.writeText(u(u"\u00e9"));
        EXPECT_FALSE(writer.dataLost());
        writer.setDefaultChar('#');
        writer.writeText(u(u"\u0416x"));
        EXPECT_TRUE(writer.dataLost());
        writer.writeText(QStringLiteral("ok"));
        EXPECT_TRUE(writer.dataLost()); // stays set
    }
    EXPECT_EQ(testfiles::readBytes(path()), QByteArray("\xE9#xok"));
    CTextWriter utf8(path(), CTextStream::Utf8);
    utf8.writeText(u(u"\u0416\U0001F600"));
    EXPECT_FALSE(utf8.dataLost());
}

TEST_F(TextWriterTest, TargetIsReplacedOnlyOnCommit)
{
    ASSERT_TRUE(testfiles::writeBytes(path(), "old"));
    CTextWriter writer(path(), CTextStream::Ansi, 1252);
    writer.writeText(QString(5000, 'n'));
    EXPECT_EQ(testfiles::readBytes(path()), QByteArray("old"));
    EXPECT_TRUE(writer.commit());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(testfiles::readBytes(path()), QByteArray(5000, 'n'));
    writer.writeText(QStringLiteral("ignored"));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(testfiles::readBytes(path()).size(), 5000);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"out.txt"});
}

TEST_F(TextWriterTest, FileThatCannotBeCreatedMakesWritesNoOps)
{
    ASSERT_TRUE(testfiles::writeBytes(path("plain"), "keep"));
    for (const QString &target : {path("plain/inside.txt"), path("no/such/folder.txt"), m_dir.path()}) {
        CTextWriter writer(target, CTextStream::Utf8);
        EXPECT_FALSE(writer.isOpen());
        writer.writeText(QStringLiteral("text"));
        EXPECT_FALSE(writer.dataLost());
        EXPECT_FALSE(writer.commit());
    }
    EXPECT_EQ(testfiles::readBytes(path("plain")), QByteArray("keep"));
}

TEST_F(TextWriterTest, FailedWriteLeavesTheOldFile)
{
    // A file-size limit makes the write fail part-way, also for a privileged user: once inside a
    // long write, once in the last flush of a short text (which QSaveFile alone lets through).
    for (const int length : {20000, 5000}) {
        ASSERT_TRUE(testfiles::writeBytes(path(), "old content"));
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool committed = true;
        {
            CTextWriter writer(path(), CTextStream::Utf16LE);
            writer.writeText(QString(length, 'x'));
            committed = writer.commit();
        }
        bool flushed = true;
        {
            CProfileFile ini(path("ini"));
            ini.writeString("S", "k", QString(length, 'y'));
            flushed = ini.flush();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(committed) << length;
        EXPECT_FALSE(flushed) << length;
        EXPECT_EQ(testfiles::readBytes(path()), QByteArray("old content"));
        EXPECT_FALSE(QFile::exists(path("ini")));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"out.txt"});
    }
}
