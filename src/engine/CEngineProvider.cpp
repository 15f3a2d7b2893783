#include "engine/CEngineProvider.h"

#include "engine/EngineDatabases.h"
#include "engine/EngineOci.h"
#include "oci/registry.h"

#include <sqlite3.h>

#include <QString>

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
    for (int i = 0; i < 5; ++i)
        d.version += (i > 0 ? "." : "") + std::to_string(kEngineVersion[i]);
    return d;
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
