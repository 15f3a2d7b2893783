#pragma once

#include "oci/api.h"

#include <string>
#include <vector>

// A source of the OCI functions: the Oracle client library or the embedded engine (or a test
// provider). A session picks its provider once, when it opens, from its service name (see registry.h),
// and uses that provider's table for every call of the session.
namespace oci {

// What the connections dialog shows about a provider.
struct description {
    std::string library; // full path of the loaded library, or what the provider names itself by
    std::string version; // e.g. "19.8.0.0.0"; empty when not loaded
};

class provider {
public:
    virtual ~provider() = default;

    // A short stable name, e.g. "Oracle client" or "Embedded engine".
    virtual std::string name() const = 0;

    // True when sessions for serviceName belong to this provider. Must be cheap, must not throw, and
    // must accept any text (serviceName is never null, but may be empty).
    virtual bool claims(const char *serviceName) const = 0;

    // The function table, loading whatever it needs on first use. Null when the provider cannot serve
    // (for example no client library was found); failureDetail() then says why. A table once returned
    // stays valid and unchanged for the life of the process.
    virtual const api *table() = 0;

    // Why table() returned null: where the provider looked and what to install; empty otherwise.
    virtual std::string failureDetail() const = 0;

    // Library path and version for display; may load like table().
    virtual description describe() = 0;

    // The service names this provider can offer in a list of databases (UTF-8), e.g. the embedded
    // databases; empty for a provider without a list of its own. Must not throw.
    virtual std::vector<std::string> serviceNames() { return {}; }
};

} // namespace oci
