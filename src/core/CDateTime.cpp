#include "core/CDateTime.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include <limits>

namespace {

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
// Two-digit years read as 1930..2029, the window Windows applies by default.
constexpr int kTwoDigitYearPivot = 30;

const char kInvalidText[] = "Invalid DateTime";

bool fieldsValid(int year, int month, int day, int hour, int minute, int second)
{
    if (year < kMinYear || year > kMaxYear)
        return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    return QDate::isValid(year, month, day);
}

QString twoDigits(int value, bool noPad)
{
    return noPad ? QString::number(value)
                 : QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Replaces the no-break spaces some locales put before AM/PM by plain spaces, in formats and text
// alike, so typed text matches.
QString plainSpaces(QString s)
{
    s.replace(QChar(0x202F), QLatin1Char(' '));
    s.replace(QChar(0x00A0), QLatin1Char(' '));
    return s.simplified();
}

// A QLocale format whose numeric fields take one or two digits ("dd" → "d", "HH" → "H", …), so that
// typed text like 7.12.26 matches as well as 07.12.26.
QString relaxed(QString format)
{
    static const QRegularExpression twoDigitField(
        QStringLiteral("(?<![dMHhms])(dd|MM|HH|hh|mm|ss)(?![dMHhms])"));
    QString out;
    qsizetype last = 0;
    auto it = twoDigitField.globalMatch(format);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(format).mid(last, m.capturedStart() - last);
        out += m.captured().left(1);
        last = m.capturedEnd();
    }
    out += QStringView(format).mid(last);
    return out;
}

// A date format with a two-digit year widened to four digits, or empty when it has none.
QString withFourDigitYear(const QString &format)
{
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return {};
    QString wide = format;
    wide.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return wide;
}

// A time format with seconds added after the minutes, or empty when it already has them.
QString withSeconds(const QString &format)
{
    if (format.contains(QLatin1Char('s')))
        return {};
    const qsizetype at = format.indexOf(QLatin1Char('m'));
    if (at < 0)
        return {};
    QString f = format;
    f.insert(at + 1, QLatin1String(":s"));
    return f;
}

bool hasTwoDigitYear(const QString &format)
{
    return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

} // namespace

CDateTime::CDateTime() = default;

CDateTime::CDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (!fieldsValid(year, month, day, hour, minute, second)) {
        *this = invalid();
        return;
    }
    m_year = year;
    m_month = month;
    m_day = day;
    m_hour = hour;
    m_minute = minute;
    m_second = second;
}

CDateTime CDateTime::invalid()
{
    // Every invalid value has the same fields (year 0, 1 January), so invalid values compare equal.
    CDateTime dt;
    dt.m_year = 0;
    dt.m_month = 1;
    dt.m_day = 1;
    dt.m_valid = false;
    return dt;
}

CDateTime CDateTime::currentDateTime() { return fromQDateTime(QDateTime::currentDateTime()); }

