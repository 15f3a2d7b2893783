#include "execution/CDateType.h"

#include "settings/Options.h"

namespace {

int inRange(int index, int count) { return index >= 0 && index < count ? index : 0; }

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
    const QString date = value.format(dateFormats().at(m_dateIndex));
    if (!value.isValid() || (value.hour() == 0 && value.minute() == 0 && value.second() == 0))
        return date;
    return date + QLatin1Char(' ') + value.format(timeFormats().at(m_timeIndex));
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
