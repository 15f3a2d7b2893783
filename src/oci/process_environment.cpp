#include "oci/process_environment.h"

#include "oci/oracle_client.h"

#include <langinfo.h>

#include <clocale>

namespace oci {

void prepareProcessEnvironment()
{
    std::setlocale(LC_ALL, "");
    oracle_client::ensureNlsLang();
    narrowCharsetId();
}

ub2 narrowCharsetId()
{
    static const ub2 id = oracle_client::charsetIdFor(::nl_langinfo(CODESET));
    return id;
}

} // namespace oci