CDateTime CDateTime::fromQDateTime(const QDateTime &dt)
{
    if (!dt.isValid())
        return invalid();
    const QDate d = dt.date();
    const QTime t = dt.time();
    return CDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

QDateTime CDateTime::toQDateTime() const
{
    if (!m_valid)
        return {};
    return QDateTime(QDate(m_year, m_month, m_day), QTime(m_hour, m_minute, m_second));
}

int CDateTime::dayOfWeek() const { return m_valid ? QDate(m_year, m_month, m_day).dayOfWeek() : 0; }

QString CDateTime::format(const QString &pattern, const QLocale &locale) const
{
    if (!m_valid)
        return QString::fromLatin1(kInvalidText);

    const QDate date(m_year, m_month, m_day);
    QString out;
    out.reserve(pattern.size() + 16);
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        if (c != QLatin1Char('%') || i + 1 >= n) {
            out += c;
            continue;
        }
        // '#' (as in "%#d") drops leading zeros of the number that follows.
        qsizetype j = i + 1;
        const bool noPad = pattern[j] == QLatin1Char('#');
        if (noPad && ++j >= n) {
            out += pattern.mid(i);
            break;
        }
        const int hour12 = m_hour % 12 == 0 ? 12 : m_hour % 12;
        switch (pattern[j].unicode()) {
        case 'd':
            out += twoDigits(m_day, noPad);
            break;
        case 'm':
            out += twoDigits(m_month, noPad);
            break;
        case 'Y':
            out += noPad ? QString::number(m_year)
                         : QStringLiteral("%1").arg(m_year, 4, 10, QLatin1Char('0'));
            break;
        case 'y':
            out += twoDigits(m_year % 100, noPad);
            break;
        case 'H':
            out += twoDigits(m_hour, noPad);
            break;
        case 'I':
            out += twoDigits(hour12, noPad);
            break;
        case 'M':
            out += twoDigits(m_minute, noPad);
            break;
        case 'S':
            out += twoDigits(m_second, noPad);
            break;
        case 'p': {
            QString ap = m_hour < 12 ? locale.amText() : locale.pmText();
            if (ap.isEmpty())
                ap = QString::fromLatin1(m_hour < 12 ? "AM" : "PM");
            out += ap;
            break;
        }
        case 'b':
            out += locale.standaloneMonthName(m_month, QLocale::ShortFormat);
            break;
        case 'B':
            out += locale.standaloneMonthName(m_month, QLocale::LongFormat);
            break;
        case 'a':
            out += locale.standaloneDayName(date.dayOfWeek(), QLocale::ShortFormat);
            break;
        case 'A':
            out += locale.standaloneDayName(date.dayOfWeek(), QLocale::LongFormat);
            break;
        case 'j':
            out += noPad ? QString::number(date.dayOfYear())
                         : QStringLiteral("%1").arg(date.dayOfYear(), 3, 10, QLatin1Char('0'));
            break;
        case 'w':
            out += QString::number(date.dayOfWeek() % 7);
            break;
        case '%':
            out += QLatin1Char('%');
            break;
        default:
            // An unknown conversion is copied as written.
            out += pattern.mid(i, j - i + 1);
            break;
        }
        i = j;
    }
    return out;
}

CDateTime CDateTime::parse(const QString &text, const QLocale &locale)
{
    const QString s = plainSpaces(text);
    if (s.isEmpty())
        return invalid();

    // The file format comes first and decides alone when the text has its shape, so that stored
    // values never have day and month swapped by a month-first locale.
    static const QRegularExpression fileFormat(QStringLiteral(
        "^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})(?: (\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    const QRegularExpressionMatch m = fileFormat.match(s);
    if (m.hasMatch()) {
        return CDateTime(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt(),
                         m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    }

    const QString shortDate = relaxed(plainSpaces(locale.dateFormat(QLocale::ShortFormat)));
    const QString shortTime = relaxed(plainSpaces(locale.timeFormat(QLocale::ShortFormat)));
    QStringList dateFormats{shortDate};
    if (const QString wide = withFourDigitYear(shortDate); !wide.isEmpty())
        dateFormats.prepend(wide);
    QStringList timeFormats{shortTime};
    if (const QString secs = withSeconds(shortTime); !secs.isEmpty())
        timeFormats.prepend(secs);

    const auto accept = [](QDate d, QTime t, bool twoDigitYear) {
        int year = d.year();
        if (twoDigitYear && year >= 1900 && year <= 1999 && year - 1900 < kTwoDigitYearPivot)
            year += 100;
        return CDateTime(year, d.month(), d.day(), t.hour(), t.minute(), t.second());
    };

    // A format that reads the text but gives a year out of range (a four-digit field fed "26") lets
    // the next format try.
    for (const QString &df : dateFormats) {
        for (const QString &tf : timeFormats) {
            const QDateTime dt = locale.toDateTime(s, df + QLatin1Char(' ') + tf);
            if (dt.isValid()) {
                if (const CDateTime r = accept(dt.date(), dt.time(), hasTwoDigitYear(df));
                    r.isValid())
                    return r;
            }
        }
        const QDate d = locale.toDate(s, df);
        if (d.isValid()) {
            if (const CDateTime r = accept(d, QTime(0, 0), hasTwoDigitYear(df)); r.isValid())
                return r;
        }
    }
    // A time alone falls on the zero date, as OLE dates count it.
    for (const QString &tf : timeFormats) {
        const QTime t = locale.toTime(s, tf);
        if (t.isValid())
            return CDateTime(1899, 12, 30, t.hour(), t.minute(), t.second());
    }
    return invalid();
}

double CDateTime::toDays() const
{
    if (!m_valid)
        return -std::numeric_limits<double>::infinity();
    static const qint64 zeroJulian = QDate(1899, 12, 30).toJulianDay();
    const qint64 days = QDate(m_year, m_month, m_day).toJulianDay() - zeroJulian;
    return double(days) + (m_hour * 3600 + m_minute * 60 + m_second) / 86400.0;
}
