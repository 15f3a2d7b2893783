#pragma once

#include <QString>

#include <vector>

class CConnectionList;
class CSettingsStore;
class CSQLConnection;

// The columns of the saved-connections list, their cell texts and their order. Every comparison is
// a strict weak ordering: equal cells compare equal, empty cells stay together.
class CConnectionOrder
{
public:
    enum Column : int { User = 0, Database = 1, ConnectAs = 2, LastConnect = 3 };
    static constexpr int kColumnCount = 4;

    // The cell of record in column: user, database, the connect-as name, the last start as
    // "%d.%m.%Y %H:%M:%S" (empty when unset).
    static QString cellText(int column, const CSQLConnection &record);

    // Compares a and b for an ascending order by column: negative, 0 or positive. Columns 0 to 2
    // compare their texts code unit by code unit with empty texts after the others; column 3
    // compares the stored last starts, unset ones before the others.
    static int compare(int column, const CSQLConnection &a, const CSQLConnection &b);

    // The positions of list's records sorted by column, stable; descending is the exact reverse
    // comparison. result[i] is the index in list of the record shown in row i.
    static std::vector<int> order(const CConnectionList &list, int column, bool ascending);
};

// How the list is sorted, kept in the section "ConnectionList" of the settings store as "SortCol"
// (a column 0..3; anything else reads as 0) and "SortedAscending" (0 descending, the default).
struct CConnectionSort
{
    static constexpr const char kSection[] = "ConnectionList";

    int column = CConnectionOrder::User;
    bool ascending = false;

    static CConnectionSort load(const CSettingsStore &store);
    void save(CSettingsStore &store) const;

    // A press on a column heading: the same column reverses the direction, another one becomes the
    // sort column, ascending.
    void press(int pressedColumn);
};
