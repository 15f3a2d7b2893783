#include "connections/CSQLConnection.h"

#include "settings/CSettingsStore.h"

namespace {

QString indexed(const char *templ, int index) { return QString::fromLatin1(templ).arg(index); }

} // namespace

CSQLConnection::~CSQLConnection() = default;

QString CSQLConnection::connectAsText() const { return connectAsText(m_connectAs); }

QString CSQLConnection::connectAsText(int connectAs)
{
    switch (connectAs) {
    case SysDba:
        return QStringLiteral("SYSDBA");
    case SysOper:
        return QStringLiteral("SYSOPER");
    default:
        return QStringLiteral("Normal");
    }
}

bool CSQLConnection::sameIdentity(const CSQLConnection &other) const
{
    return m_user == other.m_user && m_database == other.m_database;
}

bool CSQLConnection::equal(const CSQLConnection &other) const
{
    return m_name == other.m_name && m_server == other.m_server && m_user == other.m_user &&
           m_password == other.m_password && m_database == other.m_database &&
           m_client == other.m_client && m_connectAs == other.m_connectAs &&
           m_savePassword == other.m_savePassword && m_lastStart == other.m_lastStart;
}

bool CSQLConnection::save(const QString &section, int index)
{
    return save(section, index, CSettingsStore::instance());
}

bool CSQLConnection::save(const QString &section, int index, CSettingsStore &store)
{
    if (!m_savePassword)
        m_password.clear();
    store.writeString(section, indexed("Name_%1", index), m_name);
    store.writeString(section, indexed("User_%1", index), m_user);
    store.writeString(section, indexed("Password_%1", index), scramble(m_password));
    store.writeString(section, indexed("Server_%1", index), m_server);
    store.writeString(section, indexed("Database_%1", index), m_database);
    store.writeString(section, indexed("DBClient_%1", index), m_client);
    store.writeInt(section, indexed("ConnectAs_%1", index), m_connectAs);
    store.writeBool(section, indexed("SavePassword_%1", index), m_savePassword);
    store.writeString(section, indexed("LastStart_%1", index),
                      m_lastStart.format(QString::fromLatin1(CDateTime::kFileFormat)));
    return true;
}

bool CSQLConnection::load(const QString &section, int index)
{
    return load(section, index, CSettingsStore::instance());
}

bool CSQLConnection::load(const QString &section, int index, const CSettingsStore &store)
{
    m_name = store.readString(section, indexed("Name_%1", index));
    m_user = store.readString(section, indexed("User_%1", index));
    if (m_user.isEmpty())
        return false;
    m_password = scramble(store.readString(section, indexed("Password_%1", index)));
    m_server = store.readString(section, indexed("Server_%1", index));
    m_database = store.readString(section, indexed("Database_%1", index));
    m_client = store.readString(section, indexed("DBClient_%1", index));
    m_connectAs = store.readInt(section, indexed("ConnectAs_%1", index), Normal);
    m_savePassword = store.readBool(section, indexed("SavePassword_%1", index), true);
    m_lastStart = CDateTime::parse(store.readString(section, indexed("LastStart_%1", index)));
    return true;
}

QString CSQLConnection::scramble(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = QChar(char16_t(c.unicode() ^ 0x6B));
    return out;
}
