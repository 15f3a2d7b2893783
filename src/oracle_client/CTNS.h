#pragma once

#include <QString>
#include <QStringList>

// Where this machine's Oracle client keeps its home and its tnsnames file, and the net service
// names defined there. Nothing is cached: every call looks again, so a file edited while the
// program runs is read anew. Nothing reports an error; what is missing gives an empty text or list.
class CTNS
{
public:
    // What the search starts from. fromProcess() fills it from the process; tests fill it by hand.
    struct Environment
    {
        QString currentFolder; // the process's working folder
        QString tnsAdmin;      // $TNS_ADMIN
        QString oracleHome;    // $ORACLE_HOME
        QString clientFolder;  // folder of the loaded libclntsh; empty when none is loaded
        QString oraInstLoc = QStringLiteral("/etc/oraInst.loc"); // points at the Oracle inventory
    };

    // The environment of this process. clientFolder comes from the Oracle client provider, which
    // loads the library if it has not done so yet.
    static Environment fromProcess();

    // The file tnsnames.ora, in any letter case, directly in folder; exact lower case is preferred.
    // Empty when folder holds none.
    static QString tnsnamesFileIn(const QString &folder);

    // The first tnsnames file that exists in: the current folder, $TNS_ADMIN,
    // $ORACLE_HOME/network/admin, then network/admin under the client's folder (and under its
    // parent, the home of a full client whose library lies in lib/). Empty when none exists.
    static QString tnsnamesPath(const Environment &env);

    // The Oracle home the client belongs to: $ORACLE_HOME, else the client's folder (an Instant
    // Client) or its parent when that folder is a home's lib/. Empty without either.
    static QString clientHome(const Environment &env);

    // The name the Oracle inventory gives the client's home (<HOME NAME=... LOC=...> of
    // inventory.xml, found through oraInst.loc); empty for an Instant Client or without an
    // inventory.
    static QString homeName(const Environment &env);

    // The net service names of the tnsnames file, in file order with duplicates kept.
    static QStringList netServiceNames(const Environment &env);
};
