#include "connections/ui/CConnectionTest.h"

#include "connections/CSQLConnection.h"
#include "db/connection.h"
#include "db/error.h"

CConnectionTest CConnectionTest::run(const CSQLConnection &record)
{
    CConnectionTest result;
    db::connection session;
    try {
        session.open(db::open_parameters::from_unicode(record.database(), record.user(),
                                                       record.password(), record.connectAs()));
    } catch (const db::error &e) {
        session.close();
        result.message = e.display_text();
        return result;
    }
    session.close();
    result.ok = true;
    result.message = successText(record.user(), record.database());
    return result;
}

QString CConnectionTest::successText(const QString &user, const QString &database)
{
    return QStringLiteral("The connection %1 - %2 is OK").arg(user, database);
}
