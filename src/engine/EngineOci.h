#pragma once

#include "oci/api.h"

// The embedded engine's implementation of every function of oci::api over SQLite.
namespace engine {

// The engine's version as OCIClientVersion reports it: feature release, release update, revision,
// increment, extension.
inline constexpr int kEngineVersion[5] = {1, 5, 0, 0, 0};

// The engine's function table; complete, valid for the life of the process.
const oci::api &ociTable();

} // namespace engine
