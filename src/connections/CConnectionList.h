#pragma once

#include "connections/CSQLConnection.h"

#include <QList>

#include <memory>
#include <vector>

class CSettingsStore;

// The saved connections: an ordered list of owned records kept in the section "Connections" of the
// settings store, one record per identity (user and database). The list is window-free; the
// connections dialog holds one, and code that only needs the store constructs one without a window.
// Changes reach the store only through saveAll().
class CConnectionList
{
public:
    static constexpr const char kSection[] = "Connections";

    // Loads the saved list from store (which must outlive the list).
    explicit CConnectionList(CSettingsStore &store);
    CConnectionList(); // over CSettingsStore::instance()
    ~CConnectionList();
    CConnectionList(const CConnectionList &) = delete;
    CConnectionList &operator=(const CConnectionList &) = delete;

    // Loads records 0, 1, … until one has no user, each through addOrReplace, so that two stored
    // records of one identity become one: the later values at the earlier place.
    void loadAll(bool clearFirst);

    // Rebuilds the section: removes it whole, then saves every record under its position 0 … n−1.
    // Records without a user are not stored (they would end the list at the next load). Records
    // without save password lose their password, in the list too.
    void saveAll();

    // Replaces the first record of the same identity by a copy of record, in its place; else
    // appends.
    void addOrReplace(const CSQLConnection &record);

    // The first record with record's identity, or null. The pointer stays valid until the list
    // changes.
    CSQLConnection *find(const CSQLConnection &record);
    const CSQLConnection *find(const CSQLConnection &record) const;

    // Destroys every record with record's identity, keeping the order of the others.
    void remove(const CSQLConnection &record);
    void clear();

    int size() const { return int(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }
    CSQLConnection &at(int i) { return *m_records.at(size_t(i)); }
    const CSQLConnection &at(int i) const { return *m_records.at(size_t(i)); }

    // Adds the given records (the elements' connections, in element order) after the saved ones:
    // the saved records keep their places and values, and each new identity appears once with the
    // values of its last occurrence. Records without a user are skipped. Saves the result.
    void mergeElementConnections(const QList<const CSQLConnection *> &connections);

    // Before a run: when connection has a user and a saved record has its identity, copies that
    // record's password, save password and connect as into connection. True when one was found.
    bool fillFromSaved(CSQLConnection &connection) const;

    // Stamps now as the last start of connection and of its saved record, and saves the list, when
    // a saved record has connection's identity; otherwise changes nothing. True when one was found.
    bool rememberLastStart(CSQLConnection &connection,
                           const CDateTime &now = CDateTime::currentDateTime());

private:
    CSettingsStore &m_store;
    std::vector<std::unique_ptr<CSQLConnection>> m_records;
};
