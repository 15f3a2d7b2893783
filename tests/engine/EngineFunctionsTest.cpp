#include "EngineSqlFixture.h"

#include <gtest/gtest.h>

// Oracle's functions as the translated SQL calls them, with Oracle's edge cases.
TEST_F(EngineSqlFixture, NullFunctionsAndDecode)
{
    EXPECT_EQ(value("select nvl(null, 'x') from dual"), "x");
    EXPECT_EQ(value("select nvl(0, 5) from dual"), "0");
    EXPECT_EQ(value("select nvl2(null, 'a', 'b') || nvl2(1, 'a', 'b') from dual"), "ba");
    EXPECT_EQ(value("select decode(2, 1, 'one', 2, 'two', 'many') from dual"), "two");
    EXPECT_EQ(value("select decode(9, 1, 'one', 'many') from dual"), "many");
    EXPECT_EQ(value("select decode(9, 1, 'one') from dual"), "<null>");
    EXPECT_EQ(value("select decode(null, 1, 'one', null, 'null matches') from dual"), "null matches");
    EXPECT_EQ(value("select decode(1.0, '1', 'numeric') from dual"), "numeric");
    EXPECT_EQ(errorCode("select decode(1) from dual"), 938);
}

TEST_F(EngineSqlFixture, ConversionsWithFormatModels)
{
    EXPECT_EQ(value("select to_char(1234.5, '9,999.99') from dual"), " 1,234.50");
    EXPECT_EQ(value("select to_char(0.5) from dual"), ".5");
    EXPECT_EQ(value("select to_char(-0.00001) from dual"), "-.00001");
    EXPECT_EQ(value("select to_char(date '2024-03-05', 'Dy DD-Mon-YYYY') from dual"), "Tue 05-Mar-2024");
    EXPECT_EQ(value("select to_char(date '2024-03-05') from dual"), "05-MAR-24");
    EXPECT_EQ(value("select to_char('abc') from dual"), "abc");
    EXPECT_EQ(value("select to_char(null, '999') from dual"), "<null>");
    EXPECT_EQ(errorCode("select to_char(date '2024-03-05', 'YYYY-QQQ-XX') from dual"), 1821);
    EXPECT_EQ(errorCode("select to_char(5, 'abc') from dual"), 1481);
    EXPECT_EQ(value("select to_date('05.03.2024 14:30', 'DD.MM.YYYY HH24:MI') from dual"), "2024-03-05 14:30:00");
    EXPECT_EQ(value("select to_date('2024-03-05 01:02:03') from dual"), "2024-03-05 01:02:03");
    EXPECT_EQ(value("select to_date(20240305, 'YYYYMMDD') from dual"), "2024-03-05 00:00:00");
    EXPECT_EQ(errorCode("select to_date('31-FEB-2024', 'DD-MON-YYYY') from dual"), 1847);
    EXPECT_EQ(errorCode("select to_date('2024-00-01', 'YYYY-MM-DD') from dual"), 1843);
    EXPECT_EQ(errorCode("select to_date('2024-01-01x', 'YYYY-MM-DD') from dual"), 1830);
    EXPECT_EQ(value("select to_number('  12.50 ') from dual"), "12.5");
    EXPECT_EQ(value("select to_number('1,234', '9,999') + 1 from dual"), "1235");
    EXPECT_EQ(value("select to_number(null) from dual"), "<null>");
    EXPECT_EQ(errorCode("select to_number('12a') from dual"), 1722);
}

TEST_F(EngineSqlFixture, TruncAndRoundOfNumbersAndDates)
{
    EXPECT_EQ(value("select round(2.555, 2) from dual"), "2.56");
    EXPECT_EQ(value("select round(-2.5) from dual"), "-3");
    EXPECT_EQ(value("select round(1250, -2) from dual"), "1300");
    EXPECT_EQ(value("select trunc(-2.7) from dual"), "-2");
    EXPECT_EQ(value("select trunc(15.79, 1) from dual"), "15.7");
    EXPECT_EQ(value("select trunc('7.9') from dual"), "7");
    EXPECT_EQ(value("select trunc(timestamp '2024-05-17 13:45:10') from dual"), "2024-05-17 00:00:00");
    EXPECT_EQ(value("select trunc(date '2024-05-17', 'MM') from dual"), "2024-05-01 00:00:00");
    EXPECT_EQ(value("select trunc(date '2024-05-17', 'YYYY') from dual"), "2024-01-01 00:00:00");
    EXPECT_EQ(value("select trunc(date '2024-05-17', 'Q') from dual"), "2024-04-01 00:00:00");
    EXPECT_EQ(value("select trunc(date '2024-05-17', 'DAY') from dual"), "2024-05-12 00:00:00");
    EXPECT_EQ(value("select trunc(date '2024-05-19', 'IW') from dual"), "2024-05-13 00:00:00"); // Sunday -> Monday
    EXPECT_EQ(value("select trunc(timestamp '2024-05-17 13:45:10', 'HH24') from dual"), "2024-05-17 13:00:00");
    EXPECT_EQ(value("select round(timestamp '2024-05-17 12:00:00') from dual"), "2024-05-18 00:00:00");
    EXPECT_EQ(value("select round(timestamp '2024-05-17 11:59:59') from dual"), "2024-05-17 00:00:00");
    EXPECT_EQ(value("select round(date '2024-05-16', 'MM') from dual"), "2024-06-01 00:00:00");
    EXPECT_EQ(value("select round(date '2024-07-01', 'YYYY') from dual"), "2025-01-01 00:00:00");
    EXPECT_EQ(errorCode("select trunc(date '2024-05-17', 'XX') from dual"), 1821);
    EXPECT_EQ(value("select round(null, 2) from dual"), "<null>");
}

