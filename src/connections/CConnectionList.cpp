#include "connections/CConnectionList.h"

#include "settings/CSettingsStore.h"

#include <algorithm>

CConnectionList::CConnectionList(CSettingsStore &store) : m_store(store) { loadAll(true); }

CConnectionList::CConnectionList() : CConnectionList(CSettingsStore::instance()) {}

CConnectionList::~CConnectionList() = default;

void CConnectionList::loadAll(bool clearFirst)
{
    if (clearFirst)
        clear();
    const QString section = QString::fromLatin1(kSection);
    for (int i = 0;; ++i) {
        CSQLConnection record;
        if (!record.load(section, i, m_store))
            break;
        addOrReplace(record);
    }
}

void CConnectionList::saveAll()
{
    const QString section = QString::fromLatin1(kSection);
    m_store.removeSection(section);
    int index = 0;
    for (auto &record : m_records) {
        // A record without a user would end the list for the next load and hide those after it.
        if (!record->user().isEmpty())
            record->save(section, index++, m_store);
    }
    m_store.sync();
}

void CConnectionList::addOrReplace(const CSQLConnection &record)
{
    auto copy = std::make_unique<CSQLConnection>(record);
    for (auto &saved : m_records) {
        if (saved->sameIdentity(record)) {
            saved = std::move(copy);
            return;
        }
    }
    m_records.push_back(std::move(copy));
}

CSQLConnection *CConnectionList::find(const CSQLConnection &record)
{
    for (auto &saved : m_records) {
        if (saved->sameIdentity(record))
            return saved.get();
    }
    return nullptr;
}

const CSQLConnection *CConnectionList::find(const CSQLConnection &record) const
{
    return const_cast<CConnectionList *>(this)->find(record);
}

void CConnectionList::remove(const CSQLConnection &record)
{
    const CSQLConnection key = record; // record may be one of ours
    std::erase_if(m_records, [&](const auto &saved) { return saved->sameIdentity(key); });
}

void CConnectionList::clear() { m_records.clear(); }

void CConnectionList::mergeElementConnections(const QList<const CSQLConnection *> &connections)
{
    for (const CSQLConnection *c : connections) {
        if (c && !c->user().isEmpty())
            addOrReplace(*c);
    }
    loadAll(false);
    saveAll();
}

bool CConnectionList::fillFromSaved(CSQLConnection &connection) const
{
    if (connection.user().isEmpty())
        return false;
    const CSQLConnection *saved = find(connection);
    if (!saved)
        return false;
    connection.setPassword(saved->password());
    connection.setSavePassword(saved->savePassword());
    connection.setConnectAs(saved->connectAs());
    return true;
}

bool CConnectionList::rememberLastStart(CSQLConnection &connection, const CDateTime &now)
{
    CSQLConnection *saved = find(connection);
    if (!saved)
        return false;
    connection.setLastStart(now);
    saved->setLastStart(now);
    saveAll();
    return true;
}
