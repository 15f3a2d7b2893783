#pragma once

#include "oci/provider.h"
#include "oracle_client/CTNS.h"

#include <QString>

#include <vector>

// What the connections dialog says about the Oracle client in use: the loaded library's path, its
// version and the name of its Oracle home. Where no client is loaded, the labels name the embedded
// engine (the first other provider) with its SQLite version, and say that no client is loaded.
struct CClientLabels
{
    QString path;
    QString version;
    QString home;
    bool clientLoaded = false;

    // client is the Oracle client's description (empty library or version: not loaded), homeName
    // the inventory's name of its home, others the descriptions of the other providers.
    static CClientLabels make(const oci::description &client, const QString &homeName,
                              const std::vector<oci::description> &others);

    // The labels as this process stands: the Oracle client provider (loaded on first use), the
    // inventory that env names and the registered providers.
    static CClientLabels gather(const CTNS::Environment &env);
    static CClientLabels fromProcess() { return gather(CTNS::fromProcess()); }

    static QString noClientText() { return QStringLiteral("No Oracle client loaded"); }
    static QString noHomeNameText() { return QStringLiteral("Not named in an Oracle inventory"); }
};
