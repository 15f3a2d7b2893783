#include "connections/ui/CDatabaseNames.h"

#include "connections/CConnectionList.h"
#include "oci/registry.h"

#include <QSet>

QStringList CDatabaseNames::merge(const QStringList &saved, const QStringList &netServiceNames,
                                  const QStringList &providerNames)
{
    QStringList names;
    QSet<QString> seen; // upper-case forms of the names taken
    for (const QStringList *group : {&saved, &netServiceNames, &providerNames}) {
        for (const QString &name : *group) {
            const QString trimmed = name.trimmed();
            if (trimmed.isEmpty())
                continue;
            const QString key = trimmed.toUpper();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            names.append(trimmed);
        }
    }
    return names;
}

QStringList CDatabaseNames::savedDatabases(const CConnectionList &list)
{
    QStringList names;
    for (int i = 0; i < list.size(); ++i)
        names.append(list.at(i).database());
    return names;
}

QStringList CDatabaseNames::providerServiceNames()
{
    QStringList names;
    for (oci::provider *p : oci::registry::providers()) {
        for (const std::string &name : p->serviceNames())
            names.append(QString::fromStdString(name));
    }
    return names;
}
