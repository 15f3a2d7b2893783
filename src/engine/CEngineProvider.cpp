#include "engine/CEngineProvider.h"

#include "engine/EngineDatabases.h"
#include "engine/EngineOci.h"
#include "oci/registry.h"

#include <sqlite3.h>

#include <QString>
#include <QStringList>

#include <cstdio>

namespace engine {

std::string CEngineProvider::name() const
{
    return "Embedded engine";
}

bool CEngineProvider::claims(const char *serviceName) const
{
    if (serviceName == nullptr)
        return false;
    return !findDatabase(QString::fromUtf8(serviceName)).isEmpty();
}

const oci::api *CEngineProvider::table()
{
    return &ociTable();
}

std::string CEngineProvider::failureDetail() const
{
    return {};
}

oci::description CEngineProvider::describe()
{
    oci::description d;
    d.library = std::string("Tarvolo embedded engine (SQLite ") + sqlite3_libversion() + ")";
    char version[64];
    std::snprintf(version, sizeof version, "%d.%d.%d.%d.%d", kEngineVersion[0], kEngineVersion[1],
                  kEngineVersion[2], kEngineVersion[3], kEngineVersion[4]);
    d.version = version;
    return d;
}

std::vector<std::string> CEngineProvider::serviceNames()
{
    std::vector<std::string> names;
    for (const QString &name : embeddedDatabaseNames())
        names.push_back(name.toStdString());
    return names;
}

CEngineProvider &CEngineProvider::instance()
{
    static CEngineProvider provider;
    return provider;
}

void registerEngineProvider()
{
    oci::registry::add(&CEngineProvider::instance());
}

} // namespace engine
