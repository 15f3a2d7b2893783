#include "engine/OraDate.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace engine {

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar.
long daysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, long& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool digits(std::string_view s, std::size_t pos, std::size_t count, int& out)
{
    if (pos + count > s.size())
        return false;
    out = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

} // namespace

int OraDate::daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

bool OraDate::isValid() const
{
    return year >= -4712 && year <= 9999 && year != 0 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month) && hour < 24 && minute < 60 && second < 60;
}

std::optional<OraDate> OraDate::fromStorageText(std::string_view s)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    if (!digits(s, 0, 4, y) || s.size() < 10 || s[4] != '-' || !digits(s, 5, 2, mo) || s[7] != '-' ||
        !digits(s, 8, 2, d))
        return std::nullopt;
    std::size_t pos = 10;
    if (s.size() > 10) {
        if ((s[10] != ' ' && s[10] != 'T') || !digits(s, 11, 2, h) || s.size() < 16 || s[13] != ':' ||
            !digits(s, 14, 2, mi))
            return std::nullopt;
        pos = 16;
        if (s.size() > 16) {
            if (s[16] != ':' || !digits(s, 17, 2, se))
                return std::nullopt;
            pos = 19;
            if (s.size() > 19) {
                if (s[19] != '.' || s.size() == 20)
                    return std::nullopt;
                for (pos = 20; pos < s.size(); ++pos)
                    if (s[pos] < '0' || s[pos] > '9')
                        return std::nullopt;
            }
        }
    }
    OraDate r;
    r.year = static_cast<std::int16_t>(y);
    r.month = static_cast<std::uint8_t>(mo);
    r.day = static_cast<std::uint8_t>(d);
    r.hour = static_cast<std::uint8_t>(h);
    r.minute = static_cast<std::uint8_t>(mi);
    r.second = static_cast<std::uint8_t>(se);
    if (!r.isValid())
        return std::nullopt;
    return r;
}

bool OraDate::isStorageText(std::string_view text)
{
    return text.size() == 19 && text[10] == ' ' && fromStorageText(text).has_value();
}

std::string OraDate::toStorageText() const
{
    char buf[40];
    if (year >= 0 && year <= 9999)
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02u:%02u:%02u", year, unsigned(month), unsigned(day),
                      unsigned(hour), unsigned(minute), unsigned(second));
    else
        std::snprintf(buf, sizeof buf, "%+05d-%02u-%02u %02u:%02u:%02u", year, unsigned(month), unsigned(day),
                      unsigned(hour), unsigned(minute), unsigned(second));
    return buf;
}

OraDate OraDate::now()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    OraDate d;
    d.year = static_cast<std::int16_t>(tm.tm_year + 1900);
    d.month = static_cast<std::uint8_t>(tm.tm_mon + 1);
    d.day = static_cast<std::uint8_t>(tm.tm_mday);
    d.hour = static_cast<std::uint8_t>(tm.tm_hour);
    d.minute = static_cast<std::uint8_t>(tm.tm_min);
    d.second = static_cast<std::uint8_t>(std::min(tm.tm_sec, 59));
    return d;
}

double OraDate::dayNumber() const
{
    return static_cast<double>(daysFromCivil(year, month, day)) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

OraDate OraDate::addDays(double days) const
{
    double totalSeconds = std::round((dayNumber() + days) * 86400.0);
    long whole = static_cast<long>(std::floor(totalSeconds / 86400.0));
    long secs = static_cast<long>(totalSeconds - static_cast<double>(whole) * 86400.0);
    long y;
    unsigned m, d;
    civilFromDays(whole, y, m, d);
    OraDate r;
    r.year = static_cast<std::int16_t>(y);
    r.month = static_cast<std::uint8_t>(m);
    r.day = static_cast<std::uint8_t>(d);
    r.hour = static_cast<std::uint8_t>(secs / 3600);
    r.minute = static_cast<std::uint8_t>(secs / 60 % 60);
    r.second = static_cast<std::uint8_t>(secs % 60);
    return r;
}

OraDate OraDate::addMonths(int months) const
{
    long total = static_cast<long>(year) * 12 + (month - 1) + months;
    long y = total >= 0 ? total / 12 : (total - 11) / 12;
    int m = static_cast<int>(total - y * 12) + 1;
    OraDate r = *this;
    r.year = static_cast<std::int16_t>(y);
    r.month = static_cast<std::uint8_t>(m);
    int last = daysInMonth(static_cast<int>(y), m);
    if (day == daysInMonth(year, month) || day > last)
        r.day = static_cast<std::uint8_t>(last);
    return r;
}

OraDate OraDate::lastDay() const
{
    OraDate r = *this;
    r.day = static_cast<std::uint8_t>(daysInMonth(year, month));
    return r;
}

double OraDate::monthsBetween(const OraDate& a, const OraDate& b)
{
    double months = (a.year - b.year) * 12.0 + (a.month - b.month);
    bool aLast = a.day == daysInMonth(a.year, a.month);
    bool bLast = b.day == daysInMonth(b.year, b.month);
    if (a.day == b.day || (aLast && bLast))
        return months;
    double aDay = a.day + (a.hour * 3600 + a.minute * 60 + a.second) / 86400.0;
    double bDay = b.day + (b.hour * 3600 + b.minute * 60 + b.second) / 86400.0;
    return months + (aDay - bDay) / 31.0;
}

int OraDate::dayOfWeek() const
{
    long z = daysFromCivil(year, month, day); // 1970-01-01 was a Thursday
    return static_cast<int>(((z % 7) + 7 + 4) % 7);
}

} // namespace engine
