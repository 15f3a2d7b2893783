#pragma once

#include "oci/provider.h"

#include <vector>

// The process-wide list of providers. Providers register themselves (the embedded engine does so when
// it is linked in and initialised; oci never depends on it). A session picks the first registered
// provider that claims its service name, else the Oracle client provider. Safe to call from any thread.
namespace oci::registry {

// Adds p at the end of the list unless it is already there. p is not owned and must stay alive until
// removed (a provider that lives for the whole process need not be removed).
void add(provider *p);

// Removes p from the list; does nothing when it is not there.
void remove(provider *p);

// The registered providers in registration order (the Oracle client provider is not among them).
std::vector<provider *> providers();

// The first registered provider that claims serviceName (null counts as ""), else oracleClient().
provider &forService(const char *serviceName);

// The process-wide Oracle client provider: libclntsh loaded with dlopen on first use and kept loaded.
provider &oracleClient();

} // namespace oci::registry