TEST_F(EngineSqlFixture, DateFunctions)
{
    EXPECT_EQ(value("select add_months(date '2024-01-31', 1) from dual"), "2024-02-29 00:00:00");
    EXPECT_EQ(value("select add_months(date '2024-02-29', -12) from dual"), "2023-02-28 00:00:00");
    EXPECT_EQ(value("select add_months(timestamp '2024-01-15 10:00:00', 1.9) from dual"), "2024-02-15 10:00:00");
    EXPECT_EQ(value("select last_day(date '2023-02-10') from dual"), "2023-02-28 00:00:00");
    EXPECT_EQ(value("select months_between(date '2024-03-31', date '2024-02-29') from dual"), "1");
    EXPECT_EQ(value("select round(months_between(date '2024-03-15', date '2024-01-01'), 4) from dual"), "2.4516");
    EXPECT_EQ(errorCode("select add_months('junk', 1) from dual"), 1861);
    EXPECT_EQ(errorCode("select add_months(date '9999-12-01', 1) from dual"), 1841);
    EXPECT_EQ(value("select sysdate - sysdate from dual"), "0");
    EXPECT_EQ(value("select length(systimestamp) from dual"), "19");
}

TEST_F(EngineSqlFixture, StringFunctionsUseOraclePositions)
{
    EXPECT_EQ(value("select substr('hello', 2, 3) from dual"), "ell");
    EXPECT_EQ(value("select substr('hello', 0, 2) from dual"), "he");
    EXPECT_EQ(value("select substr('hello', -3) from dual"), "llo");
    EXPECT_EQ(value("select substr('hello', -3, 2) from dual"), "ll");
    EXPECT_EQ(value("select substr('hello', 6) from dual"), "<null>");
    EXPECT_EQ(value("select substr('hello', -6) from dual"), "<null>");
    EXPECT_EQ(value("select substr('hello', 2, 0) from dual"), "<null>");
    EXPECT_EQ(value("select substr('h\xC3\xA9llo', 2, 2) from dual"), "\xC3\xA9l");
    EXPECT_EQ(value("select instr('hello', 'l') from dual"), "3");
    EXPECT_EQ(value("select instr('hello', 'l', 1, 2) from dual"), "4");
    EXPECT_EQ(value("select instr('hello', 'l', -1) from dual"), "4");
    EXPECT_EQ(value("select instr('hello', 'l', -3, 2) from dual"), "0");
    EXPECT_EQ(value("select instr('hello', 'l', 0) from dual"), "0");
    EXPECT_EQ(value("select instr('h\xC3\xA9llo', 'l') from dual"), "3");
    EXPECT_EQ(errorCode("select instr('hello', 'l', 1, 0) from dual"), 1428);
    EXPECT_EQ(value("select lpad('7', 3, '0') from dual"), "007");
    EXPECT_EQ(value("select lpad('hello', 3) from dual"), "hel");
    EXPECT_EQ(value("select rpad('ab', 7, 'xy') from dual"), "abxyxyx");
    EXPECT_EQ(value("select rpad('ab', 0) from dual"), "<null>");
    EXPECT_EQ(value("select initcap('hELLO wORLD-wide o''neil') from dual"), "Hello World-Wide O'Neil");
    EXPECT_EQ(value("select 'a' || chr(10) || chr(50089) from dual"), "a\n\xC3\xA9");
    EXPECT_EQ(value("select greatest(2, '10', 3) from dual"), "10");
    EXPECT_EQ(value("select greatest('2', '10') from dual"), "2");
    EXPECT_EQ(value("select least(5, null, 1) from dual"), "<null>");
    EXPECT_EQ(errorCode("select greatest(1, 'x') from dual"), 1722);
}
