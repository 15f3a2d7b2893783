#pragma once

#include <QStringList>

class CConnectionList;

// The names the database list of the connections dialog offers: the databases of the saved
// connections, then the net service names of the tnsnames file, then the databases of the other
// providers (the embedded engine), each name once.
class CDatabaseNames
{
public:
    // The groups in that order. A name is left out when it is empty or blank, or when an earlier
    // one equals it without regard to letter case (service names are resolved that way), so the
    // first spelling stays.
    static QStringList merge(const QStringList &saved, const QStringList &netServiceNames,
                             const QStringList &providerNames);

    // The databases of the saved connections, in list order.
    static QStringList savedDatabases(const CConnectionList &list);

    // The service names every registered provider offers (oci::provider::serviceNames), in
    // registration order.
    static QStringList providerServiceNames();
};
