#include "core/CDateTime.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>
#include <cmath>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kDe(QLocale::German, QLocale::Germany);

void expectFields(const CDateTime &dt, int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    ASSERT_TRUE(dt.isValid());
    EXPECT_EQ(dt.year(), y);
    EXPECT_EQ(dt.month(), mo);
    EXPECT_EQ(dt.day(), d);
    EXPECT_EQ(dt.hour(), h);
    EXPECT_EQ(dt.minute(), mi);
    EXPECT_EQ(dt.second(), s);
}

} // namespace

TEST(DateTime, ZeroValueIsValidAndRoundTripsThroughFileFormat)
{
    const CDateTime zero;
    expectFields(zero, 1899, 12, 30);
    EXPECT_EQ(zero.toDays(), 0.0);
    const QString text = zero.format(CDateTime::kFileFormat);
    EXPECT_EQ(text, "30.12.1899 00:00:00");
    EXPECT_EQ(CDateTime::parse(text, kUs), zero);
}

TEST(DateTime, OutOfRangeFieldsGiveOneInvalidValue)
{
    EXPECT_FALSE(CDateTime(2026, 2, 31).isValid());
    EXPECT_FALSE(CDateTime(2025, 2, 29).isValid());
    EXPECT_TRUE(CDateTime(2024, 2, 29).isValid());
    EXPECT_FALSE(CDateTime(2026, 13, 1).isValid());
    EXPECT_FALSE(CDateTime(2026, 1, 1, 24).isValid());
    EXPECT_FALSE(CDateTime(2026, 1, 1, 0, 60).isValid());
    EXPECT_FALSE(CDateTime(99, 1, 1).isValid());
    EXPECT_FALSE(CDateTime(10000, 1, 1).isValid());
    EXPECT_EQ(CDateTime(2026, 2, 31), CDateTime::invalid());
    EXPECT_EQ(CDateTime::invalid().year(), 0);
    EXPECT_EQ(CDateTime::invalid().format(CDateTime::kFileFormat), "Invalid DateTime");
    EXPECT_FALSE(CDateTime::fromQDateTime(QDateTime()).isValid());
    EXPECT_FALSE(CDateTime::invalid().toQDateTime().isValid());
}

TEST(DateTime, FormatsStrftimeConversions)
{
    const CDateTime dt(2026, 3, 5, 18, 7, 9);
    EXPECT_EQ(dt.format("%d.%m.%Y %H:%M:%S", kUs), "05.03.2026 18:07:09");
    EXPECT_EQ(dt.format("%d.%m.%y", kUs), "05.03.26");
    EXPECT_EQ(dt.format("%I:%M %p", kUs), "06:07 PM");
    EXPECT_EQ(CDateTime(2026, 3, 5, 0, 30).format("%I:%M %p", kUs), "12:30 AM");
    EXPECT_EQ(CDateTime(2026, 3, 5, 12, 0).format("%I %p", kUs), "12 PM");
    EXPECT_EQ(dt.format("%d-%b-%Y", kUs), "05-Mar-2026");
    EXPECT_EQ(dt.format("%d-%b-%Y", kDe), QString::fromUtf8("05-Mär-2026"));
    EXPECT_EQ(dt.format("%B %A", kUs), "March Thursday");
    EXPECT_EQ(dt.format("%j %w %%", kUs), "064 4 %");
    EXPECT_EQ(dt.format("%#d.%#m.%Y", kUs), "5.3.2026");
    EXPECT_EQ(dt.format("%Q %", kUs), "%Q %");
    EXPECT_EQ(CDateTime(105, 1, 2).format("%Y %y", kUs), "0105 05");
    EXPECT_EQ(dt.dayOfWeek(), 4);
}

TEST(DateTime, FileFormatWinsOverTheLocale)
{
    // Day first whatever the locale, so stored values never swap day and month.
    for (const QLocale &locale : {kUs, kDe, QLocale::c()}) {
        SCOPED_TRACE(locale.name().toStdString());
        expectFields(CDateTime::parse("07.12.2026 18:30:00", locale), 2026, 12, 7, 18, 30, 0);
        expectFields(CDateTime::parse("07.12.2026", locale), 2026, 12, 7);
        expectFields(CDateTime::parse("  7.2.2026 8:05 ", locale), 2026, 2, 7, 8, 5, 0);
        // Of the file format's shape but not a date: no second reading through the locale.
        EXPECT_FALSE(CDateTime::parse("31.02.2026", locale).isValid());
        EXPECT_FALSE(CDateTime::parse("12.13.2026 10:00:00", locale).isValid());
        EXPECT_FALSE(CDateTime::parse("07.12.2026 24:00:00", locale).isValid());
    }
}

TEST(DateTime, LocaleFormatsAreReadAfterTheFileFormat)
{
    expectFields(CDateTime::parse("12/7/26 6:30 PM", kUs), 2026, 12, 7, 18, 30);
    expectFields(CDateTime::parse("12/7/2026 6:30:15 PM", kUs), 2026, 12, 7, 18, 30, 15);
    expectFields(CDateTime::parse("12/07/2026", kUs), 2026, 12, 7);
    expectFields(CDateTime::parse("7/4/45", kUs), 1945, 7, 4);
    expectFields(CDateTime::parse("07.12.26 18:30", kDe), 2026, 12, 7, 18, 30);
    expectFields(CDateTime::parse("7.12.26", kDe), 2026, 12, 7);
    expectFields(CDateTime::parse("18:30", kDe), 1899, 12, 30, 18, 30);
    EXPECT_FALSE(CDateTime::parse("2/30/26", kUs).isValid());
    // A day-first text of the US shape means month 13 there: not a date.
    EXPECT_FALSE(CDateTime::parse("13/12/2026", kUs).isValid());
}

TEST(DateTime, GarbageAndTheInvalidTextParseAsInvalid)
{
    for (const char *text : {"", "   ", "Invalid DateTime", "abc", "07.12.2026 18:30:00 x",
                             "07.12.20261", "1.1.1", "\xef\xbb\xbf", "99.99.9999 99:99:99"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(CDateTime::parse(QString::fromUtf8(text), kUs).isValid());
        EXPECT_FALSE(CDateTime::parse(QString::fromUtf8(text), kDe).isValid());
    }
}

TEST(DateTime, UserLocaleFromTheEnvironmentReadsTheFileFormat)
{
    const QLocale saved;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    for (const char *name : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(name);
        std::setlocale(LC_ALL, name);
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section('.', 0, 0)));
        const CDateTime dt = CDateTime::parse("07.12.2026 18:30:00");
        expectFields(dt, 2026, 12, 7, 18, 30, 0);
        EXPECT_EQ(dt.format(CDateTime::kFileFormat), "07.12.2026 18:30:00");
    }
    QLocale::setDefault(saved);
    std::setlocale(LC_ALL, savedC.c_str());
}

TEST(DateTime, DaysOrderAcrossTheZeroDateAndConvertToQt)
{
    EXPECT_DOUBLE_EQ(CDateTime(1899, 12, 29, 6).toDays(), -0.75);
    EXPECT_DOUBLE_EQ(CDateTime(1900, 1, 1, 12).toDays(), 2.5);
    EXPECT_DOUBLE_EQ(CDateTime(2026, 12, 7).toDays(), 46363.0);
    EXPECT_LT(CDateTime::invalid().toDays(), CDateTime(100, 1, 1).toDays());
    const CDateTime dt(2026, 12, 7, 18, 30, 5);
    EXPECT_EQ(CDateTime::fromQDateTime(dt.toQDateTime()), dt);
    EXPECT_TRUE(CDateTime::currentDateTime().isValid());
}
