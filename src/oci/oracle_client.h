#pragma once

#include "oci/provider.h"

#include <mutex>
#include <string>
#include <vector>

namespace oci {

// The Oracle client as a provider: libclntsh loaded with dlopen on first use, searched in
// $TARVOLO_OCI_LIB (a file or a folder), $ORACLE_HOME/lib, the library search path,
// /usr/lib/oracle/*/client64/lib and /opt/oracle/instantclient*, also under versioned file names
// (libclntsh.so.N.M). A library is accepted only when it exports every function of oci::api and
// OCIClientVersion reports a supported release. The loaded library is never unloaded. Loading
// changes nothing in the process environment; NLS_LANG is prepared at start-up
// (process_environment.h).
class oracle_client final : public provider {
public:
    oracle_client() = default;
    oracle_client(const oracle_client &) = delete;
    oracle_client &operator=(const oracle_client &) = delete;

    std::string name() const override;
    bool claims(const char *serviceName) const override; // every name
    const api *table() override;
    std::string failureDetail() const override;
    description describe() override;

    // The files to try, in order, as the environment stands now. A bare file name means a search of
    // the dynamic loader's path.
    static std::vector<std::string> candidates();

    // The Oracle character set name matching a C library code set name (nl_langinfo(CODESET)).
    static std::string nlsCharsetFor(const char *codeset);

    // The Oracle character set id of a C library code set name: the id of nlsCharsetFor(codeset),
    // so 873 (AL32UTF8) for UTF-8, the C locale and unknown names; 0 for a character set whose id
    // is not listed here (NLS_LANG then names it).
    static ub2 charsetIdFor(const char *codeset);

    // Sets NLS_LANG to AMERICAN_AMERICA.<charset of the locale> unless it holds a value; returns
    // it. Changes the process environment: only for prepareProcessEnvironment() and tests.
    static std::string ensureNlsLang();

    static constexpr int kMinimumMajorVersion = 11; // oldest client release accepted

private:
    void load(); // once; fills the members below under m_mutex

    mutable std::mutex m_mutex;
    bool m_tried = false;   // load() has run
    bool m_loaded = false;  // m_table is complete and usable
    api m_table{};
    std::string m_path;     // full path of the loaded library
    std::string m_version;  // "major.minor.update.revision.increment"
    std::string m_failure;  // why nothing could be loaded
};

} // namespace oci
