#include "oci/registry.h"

#include "oci/oracle_client.h"

#include <algorithm>
#include <mutex>

namespace oci {

bool isComplete(const api &table)
{
#define TARVOLO_OCI_CHECK(name)                                                                       \
    if (table.name == nullptr)                                                                        \
        return false;
    TARVOLO_OCI_API_FUNCTIONS(TARVOLO_OCI_CHECK)
#undef TARVOLO_OCI_CHECK
    return true;
}

namespace registry {
namespace {

std::mutex &listMutex()
{
    static std::mutex m;
    return m;
}

std::vector<provider *> &list()
{
    static std::vector<provider *> l;
    return l;
}

} // namespace

void add(provider *p)
{
    if (p == nullptr)
        return;
    std::lock_guard lock(listMutex());
    auto &l = list();
    if (std::find(l.begin(), l.end(), p) == l.end())
        l.push_back(p);
}

void remove(provider *p)
{
    std::lock_guard lock(listMutex());
    auto &l = list();
    l.erase(std::remove(l.begin(), l.end(), p), l.end());
}

std::vector<provider *> providers()
{
    std::lock_guard lock(listMutex());
    return list();
}

provider &forService(const char *serviceName)
{
    const char *name = serviceName != nullptr ? serviceName : "";
    for (provider *p : providers()) {
        if (p->claims(name))
            return *p;
    }
    return oracleClient();
}

provider &oracleClient()
{
    static oracle_client client;
    return client;
}

} // namespace registry
} // namespace oci
