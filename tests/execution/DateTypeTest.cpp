// Date display formats: date alone at midnight, date and time otherwise, every format, bad indices.
#include "execution/CDateType.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

db::datetime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    db::datetime v;
    v.year = std::int16_t(y);
    v.month = mo;
    v.day = std::uint8_t(d);
    v.hour = std::uint8_t(h);
    v.minute = std::uint8_t(mi);
    v.second = std::uint8_t(s);
    return v;
}

} // namespace

TEST(DateType, MidnightShowsTheDateAloneAnyOtherTimeShowsBoth)
{
    CDateType t(1, 0);
    t.set(at(2026, 12, 7));
    EXPECT_EQ(t.displayText(), "07.12.2026");
    t.set(at(2026, 12, 7, 18, 30));
    EXPECT_EQ(t.displayText(), "07.12.2026 18:30:00");
    t.set(at(2026, 12, 7, 0, 30));
    EXPECT_EQ(t.displayText(), "07.12.2026 00:30:00");
    t.set(at(2026, 12, 7, 0, 0, 1));
    EXPECT_EQ(t.displayText(), "07.12.2026 00:00:01");
    EXPECT_EQ(t.displayText(at(1999, 1, 2)), "02.01.1999");
}

TEST(DateType, EveryDateAndTimeFormat)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const db::datetime v = at(2026, 3, 7, 18, 5, 9);
    const char *dates[] = {"07.03.26", "07.03.2026", "07/03/2026", "07-Mar-26", "07-Mar-2026",
                           "03/07/26", "03/07/2026", "26/03/07",   "2026/03/07"};
    for (int i = 0; i < CDateType::kDateFormatCount; ++i) {
        CDateType t(i, 1);
        t.set(v);
        EXPECT_EQ(t.dateText(), dates[i]) << i;
    }
    const char *times[] = {"18:05:09", "18:05", "06:05:09 PM", "06:05 PM"};
    for (int i = 0; i < CDateType::kTimeFormatCount; ++i) {
        CDateType t(1, i);
        t.set(v);
        EXPECT_EQ(t.timeText(), times[i]) << i;
    }
    QLocale::setDefault(QLocale::system());
}

TEST(DateType, IndicesOutsideTheListsSelectTheFirstFormat)
{
    CDateType t(9, -1);
    EXPECT_EQ(t.dateIndex(), 0);
    EXPECT_EQ(t.timeIndex(), 0);
    t.set(at(2026, 12, 7, 1, 2, 3));
    EXPECT_EQ(t.displayText(), "07.12.26 01:02:03");
}

TEST(DateType, InvalidValuesParsingAndTheRecordBack)
{
    CDateType t(1, 0);
    t.set(at(2026, 2, 30));
    EXPECT_EQ(t.displayText(), "Invalid DateTime");

    ASSERT_TRUE(t.parse("07.12.2026"));
    EXPECT_EQ(t.toDatetime(), at(2026, 12, 7));
    ASSERT_TRUE(t.parse("07.12.2026 18:30:15"));
    EXPECT_EQ(t.toDatetime(), at(2026, 12, 7, 18, 30, 15));
    EXPECT_FALSE(t.parse("dd.mm.yyyy"));
    EXPECT_FALSE(t.parse(""));
    EXPECT_EQ(CDateType::editMask(), "99.99.9999");
}

TEST(DateType, DisplayTextAgreesWithTheGeneralFormatterForEveryFormat)
{
    const db::datetime values[] = {at(2026, 3, 7, 18, 5, 9), at(1000, 1, 1, 0, 0, 1),
                                   at(9999, 12, 31, 23, 59, 59), at(999, 6, 15, 12, 0, 0),
                                   at(2026, 12, 7)};
    for (int d = 0; d < CDateType::kDateFormatCount; ++d) {
        for (int t = 0; t < CDateType::kTimeFormatCount; ++t) {
            CDateType type(d, t);
            for (const db::datetime &v : values) {
                type.set(v);
                const QString expected = v.hour || v.minute || v.second
                                             ? type.dateText() + " " + type.timeText()
                                             : type.dateText();
                EXPECT_EQ(type.displayText(), expected) << d << " " << t << " " << v.year;
                EXPECT_EQ(type.displayText(v), expected);
            }
        }
    }
}
