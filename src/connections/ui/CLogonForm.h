#pragma once

#include "connections/CSQLConnection.h"

#include <QString>

class CConnectionList;

// The values of the connections dialog's fields and the rules that move them between the fields,
// the record the dialog edits (the current record) and the saved list. No widgets.
struct CLogonForm
{
    QString user;
    QString password;
    QString database;
    int connectAs = CSQLConnection::Normal; // index of "Normal", "SYSDBA", "SYSOPER"
    bool savePassword = true;

    // The fields that show record: the password only when save password is on; a connect-as value
    // outside 0..2 shows as Normal.
    static CLogonForm of(const CSQLConnection &record);

    // Before the dialog shows current: a current record with a user takes password and save
    // password from the saved record of its identity; one without a user becomes a copy of the
    // first saved record, if any.
    static void prepare(CSQLConnection &current, const CConnectionList &saved);

    // A row chosen in the list: copies the saved record of identity (user, database) into current.
    // False, with current unchanged, when there is none.
    static bool choose(const QString &user, const QString &database, const CConnectionList &saved,
                       CSQLConnection &current);

    // OK: the fields go into current, user and database trimmed and upper-cased (the password
    // stays as typed: Oracle passwords are case-sensitive). A current record with a user then
    // replaces its identity in saved (or is appended); one without a user never enters it. Returns
    // whether current entered saved. Writing saved to the store is the caller's.
    bool acceptInto(CSQLConnection &current, CConnectionList &saved) const;

    // The record Test connection logs on with: user, password and database as typed (blanks around
    // user and database dropped) and the chosen connect as.
    CSQLConnection testRecord() const;
};
