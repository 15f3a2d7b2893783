#include "execution/CColumnCompare.h"

#include "core/CDateTime.h"
#include "db/datetime.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

template <typename T> int threeWay(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

double CColumnCompare::leadingNumber(QStringView text)
{
    char buffer[128];
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    std::size_t n = 0;
    if (i < text.size() && text[i] == u'+')
        ++i; // from_chars takes no plus sign
    for (; i < text.size() && n < sizeof buffer; ++i, ++n) {
        const char16_t c = text[i].unicode();
        if (c > 0x7f)
            break;
        buffer[n] = static_cast<char>(c);
    }
    double value = 0;
    const auto result = std::from_chars(buffer, buffer + n, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range: as strtod, a huge magnitude becomes infinite, a tiny one zero.
        return buffer[0] == '-' ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
    }
    return result.ec == std::errc() && !std::isnan(value) ? value : 0.0;
}

double CColumnCompare::dateKey(QStringView text)
{
    const QString key = text.toString();
    auto it = m_dates.constFind(key);
    if (it != m_dates.constEnd())
        return it.value();
    const CDateTime date = CDateTime::parse(key);
    const double days = date.isValid() ? date.toDays() : std::numeric_limits<double>::infinity();
    m_dates.insert(key, days);
    return days;
}

double CColumnCompare::key(QStringView text)
{
    switch (m_kind) {
    case db::kind_number:
        return leadingNumber(text);
    case db::kind_date:
        return text.isEmpty() ? -std::numeric_limits<double>::infinity() : dateKey(text);
    default:
        return 0;
    }
}

int CColumnCompare::operator()(QStringView a, QStringView b)
{
    switch (m_kind) {
    case db::kind_number:
        return threeWay(leadingNumber(a), leadingNumber(b));
    case db::kind_date:
        if (a.isEmpty() || b.isEmpty())
            return threeWay(!a.isEmpty(), !b.isEmpty());
        return threeWay(dateKey(a), dateKey(b));
    case db::kind_string:
        if (a.isEmpty() || b.isEmpty())
            return threeWay(a.isEmpty(), b.isEmpty());
        return threeWay(a.compare(b, Qt::CaseSensitive), 0);
    default:
        return 0;
    }
}
