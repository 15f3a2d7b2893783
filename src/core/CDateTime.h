#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A calendar date and time to the second with an explicit invalid state, as the program stores last
// starts and shows date values. The default value is the zero date-time, 30.12.1899 00:00:00, and
// it is valid. Years 100..9999 are representable.
class CDateTime
{
public:
    // The file format of every stored date-time.
    static constexpr const char kFileFormat[] = "%d.%m.%Y %H:%M:%S";

    CDateTime(); // 30.12.1899 00:00:00, valid
    // An invalid value when a field is out of range (month 1..12, day of that month, 0..23, 0..59,
    // 0..59).
    CDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    static CDateTime invalid(); // every invalid value holds year 0, 1 January and compares equal
    static CDateTime currentDateTime();
    static CDateTime fromQDateTime(const QDateTime &dt); // invalid when dt is
    QDateTime toQDateTime() const;                       // local time; invalid when this is

    bool isValid() const { return m_valid; }
    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    int second() const { return m_second; }
    int dayOfWeek() const; // 1 = Monday … 7 = Sunday

    // strftime-style formatting: %d %m %Y %y %H %M %S %I %p %b %B %a %A %j %w %%, with '#' after
    // '%' dropping leading zeros; month and day names in the given locale (the user's by default);
    // unknown conversions are copied as written. An invalid value formats as "Invalid DateTime".
    QString format(const QString &pattern, const QLocale &locale = QLocale()) const;

    // Parses text as the user typed or stored it: the file format "%d.%m.%Y %H:%M:%S" and
    // "%d.%m.%Y" are tried first (text of that shape is read only so, seconds optional), then the
    // locale's short date-time, date and time formats (four-digit years accepted, two-digit ones
    // read as 1930..2029; a time alone falls on the zero date). "Invalid DateTime", empty text and
    // anything else give invalid.
    static CDateTime parse(const QString &text, const QLocale &locale = QLocale());

    // Days since 30.12.1899 with the time as a fraction, as OLE dates count; for ordering and
    // arithmetic. Before the zero date the value stays linear (29.12.1899 06:00 is -0.75), so it
    // orders correctly; an invalid value gives -infinity and sorts first.
    double toDays() const;

    bool operator==(const CDateTime &other) const = default;

private:
    int m_year = 1899;
    int m_month = 12;
    int m_day = 30;
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    bool m_valid = true;
};
