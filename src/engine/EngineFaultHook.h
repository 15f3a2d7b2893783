#pragma once

#include <exception>

// A test seam for the engine's boundaries. Nothing may propagate out of an OCI entry point or an
// SQL function that SQLite calls; both are guarded, and these hooks let a test make the next
// guarded call throw so that it can see the guard turn the exception into an error. Unused outside
// tests.
namespace engine::faults {

enum class Site {
    OciCall,     // an entry point of the engine's OCI table
    SqlFunction, // a function registered with SQLite
};

// The next guarded call at site throws error (once) before it does its work.
void throwOnNextCall(Site site, std::exception_ptr error);

// Throws what throwOnNextCall left for site, if anything; called by the guards.
void throwIfPending(Site site);

} // namespace engine::faults
