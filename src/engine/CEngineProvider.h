#pragma once

#include "oci/provider.h"

// The embedded engine as an OCI provider: it claims exactly the service names that resolve to a
// database file (EngineDatabases.h) and serves them with its own function table.
namespace engine {

class CEngineProvider final : public oci::provider
{
public:
    std::string name() const override;
    bool claims(const char *serviceName) const override;
    const oci::api *table() override;
    std::string failureDetail() const override;
    oci::description describe() override;
    // The embedded databases of the database folders (embeddedDatabaseNames()).
    std::vector<std::string> serviceNames() override;

    // The process-wide instance.
    static CEngineProvider &instance();
};

// Registers the engine with oci::registry; calling it again does nothing. The program calls it once
// at start-up, tests before they open sessions on embedded databases.
void registerEngineProvider();

} // namespace engine
