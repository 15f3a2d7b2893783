#include "core/CodePage.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

// Sets a locale and TARVOLO_LEGACY_CODEPAGE for one test and restores both afterwards.
struct LocaleScope {
    explicit LocaleScope(const char *locale)
    {
        qunsetenv("TARVOLO_LEGACY_CODEPAGE");
        ok = std::setlocale(LC_ALL, locale) != nullptr;
    }
    ~LocaleScope()
    {
        std::setlocale(LC_ALL, oldLocale.constData());
        qunsetenv("TARVOLO_LEGACY_CODEPAGE");
    }
    QByteArray oldLocale = std::setlocale(LC_ALL, nullptr);
    bool ok = false;
};

QString u(const char16_t *s) { return QString::fromUtf16(s); }

} // namespace

TEST(CodePage, EncodesWindows1252AndFlagsWhatItCannotHold)
{
    bool lost = true;
    EXPECT_EQ(codepage::fromUnicode(u(u"\u00e9\u20ac A"), 1252, 0, &lost), QByteArray("\xe9\x80 A"));
    EXPECT_FALSE(lost);

    // Cyrillic and an astral character each give one default character, '?' unless one is given.
    EXPECT_EQ(codepage::fromUnicode(u(u"a\u0416b\U0001F600c"), 1252, 0, &lost), QByteArray("a?b?c"));
    EXPECT_TRUE(lost);
    EXPECT_EQ(codepage::fromUnicode(u(u"\u0416\u0416"), 1252, '#', &lost), QByteArray("##"));
    EXPECT_TRUE(lost);

    // Lone surrogates, also one at the very end, are replaced without swallowing neighbours.
    const QChar loneHigh(char16_t(0xD800)), loneLow(char16_t(0xDC00));
    EXPECT_EQ(codepage::fromUnicode(QString("x") + loneLow + "y" + loneHigh, 1252, 0, &lost),
              QByteArray("x?y?"));
    EXPECT_TRUE(lost);
}

TEST(CodePage, DecodesWindows1252HolesAsC1Controls)
{
    const QByteArray all = QByteArray("\x80\x81\x8d\x8f\x90\x9d\xe9\xff");
    EXPECT_EQ(codepage::toUnicode(all, 1252), u(u"\u20ac\u0081\u008d\u008f\u0090\u009d\u00e9\u00ff"));
    EXPECT_EQ(codepage::toUnicode(QByteArray("\x98\xc6"), 1251), u(u"\u0098\u0416"));

    // They map back, so a rewrite keeps such text; a C1 control that is no hole still needs the default.
    bool lost = true;
    EXPECT_EQ(codepage::fromUnicode(codepage::toUnicode(all, 1252), 1252, 0, &lost), all);
    EXPECT_FALSE(lost);
    EXPECT_EQ(codepage::fromUnicode(u(u"\u0080"), 1252, 0, &lost), QByteArray("?"));
    EXPECT_TRUE(lost);
}

TEST(CodePage, CyrillicAndJapaneseRoundTrip)
{
    const QString ru = u(u"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440");
    bool lost = true;
    const QByteArray ruBytes = codepage::fromUnicode(ru, 1251, 0, &lost);
    EXPECT_EQ(ruBytes, QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0"));
    EXPECT_FALSE(lost);
    EXPECT_EQ(codepage::toUnicode(ruBytes, 1251), ru);

    // Katakana, half-width katakana and the wave dash as Windows maps it (U+FF5E = 81 60).
    const QString ja = u(u"\u30c6\u30b9\u30c8\uff71\uff5e");
    const QByteArray jaBytes = codepage::fromUnicode(ja, 932, 0, &lost);
    EXPECT_EQ(jaBytes, QByteArray("\x83\x65\x83\x58\x83\x67\xb1\x81\x60"));
    EXPECT_FALSE(lost);
    EXPECT_EQ(codepage::toUnicode(jaBytes, 932), ja);

    // A truncated or invalid double-byte sequence decodes to U+FFFD and the rest still reads.
    EXPECT_EQ(codepage::toUnicode(QByteArray("a\x83"), 932), u(u"a\ufffd"));
}

TEST(CodePage, Utf8AsWindowsWithoutFlags)
{
    bool lost = true;
    EXPECT_EQ(codepage::fromUnicode(u(u"\u00e9\U0001F600"), codepage::kUtf8, 0, &lost),
              QByteArray("\xc3\xa9\xf0\x9f\x98\x80"));
    EXPECT_FALSE(lost);
    EXPECT_EQ(codepage::fromUnicode(QString(QChar(char16_t(0xDC00))), codepage::kUtf8, 0, &lost),
              QByteArray("\xef\xbf\xbd"));
    EXPECT_TRUE(lost);
    EXPECT_EQ(codepage::toUnicode(QByteArray("a\xff" "b"), codepage::kUtf8), u(u"a\ufffdb"));
    EXPECT_EQ(codepage::toUnicode(QByteArray("\xef\xbb\xbf" "a"), codepage::kUtf8),
              QChar(char16_t(0xFEFF)) + QStringLiteral("a"));
}

TEST(CodePage, SystemCodePageWritesLocaleAndReadsLegacyFallback)
{
    LocaleScope scope("C.UTF-8");
    ASSERT_TRUE(scope.ok);
    EXPECT_EQ(codepage::systemWriteCodePage(), codepage::kUtf8);
    EXPECT_EQ(codepage::legacyCodePage(), 1252u);
    EXPECT_EQ(codepage::fromUnicode(u(u"\u00e9"), 0), QByteArray("\xc3\xa9"));
    EXPECT_EQ(codepage::toUnicode(QByteArray("\xc3\xa9"), 0), u(u"\u00e9"));
    // Not valid UTF-8: a file written on Windows in 1252.
    EXPECT_EQ(codepage::toUnicode(QByteArray("caf\xe9"), 0), u(u"caf\u00e9"));

    qputenv("TARVOLO_LEGACY_CODEPAGE", "1251");
    EXPECT_EQ(codepage::legacyCodePage(), 1251u);
    EXPECT_EQ(codepage::toUnicode(QByteArray("\xc6"), 0), u(u"\u0416"));
    for (const char *bad : {"0", "abc", "99999", "-5"}) {
        qputenv("TARVOLO_LEGACY_CODEPAGE", bad);
        EXPECT_EQ(codepage::legacyCodePage(), 1252u) << bad;
    }
}

TEST(CodePage, PlainCLocaleCountsAsUtf8)
{
    LocaleScope scope("C");
    ASSERT_TRUE(scope.ok);
    EXPECT_EQ(codepage::systemWriteCodePage(), codepage::kUtf8);
    EXPECT_EQ(codepage::fromUnicode(u(u"\u0416"), 0), QByteArray("\xd0\x96"));
}

TEST(CodePage, SupportIsReportedHonestly)
{
    for (unsigned cp : {0u, 1250u, 1251u, 1252u, 932u, 65001u})
        EXPECT_TRUE(codepage::isSupported(cp)) << cp;
    EXPECT_FALSE(codepage::isSupported(4711));
    bool lost = false;
    EXPECT_EQ(codepage::fromUnicode(u(u"a\u00e9"), 4711, 0, &lost), QByteArray("a?"));
    EXPECT_TRUE(lost);
    EXPECT_EQ(codepage::toUnicode(QByteArray("a\xe9"), 4711), u(u"a\ufffd"));
}
