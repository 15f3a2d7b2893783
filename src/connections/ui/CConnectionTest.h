#pragma once

#include <QString>

class CSQLConnection;

// Test connection: opens a session with a record's user, password, database and connect as, and
// closes it again. No widgets; the dialog shows the outcome.
struct CConnectionTest
{
    bool ok = false;
    QString message; // the success text, or the display text of the db::error that failed

    static CConnectionTest run(const CSQLConnection &record);

    // "The connection USER - DATABASE is OK".
    static QString successText(const QString &user, const QString &database);
};
