#include "engine/OraError.h"
#include "engine/OraFormat.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

std::string num(const char* value, const char* format)
{
    return formatNumber(*OraNumber::fromText(value), format).value_or("<invalid>");
}

OraDate date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    OraDate r;
    r.year = static_cast<std::int16_t>(y);
    r.month = static_cast<std::uint8_t>(mo);
    r.day = static_cast<std::uint8_t>(d);
    r.hour = static_cast<std::uint8_t>(h);
    r.minute = static_cast<std::uint8_t>(mi);
    r.second = static_cast<std::uint8_t>(s);
    return r;
}

int parseError(const char* text, const char* format)
{
    try {
        parseDate(text, format);
        return 0;
    } catch (const OraException& e) {
        return e.error().code();
    }
}

} // namespace

TEST(OraFormatTest, NumberModelsPadSignAndRound)
{
    EXPECT_EQ(num("1234.5", "9,999.99"), " 1,234.50");
    EXPECT_EQ(num("-1234.5", "9,999.99"), "-1,234.50");
    EXPECT_EQ(num("5", "999"), "   5");
    EXPECT_EQ(num("-5", "999"), "  -5");
    EXPECT_EQ(num("0", "999"), "   0");
    EXPECT_EQ(num("0.5", "990.99"), "   0.50");
    EXPECT_EQ(num("0.5", "999.99"), "    .50");
    EXPECT_EQ(num("42", "00000"), " 00042");
    EXPECT_EQ(num("1.005", "9.99"), " 1.01");
    EXPECT_EQ(num("12", "9,999"), "    12");
    EXPECT_EQ(num("1.5", "FM999.99"), "1.5");
    EXPECT_EQ(num("1.5", "FM990.00"), "1.50");
    EXPECT_EQ(num("-7", "FM999"), "-7");
    EXPECT_EQ(num("12", "$999"), "  $12");
    EXPECT_EQ(num("-12", "999MI"), " 12-");
    EXPECT_EQ(num("-12", "999PR"), " <12>");
    EXPECT_EQ(num("12", "S999"), " +12");
    EXPECT_EQ(num("12345", "9.99EEEE"), "  1.23E+04");
    EXPECT_EQ(num("12345", "999"), "####");
    EXPECT_EQ(num("1", "abc"), "<invalid>");
    EXPECT_EQ(num("1", ",999"), "<invalid>");
    EXPECT_EQ(num("1", "999.99.9"), "<invalid>");
}

TEST(OraFormatTest, NumberParsingUnderModels)
{
    EXPECT_EQ(parseNumber("1,234.50", "9,999.99").toDecimalText(), "1234.5");
    EXPECT_EQ(parseNumber(" -12 ", "").toDecimalText(), "-12");
    EXPECT_EQ(parseNumber("<12>", "999PR").toDecimalText(), "-12");
    EXPECT_EQ(parseNumber("$5", "$9").toDecimalText(), "5");
    EXPECT_THROW(parseNumber("12x", ""), OraException);
    EXPECT_THROW(parseNumber("12345", "999"), OraException);
    EXPECT_THROW(parseNumber("1,234", "9999"), OraException);
}

TEST(OraFormatTest, DateModelsFollowCaseAndPadding)
{
    OraDate d = date(2024, 3, 5, 14, 7, 9);
    EXPECT_EQ(formatDate(d, "YYYY-MM-DD HH24:MI:SS"), "2024-03-05 14:07:09");
    EXPECT_EQ(formatDate(d, "DD-MON-RR"), "05-MAR-24");
    EXPECT_EQ(formatDate(d, "Mon dd, yyyy"), "Mar 05, 2024");
    EXPECT_EQ(formatDate(d, "month"), "march    ");
    EXPECT_EQ(formatDate(d, "FMMonth DD"), "March 5");
    EXPECT_EQ(formatDate(d, "Day"), "Tuesday  ");
    EXPECT_EQ(formatDate(d, "DY"), "TUE");
    EXPECT_EQ(formatDate(d, "HH:MI AM"), "02:07 PM");
    EXPECT_EQ(formatDate(date(2024, 3, 5, 0, 30), "HH12 A.M."), "12 A.M.");
    EXPECT_EQ(formatDate(d, "\"Q\"Q DDD SSSSS"), "Q1 065 50829");
    EXPECT_EQ(formatDate(date(1970, 1, 1), "J"), "2440588");
    // Weeks: WW counts from January 1st, W from the 1st of the month, IW and IYYY by ISO 8601.
    EXPECT_EQ(formatDate(d, "WW W IW IYYY"), "10 1 10 2024");
    EXPECT_EQ(formatDate(date(2021, 1, 1), "WW IW IYYY"), "01 53 2020");
    EXPECT_EQ(formatDate(date(2024, 12, 30), "WW IW IYYY"), "53 01 2025");
    EXPECT_FALSE(formatDate(d, "YYYY-XX"));
    EXPECT_FALSE(formatDate(d, "\"open"));
}

