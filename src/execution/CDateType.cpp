#include "execution/CDateType.h"

#include "settings/Options.h"

namespace {

int inRange(int index, int count) { return index >= 0 && index < count ? index : 0; }

// Appends the value formatted with a pattern made only of %d %m %Y %y %H %M %S and literals; false,
// with nothing appended, for any other conversion or a year that is not four digits long.
bool appendNumeric(QString &out, const QString &pattern, const CDateTime &v)
{
    char16_t buffer[32];
    int n = 0;
    auto two = [&](int x) {
        buffer[n++] = char16_t(u'0' + x / 10 % 10);
        buffer[n++] = char16_t(u'0' + x % 10);
    };
    if (v.year() < 1000 || v.year() > 9999 || pattern.size() > 16)
        return false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        if (c != u'%') {
            buffer[n++] = c;
            continue;
        }
        if (++i >= pattern.size())
            return false;
        switch (pattern[i].unicode()) {
        case u'd':
            two(v.day());
            break;
        case u'm':
            two(v.month());
            break;
        case u'y':
            two(v.year() % 100);
            break;
        case u'Y':
            two(v.year() / 100);
            two(v.year() % 100);
            break;
        case u'H':
            two(v.hour());
            break;
        case u'M':
            two(v.minute());
            break;
        case u'S':
            two(v.second());
            break;
        default:
            return false;
        }
    }
    out.append(QStringView(buffer, n));
    return true;
}

// The value formatted with the pattern, through the quick path where it applies.
void appendFormatted(QString &out, const QString &pattern, const CDateTime &v)
{
    if (!appendNumeric(out, pattern, v))
        out += v.format(pattern);
}

CDateTime fromDb(const db::datetime &v)
{
    return CDateTime(v.year, v.month, v.day, v.hour, v.minute, v.second);
}

} // namespace

CDateType::CDateType() : CDateType(options::DateFormat, options::TimeFormat) {}

CDateType::CDateType(int dateIndex, int timeIndex)
    : m_dateIndex(inRange(dateIndex, kDateFormatCount)),
      m_timeIndex(inRange(timeIndex, kTimeFormatCount))
{
}

CDateType::~CDateType() = default;

const QStringList &CDateType::dateFormatNames()
{
    static const QStringList names{"dd.mm.yy",   "dd.mm.yyyy",  "dd/mm/yyyy",
                                   "dd-MMM-yy",  "dd-MMM-yyyy", "mm/dd/yy",
                                   "mm/dd/yyyy", "yy/mm/dd",    "yyyy/mm/dd"};
    return names;
}

const QStringList &CDateType::dateFormats()
{
    static const QStringList formats{"%d.%m.%y", "%d.%m.%Y", "%d/%m/%Y", "%d-%b-%y", "%d-%b-%Y",
                                     "%m/%d/%y", "%m/%d/%Y", "%y/%m/%d", "%Y/%m/%d"};
    return formats;
}

const QStringList &CDateType::dateEditMasks()
{
    static const QStringList masks{"99.99.99",   "99.99.9999",  "99/99/9999",
                                   "99-AAA-99",  "99-AAA-9999", "99/99/99",
                                   "99/99/9999", "99/99/99",    "9999/99/99"};
    return masks;
}

const QStringList &CDateType::timeFormatNames()
{
    static const QStringList names{"hh:mm:ss", "hh:mm", "hh:mm:ss AMPM", "hh:mm AMPM"};
    return names;
}

const QStringList &CDateType::timeFormats()
{
    static const QStringList formats{"%H:%M:%S", "%H:%M", "%I:%M:%S %p", "%I:%M %p"};
    return formats;
}

void CDateType::set(const db::datetime &value) { m_value = fromDb(value); }

bool CDateType::parse(const QString &text)
{
    m_value = CDateTime::parse(text);
    return m_value.isValid();
}

QString CDateType::dateText() const { return m_value.format(dateFormats().at(m_dateIndex)); }

QString CDateType::timeText() const { return m_value.format(timeFormats().at(m_timeIndex)); }

QString CDateType::display(const CDateTime &value) const
{
    if (!value.isValid())
        return value.format(dateFormats().at(m_dateIndex));
    QString text;
    text.reserve(24);
    appendFormatted(text, dateFormats().at(m_dateIndex), value);
    if (value.hour() != 0 || value.minute() != 0 || value.second() != 0) {
        text += QLatin1Char(' ');
        appendFormatted(text, timeFormats().at(m_timeIndex), value);
    }
    return text;
}

QString CDateType::displayText() const { return display(m_value); }

QString CDateType::displayText(const db::datetime &value) const { return display(fromDb(value)); }

db::datetime CDateType::toDatetime() const
{
    db::datetime d;
    d.year = static_cast<std::int16_t>(m_value.year());
    d.month = m_value.month() >= 1 && m_value.month() <= 11 ? m_value.month() : 12;
    d.day = static_cast<std::uint8_t>(m_value.day());
    d.hour = static_cast<std::uint8_t>(m_value.hour());
    d.minute = static_cast<std::uint8_t>(m_value.minute());
    d.second = static_cast<std::uint8_t>(m_value.second());
    return d;
}
