#pragma once

#include "core/CDateTime.h"

#include <QString>

class CSettingsStore;

// How to log on to one Oracle database: user, password, net service name and connect mode, with a
// few stored extras. A plain value: copies copy every field. Two records denote the same connection
// when their user and database are equal, compared case-sensitively (sameIdentity).
class CSQLConnection
{
public:
    enum ConnectAs : int { Normal = 0, SysDba = 1, SysOper = 2 };

    CSQLConnection() = default;
    CSQLConnection(const CSQLConnection &) = default;
    CSQLConnection &operator=(const CSQLConnection &) = default;
    virtual ~CSQLConnection();

    const QString &name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    const QString &server() const { return m_server; }
    void setServer(const QString &v) { m_server = v; }
    const QString &user() const { return m_user; }
    void setUser(const QString &v) { m_user = v; }
    const QString &password() const { return m_password; }
    void setPassword(const QString &v) { m_password = v; }
    const QString &database() const { return m_database; }
    void setDatabase(const QString &v) { m_database = v; }
    const QString &client() const { return m_client; }
    void setClient(const QString &v) { m_client = v; }
    int connectAs() const { return m_connectAs; }
    void setConnectAs(int v) { m_connectAs = v; }
    bool savePassword() const { return m_savePassword; }
    void setSavePassword(bool v) { m_savePassword = v; }
    const CDateTime &lastStart() const { return m_lastStart; }
    void setLastStart(const CDateTime &v) { m_lastStart = v; }

    // "SYSDBA" for 1, "SYSOPER" for 2, "Normal" for any other value.
    QString connectAsText() const;
    static QString connectAsText(int connectAs);

    // True when user and database equal other's exactly; the key of every lookup in the saved list.
    bool sameIdentity(const CSQLConnection &other) const;

    // All six texts, connect as, save password and last start equal.
    bool equal(const CSQLConnection &other) const;
    bool notEqual(const CSQLConnection &other) const { return !equal(other); }
    bool operator==(const CSQLConnection &other) const { return equal(other); }

    // Writes the record as number index of section ("Name_%d", "User_%d", ...). Without save
    // password the password is cleared first, in memory too. Write failures are not reported;
    // always true.
    bool save(const QString &section, int index, CSettingsStore &store);
    bool save(const QString &section, int index);

    // Reads record number index of section. False, with only name and user read, when "User_%d" is
    // missing or empty; missing values otherwise give the defaults.
    bool load(const QString &section, int index, const CSettingsStore &store);
    bool load(const QString &section, int index);

    // The stored form of a password: every UTF-16 unit exclusive-or 0x6B; its own inverse.
    static QString scramble(const QString &text);

private:
    QString m_name;
    QString m_server = QStringLiteral("Oracle");
    QString m_user;
    QString m_password; // plain text in memory, scrambled in the store
    QString m_database; // net service name or connect string
    QString m_client;
    int m_connectAs = Normal; // ConnectAs value; other numbers are kept as read
    bool m_savePassword = true;
    CDateTime m_lastStart = CDateTime::invalid(); // last successful connection; invalid = never
};