TEST(OraFormatTest, DateParsingDefaultsAndErrors)
{
    OraDate now = OraDate::now();
    EXPECT_EQ(parseDate("2024-02-29 23:59:58", "YYYY-MM-DD HH24:MI:SS"), date(2024, 2, 29, 23, 59, 58));
    EXPECT_EQ(parseDate("05-mar-2024", "DD-MON-YYYY"), date(2024, 3, 5));
    EXPECT_EQ(parseDate("05-mar-2024", "DD-MON-RR"), date(2024, 3, 5));
    EXPECT_EQ(parseDate("050324", "DDMMRR").year / 100, now.year / 100);
    EXPECT_EQ(parseDate("March 5 2024", "Month DD YYYY"), date(2024, 3, 5));
    EXPECT_EQ(parseDate("2024/03/05", "YYYY-MM-DD"), date(2024, 3, 5)); // punctuation matches punctuation
    EXPECT_EQ(parseDate("12:30 AM", "HH:MI AM").hour, 0);
    EXPECT_EQ(parseDate("12:30 PM", "HH:MI PM").hour, 12);
    OraDate yearOnly = parseDate("1999", "YYYY");
    EXPECT_EQ(yearOnly.month, now.month);
    EXPECT_EQ(yearOnly.day, 1);
    EXPECT_EQ(parseDate("49", "RR").year, (now.year % 100 < 50 ? now.year / 100 * 100 : now.year / 100 * 100 + 100) + 49);

    EXPECT_EQ(parseError("2024-13-01", "YYYY-MM-DD"), 1843);
    EXPECT_EQ(parseError("2023-02-29", "YYYY-MM-DD"), 1847);
    EXPECT_EQ(parseError("2024-01-01 extra", "YYYY-MM-DD"), 1830);
    EXPECT_EQ(parseError("2024-xx-01", "YYYY-MM-DD"), 1858);
    EXPECT_EQ(parseError("2024", "YYYY-MM-DD"), 1840);
    EXPECT_EQ(parseError("24:00", "HH24:MI"), 1850);
    EXPECT_EQ(parseError("13", "HH"), 1849);
    EXPECT_EQ(parseError("10:60", "HH24:MI"), 1851);
    EXPECT_EQ(parseError("0000", "YYYY"), 1841);
    EXPECT_EQ(parseError("2024", "YYYY-QQ-XX"), 1821);
    EXPECT_EQ(parseError("10", "WW"), 1820);
    EXPECT_EQ(parseError("FOO-2024", "\"BAR\"-YYYY"), 1861);
}

TEST(OraFormatTest, DateStorageTextAndArithmetic)
{
    EXPECT_EQ(OraDate::fromStorageText("2024-02-29 12:00:00"), date(2024, 2, 29, 12));
    EXPECT_EQ(OraDate::fromStorageText("2024-02-29"), date(2024, 2, 29));
    EXPECT_EQ(OraDate::fromStorageText("2024-02-29T01:02:03.500"), date(2024, 2, 29, 1, 2, 3));
    EXPECT_FALSE(OraDate::fromStorageText("2023-02-29 00:00:00"));
    EXPECT_FALSE(OraDate::fromStorageText("2024-02-2900:00:00"));
    EXPECT_FALSE(OraDate::fromStorageText("2024-1-01"));
    EXPECT_TRUE(OraDate::isStorageText("1999-12-31 23:59:59"));
    EXPECT_FALSE(OraDate::isStorageText("1999-12-31"));
    EXPECT_EQ(date(5, 1, 2, 3, 4, 5).toStorageText(), "0005-01-02 03:04:05");

    EXPECT_EQ(date(2024, 12, 31, 18).addDays(0.25), date(2025, 1, 1, 0));
    EXPECT_EQ(date(2024, 3, 1).addDays(-1), date(2024, 2, 29));
    EXPECT_EQ(date(2024, 1, 31).addMonths(1), date(2024, 2, 29));
    EXPECT_EQ(date(2024, 2, 29).addMonths(12), date(2025, 2, 28));
    EXPECT_EQ(date(2023, 2, 28).addMonths(1), date(2023, 3, 31)); // last day stays last day
    EXPECT_EQ(date(2024, 1, 15).addMonths(-13), date(2022, 12, 15));
    EXPECT_DOUBLE_EQ(OraDate::monthsBetween(date(2024, 3, 31), date(2024, 2, 29)), 1.0);
    EXPECT_DOUBLE_EQ(OraDate::monthsBetween(date(2024, 3, 15), date(2024, 2, 14)), 1.0 + 1.0 / 31);
    EXPECT_DOUBLE_EQ(OraDate::monthsBetween(date(2024, 1, 1), date(2024, 3, 1)), -2.0);
    EXPECT_EQ(date(2024, 3, 5).dayOfWeek(), 2);
    EXPECT_DOUBLE_EQ(date(2024, 3, 2, 12).dayNumber() - date(2024, 3, 1).dayNumber(), 1.5);
}
