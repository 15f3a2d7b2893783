#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// A DATE value with OCIDate's layout (sb2 year, ub1 month, day, hour, minute, second; 8 bytes), so an
// OCIDate buffer can be copied to and from it with memcpy.
//
// Storage in SQLite: dates are TEXT 'YYYY-MM-DD HH:MM:SS' (19 characters, 24-hour clock, zero padded, years
// 0001..9999). That text sorts chronologically and SQLite's own date functions read it. Readers also accept
// 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM', a 'T' instead of the blank and a fraction of seconds, which is dropped.
struct OraDate
{
    std::int16_t year = 1;
    std::uint8_t month = 1;
    std::uint8_t day = 1;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    bool operator==(const OraDate&) const = default;

    // True for a real calendar date (proleptic Gregorian, years -4712..9999) and time.
    bool isValid() const;

    // Parses the storage text (and the accepted variants above); nullopt for anything else.
    static std::optional<OraDate> fromStorageText(std::string_view text);
    // True only for the exact 19-character storage form; describe uses it to report expression columns as DATE.
    static bool isStorageText(std::string_view text);
    // 'YYYY-MM-DD HH:MM:SS'. Years outside 0..9999 are written with a sign or more digits.
    std::string toStorageText() const;

    // The local wall-clock time, to the second (SYSDATE, OCIDateSysDate).
    static OraDate now();

    // Days since an epoch plus the day fraction; differences of two dates are Oracle's date subtraction.
    double dayNumber() const;
    // The date `days` after this one (fractions move the time; rounded to the second).
    OraDate addDays(double days) const;
    // ADD_MONTHS: the last day of a month maps to the last day of the target month; time kept.
    OraDate addMonths(int months) const;
    // LAST_DAY: the last day of this date's month, time kept.
    OraDate lastDay() const;
    // MONTHS_BETWEEN(a, b): whole months when the days match or both are last days, else fraction on 31 days.
    static double monthsBetween(const OraDate& a, const OraDate& b);
    // 0 = Sunday .. 6 = Saturday.
    int dayOfWeek() const;
    static int daysInMonth(int year, int month);
};

static_assert(sizeof(OraDate) == 8, "OraDate must keep OCIDate's layout");

} // namespace engine
