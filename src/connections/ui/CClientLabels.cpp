#include "connections/ui/CClientLabels.h"

#include "oci/registry.h"

CClientLabels CClientLabels::make(const oci::description &client, const QString &homeName,
                                  const std::vector<oci::description> &others)
{
    CClientLabels labels;
    if (!client.library.empty() && !client.version.empty()) {
        labels.clientLoaded = true;
        labels.path = QString::fromStdString(client.library);
        labels.version = QString::fromStdString(client.version);
        labels.home = homeName.isEmpty() ? noHomeNameText() : homeName;
        return labels;
    }
    labels.home = noClientText();
    for (const oci::description &d : others) {
        if (d.library.empty())
            continue;
        labels.path = QString::fromStdString(d.library);
        labels.version = QString::fromStdString(d.version);
        return labels;
    }
    labels.path = noClientText();
    return labels;
}

CClientLabels CClientLabels::gather(const CTNS::Environment &env)
{
    const oci::description client = oci::registry::oracleClient().describe();
    std::vector<oci::description> others;
    for (oci::provider *p : oci::registry::providers())
        others.push_back(p->describe());
    const QString home = client.library.empty() ? QString() : CTNS::homeName(env);
    return make(client, home, others);
}
