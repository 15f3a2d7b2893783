#include "connections/ui/CLogonForm.h"

#include "connections/CConnectionList.h"

CLogonForm CLogonForm::of(const CSQLConnection &record)
{
    CLogonForm form;
    form.user = record.user();
    form.savePassword = record.savePassword();
    form.password = record.savePassword() ? record.password() : QString();
    form.database = record.database();
    const int as = record.connectAs();
    form.connectAs = as >= CSQLConnection::Normal && as <= CSQLConnection::SysOper
                         ? as
                         : int(CSQLConnection::Normal);
    return form;
}

void CLogonForm::prepare(CSQLConnection &current, const CConnectionList &saved)
{
    if (!current.user().isEmpty()) {
        if (const CSQLConnection *match = saved.find(current)) {
            current.setPassword(match->password());
            current.setSavePassword(match->savePassword());
        }
    } else if (!saved.isEmpty()) {
        current = saved.at(0);
    }
}

bool CLogonForm::choose(const QString &user, const QString &database, const CConnectionList &saved,
                        CSQLConnection &current)
{
    CSQLConnection key;
    key.setUser(user);
    key.setDatabase(database);
    const CSQLConnection *match = saved.find(key);
    if (!match)
        return false;
    current = *match;
    return true;
}

bool CLogonForm::acceptInto(CSQLConnection &current, CConnectionList &saved) const
{
    current.setUser(user.trimmed().toUpper());
    current.setPassword(password);
    current.setDatabase(database.trimmed().toUpper());
    current.setConnectAs(connectAs);
    current.setSavePassword(savePassword);
    if (current.user().isEmpty())
        return false;
    saved.addOrReplace(current);
    return true;
}

CSQLConnection CLogonForm::testRecord() const
{
    CSQLConnection record;
    record.setUser(user.trimmed());
    record.setPassword(password);
    record.setDatabase(database.trimmed());
    record.setConnectAs(connectAs);
    return record;
}
