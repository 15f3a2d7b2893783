#include "core/CTextReader.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

class TextReaderTest : public ::testing::Test
{
protected:
    // Writes bytes to a fresh file of the temporary folder and returns its path.
    QString file(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.txt").arg(m_count++));
        EXPECT_TRUE(testfiles::writeBytes(path, bytes));
        return path;
    }

    // Every line of the file, read under code page cp.
    QStringList lines(const QByteArray &bytes, unsigned cp = 1252, int *encoding = nullptr)
    {
        CTextReader reader(file(bytes));
        reader.setCodePage(cp);
        if (encoding)
            *encoding = reader.encoding();
        QStringList out;
        QString line;
        while (reader.readLine(line))
            out << line;
        return out;
    }

    QString whole(const QByteArray &bytes, unsigned cp = 1252)
    {
        CTextReader reader(file(bytes));
        reader.setCodePage(cp);
        QString text = QStringLiteral("untouched");
        EXPECT_TRUE(reader.readWholeText(text));
        return text;
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

// The same logical text in each of the four encodings.
QByteArray encode(const QString &text, int encoding)
{
    QByteArray out;
    switch (encoding) {
    case CTextStream::Ansi:
        return text.toLatin1();
    case CTextStream::Utf16BE:
    case CTextStream::Utf16LE:
        out = encoding == CTextStream::Utf16BE ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
        for (QChar ch : text) {
            const char hi = char(ch.unicode() >> 8), lo = char(ch.unicode() & 0xFF);
            out.append(encoding == CTextStream::Utf16BE ? hi : lo);
            out.append(encoding == CTextStream::Utf16BE ? lo : hi);
        }
        return out;
    default:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    }
}

} // namespace

TEST_F(TextReaderTest, DetectsByteOrderMarksAndRewindsWithoutOne)
{
    struct Case {
        QByteArray bytes;
        int encoding;
        QString text;
    };
    const Case cases[] = {
        {QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0", 10), CTextStream::Utf16LE, "a\r\nb"},
        {QByteArray("\xFE\xFF\0a\0\r\0\n\0b", 10), CTextStream::Utf16BE, "a\r\nb"},
        {QByteArray("\xEF\xBB\xBF\xC3\xA9"), CTextStream::Utf8, u(u"\u00e9")},
        {QByteArray("\xEF\xBB\x41"), CTextStream::Ansi, u(u"\u00ef\u00bbA")},
        {QByteArray("\xEF\xBB"), CTextStream::Ansi, u(u"\u00ef\u00bb")},
        {QByteArray("\xFF"), CTextStream::Ansi, u(u"\u00ff")},
        {QByteArray("\xFE\x41"), CTextStream::Ansi, u(u"\u00feA")},
        {QByteArray("x"), CTextStream::Ansi, "x"},
        {QByteArray("\xFF\xFE"), CTextStream::Utf16LE, ""},
        {QByteArray("\xEF\xBB\xBF"), CTextStream::Utf8, ""},
        {QByteArray(), CTextStream::Ansi, ""},
    };
    for (const Case &c : cases) {
        CTextReader reader(file(c.bytes));
        reader.setCodePage(1252);
        EXPECT_TRUE(reader.isOpen());
        EXPECT_EQ(reader.encoding(), c.encoding) << c.bytes.toHex().constData();
        QString text;
        EXPECT_TRUE(reader.readWholeText(text));
        EXPECT_EQ(text, c.text) << c.bytes.toHex().constData();
    }
}

TEST_F(TextReaderTest, LineBreaksReadAlikeInEveryEncoding)
{
    const QString text = QStringLiteral("a\r\nb\rc\nd\n\re\r\n\r\nf\n");
    const QStringList expected = {"a", "b", "c", "d", "", "e", "", "f", ""};
    for (int enc : {CTextStream::Ansi, CTextStream::Utf16BE, CTextStream::Utf16LE, CTextStream::Utf8}) {
        int detected = -1;
        EXPECT_EQ(lines(encode(text, enc), 1252, &detected), expected) << enc;
        EXPECT_EQ(detected, enc);
        EXPECT_EQ(whole(encode(text, enc)), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\nf\r\n") << enc;
    }
    // A final break of either kind stays as one final separator; an empty file is one empty line.
    EXPECT_EQ(whole("x\n"), "x\r\n");
    EXPECT_EQ(whole("x\r"), "x\r\n");
    EXPECT_EQ(whole("x"), "x");
    EXPECT_EQ(lines(""), QStringList{""});
    EXPECT_EQ(lines("\r\n"), QStringList({"", ""}));
}

TEST_F(TextReaderTest, WholeTextUsesSeparatorAndContinuesAfterLines)
{
    CTextReader reader(file("one\ntwo\r\nthree"));
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, "one");
    QString rest;
    EXPECT_TRUE(reader.readWholeText(rest, QStringLiteral("|")));
    EXPECT_EQ(rest, "two|three");
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(line, "one");
}

TEST_F(TextReaderTest, Utf8DecodingRules)
{
    const QByteArray bom("\xEF\xBB\xBF");
    // Stray continuation byte and four-byte lead each give U+FFFD for that byte alone.
    EXPECT_EQ(whole(bom + "a\x80" "b"), u(u"a\ufffdb"));
    EXPECT_EQ(whole(bom + "\xF0\x9F\x98\x80"), u(u"\ufffd\ufffd\ufffd\ufffd"));
    EXPECT_EQ(whole(bom + "\xFF" "z"), u(u"\ufffdz"));
    // Surrogates stored as two three-byte sequences join into the pair.
    EXPECT_EQ(whole(bom + "\xED\xA0\xBD\xED\xB8\x80"), u(u"\U0001F600"));
    // A sequence cut off by the end of the file.
    EXPECT_EQ(whole(bom + "a\xC3"), u(u"a\ufffd"));
    EXPECT_EQ(whole(bom + "a\xE2\x82"), u(u"a\ufffd"));
    // Continuation bytes are taken as they come, even a line feed.
    EXPECT_EQ(lines(bom + "\xE2\x82\n"), QStringList{u(u"\u208a")});
}

TEST_F(TextReaderTest, TruncatedUtf16AndNulBytesGiveDefinedText)
{
    EXPECT_EQ(whole(QByteArray("\xFF\xFE" "a\0b", 5)), u(u"a\ufffd"));
    EXPECT_EQ(whole(QByteArray("\xFE\xFF\0a\0", 5)), u(u"a\ufffd"));
    EXPECT_EQ(whole(QByteArray("\xFF\xFE" "a\0\0\0b\0", 8)), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(lines(QByteArray("a\0b\n\0", 5)), QStringList({QString::fromUtf16(u"a\0b", 3), QString::fromUtf16(u"\0", 1)}));
    EXPECT_EQ(whole(QByteArray("\xEF\xBB\xBF\0\0", 5)), QString::fromUtf16(u"\0\0", 2));
}

TEST_F(TextReaderTest, LinesCrossBufferAndChunkBoundaries)
{
    // Multi-byte characters that straddle the 1024-byte blocks, lines around the chunk length.
    for (int len : {1022, 1023, 1024, 1025, 2047, 3000}) {
        const QString line = QString(len, QChar(u'\u00e9'));
        const QString text = line + "\n" + QString(len, 'x') + "\r\nend";
        for (int enc : {CTextStream::Utf16LE, CTextStream::Utf8})
            EXPECT_EQ(lines(encode(text, enc)), QStringList({line, QString(len, 'x'), "end"})) << len;
        EXPECT_EQ(lines(encode(text, CTextStream::Ansi)), QStringList({line, QString(len, 'x'), "end"}));
    }
}

TEST_F(TextReaderTest, OneTenMegabyteLineReadsWhole)
{
    QByteArray big(10 * 1024 * 1024, 'q');
    big[123456] = char(0xE9);
    big.append("\r\ntail");
    QString expected = QString(10 * 1024 * 1024, 'q');
    expected[123456] = QChar(0xE9);
    EXPECT_EQ(lines(big), QStringList({expected, "tail"}));
    EXPECT_EQ(whole(big), expected + "\r\ntail");
}

TEST_F(TextReaderTest, CodePagesOfAnsiFiles)
{
    EXPECT_EQ(whole("\x83\x65\x83\x58\x83\x67\r\n\xB1", 932), u(u"\u30c6\u30b9\u30c8\r\n\uff71"));
    // Code page 0 under a UTF-8 locale: valid UTF-8 lines read as UTF-8, others as the legacy 1252.
    qunsetenv("TARVOLO_LEGACY_CODEPAGE");
    const QByteArray oldLocale = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "C.UTF-8"));
    EXPECT_EQ(lines("caf\xC3\xA9\ncaf\xE9", 0), QStringList({u(u"caf\u00e9"), u(u"caf\u00e9")}));
    std::setlocale(LC_ALL, oldLocale.constData());
}

TEST_F(TextReaderTest, MissingFileOrFolderReadsAsNotOpen)
{
    for (const QString &path : {m_dir.filePath("missing.txt"), m_dir.path()}) {
        CTextReader reader(path);
        EXPECT_FALSE(reader.isOpen());
        QString text = QStringLiteral("kept");
        EXPECT_FALSE(reader.readLine(text));
        EXPECT_FALSE(reader.readWholeText(text));
        EXPECT_EQ(text, "kept");
    }
    CTextReader reader(file("abc"));
    reader.close();
    QString line;
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.readLine(line));
}
