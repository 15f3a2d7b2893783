#include "connections/ui/CConnectionOrder.h"

#include "connections/CConnectionList.h"
#include "connections/CSQLConnection.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace {

int compareTexts(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return int(a.isEmpty()) - int(b.isEmpty()); // empty after the others
    return QString::compare(a, b, Qt::CaseSensitive);
}

int compareStarts(const CDateTime &a, const CDateTime &b)
{
    if (!a.isValid() || !b.isValid())
        return int(a.isValid()) - int(b.isValid()); // unset before the others
    const auto ka = std::tuple(a.year(), a.month(), a.day(), a.hour(), a.minute(), a.second());
    const auto kb = std::tuple(b.year(), b.month(), b.day(), b.hour(), b.minute(), b.second());
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

} // namespace

QString CConnectionOrder::cellText(int column, const CSQLConnection &record)
{
    switch (column) {
    case User:
        return record.user();
    case Database:
        return record.database();
    case ConnectAs:
        return record.connectAsText();
    case LastConnect:
        return record.lastStart().isValid()
                   ? record.lastStart().format(QString::fromLatin1(CDateTime::kFileFormat))
                   : QString();
    default:
        return {};
    }
}

int CConnectionOrder::compare(int column, const CSQLConnection &a, const CSQLConnection &b)
{
    if (column == LastConnect)
        return compareStarts(a.lastStart(), b.lastStart());
    return compareTexts(cellText(column, a), cellText(column, b));
}

std::vector<int> CConnectionOrder::order(const CConnectionList &list, int column, bool ascending)
{
    std::vector<int> rows(std::size_t(list.size()));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int x, int y) {
        const int c = compare(column, list.at(x), list.at(y));
        return ascending ? c < 0 : c > 0;
    });
    return rows;
}

CConnectionSort CConnectionSort::load(const CSettingsStore &store)
{
    const QString section = QString::fromLatin1(kSection);
    CConnectionSort sort;
    sort.column = store.readInt(section, QStringLiteral("SortCol"), CConnectionOrder::User);
    if (sort.column < 0 || sort.column >= CConnectionOrder::kColumnCount)
        sort.column = CConnectionOrder::User;
    sort.ascending = store.readInt(section, QStringLiteral("SortedAscending"), 0) != 0;
    return sort;
}

void CConnectionSort::save(CSettingsStore &store) const
{
    const QString section = QString::fromLatin1(kSection);
    store.writeInt(section, QStringLiteral("SortCol"), column);
    store.writeInt(section, QStringLiteral("SortedAscending"), ascending ? 1 : 0);
    store.sync();
}

void CConnectionSort::press(int pressedColumn)
{
    if (pressedColumn < 0 || pressedColumn >= CConnectionOrder::kColumnCount)
        return;
    if (pressedColumn == column) {
        ascending = !ascending;
    } else {
        column = pressedColumn;
        ascending = true;
    }
}
