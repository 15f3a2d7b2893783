// Logon, users and connect modes, transactions between sessions, handles and error records of the
// engine's OCI surface.
#include "EngineOciFixture.h"

#include "engine/CEngineProvider.h"
#include "engine/EngineDatabases.h"
#include "oci/registry.h"

#include <QDir>
#include <QFile>

using namespace oci;

namespace {

const char *kUsers = "CREATE TABLE TARVOLO_USERS (USERNAME VARCHAR2(128) PRIMARY KEY, "
                     "PASSWORD VARCHAR2(128), CAN_SYSDBA NUMBER(1), CAN_SYSOPER NUMBER(1));"
                     "INSERT INTO TARVOLO_USERS VALUES ('SCOTT', 'TIGER', 0, 0);"
                     "INSERT INTO TARVOLO_USERS VALUES ('Admin', 'Secret', 1, 0);"
                     "CREATE TABLE T (ID NUMBER, NAME VARCHAR2(20));";

} // namespace

class EngineSession : public EngineOciFixture
{
protected:
    // SELECT count(*) through the engine on session s.
    int countRows(Session &s, const std::string &table)
    {
        OCIStmt *stmt = prepare(s, "SELECT count(*) FROM " + table);
        int count = -1;
        OCIDefine *d = nullptr;
        if (execute(s, stmt, 0) == OCI_SUCCESS) {
            api.OCIDefineByPos(stmt, &d, s.err, 1, &count, sizeof count, SQLT_INT, nullptr, nullptr,
                               nullptr, OCI_DEFAULT);
            if (api.OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT) != OCI_SUCCESS)
                count = -2;
        }
        freeStmt(stmt);
        return count;
    }
};

TEST_F(EngineSession, UnknownServiceFailsAtAttachWithTheStandardText)
{
    for (const std::string service : {"NOSUCH", "", "host:1521/ORCL", "../Etc", "(DESCRIPTION=(x))"}) {
        Session s = logon(service);
        EXPECT_EQ(s.status, OCI_ERROR) << service;
        EXPECT_EQ(errorCode(s), 12154);
        EXPECT_EQ(errorText(s), "ORA-12154: TNS:could not resolve the connect identifier specified");
        logoff(s);
    }
}

TEST_F(EngineSession, UserTableChecksPasswordsExactlyAndNamesInAnyCase)
{
    createDatabase("Shop", kUsers);

    Session ok = logon("SHOP", "scott", "TIGER");
    EXPECT_EQ(ok.status, OCI_SUCCESS) << errorText(ok);
    logoff(ok);

    for (const auto &[user, password] : std::vector<std::pair<std::string, std::string>>{
             {"SCOTT", "tiger"}, {"NOBODY", "TIGER"}, {"SCOTT", ""}, {"", ""}}) {
        Session s = logon("shop", user, password);
        EXPECT_EQ(s.status, OCI_ERROR) << user << "/" << password;
        EXPECT_EQ(errorText(s), "ORA-01017: invalid username/password; logon denied");
        logoff(s);
    }
}

TEST_F(EngineSession, ConnectModesNeedTheirPrivilege)
{
    createDatabase("SHOP", kUsers);
    createDatabase("OPEN", "CREATE TABLE X (A NUMBER);");

    Session dba = logon("SHOP", "ADMIN", "Secret", OCI_SYSDBA);
    EXPECT_EQ(dba.status, OCI_SUCCESS) << errorText(dba);
    logoff(dba);

    const std::vector<std::tuple<std::string, std::string, std::string, ub4>> refused{
        {"SHOP", "ADMIN", "Secret", OCI_SYSOPER},
        {"SHOP", "SCOTT", "TIGER", OCI_SYSDBA},
        {"OPEN", "ANY", "thing", OCI_SYSDBA}};
    for (const auto &[db, user, password, mode] : refused) {
        Session s = logon(db, user, password, mode);
        EXPECT_EQ(s.status, OCI_ERROR) << db << " " << user;
        EXPECT_EQ(errorText(s), "ORA-01031: insufficient privileges");
        logoff(s);
    }

    // Without a user table anyone may log on in normal mode.
    Session anyone = logon("open", "whoever", "whatever");
    EXPECT_EQ(anyone.status, OCI_SUCCESS) << errorText(anyone);
    logoff(anyone);
}

TEST_F(EngineSession, SessionsSeeOnlyWhatOthersCommitted)
{
    createDatabase("SHOP", kUsers);
    Session a = logon("SHOP");
    Session b = logon("SHOP");
    ASSERT_EQ(a.status, OCI_SUCCESS);
    ASSERT_EQ(b.status, OCI_SUCCESS);

    run(a, "INSERT INTO T (ID, NAME) VALUES (1, 'one')");
    ub4 inTransaction = 0;
    api.OCIAttrGet(a.user, OCI_HTYPE_SESSION, &inTransaction, nullptr, OCI_ATTR_TRANSACTION_IN_PROGRESS, a.err);
    EXPECT_EQ(inTransaction, 1u);
    EXPECT_EQ(countRows(a, "T"), 1); // a sees its own change
    EXPECT_EQ(countRows(b, "T"), 0);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "0");

    run(a, "ROLLBACK");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "0");
    run(a, "INSERT INTO T (ID, NAME) VALUES (2, 'two')");
    run(a, "COMMIT");
    EXPECT_EQ(countRows(b, "T"), 1);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "1");

    // DDL commits what is pending first.
    run(a, "INSERT INTO T (ID, NAME) VALUES (3, 'three')");
    run(a, "CREATE TABLE U (X NUMBER)");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "2");

    // Ending the session commits, as OCISessionEnd does.
    run(a, "INSERT INTO T (ID, NAME) VALUES (4, 'four')");
    logoff(a);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "3");

    // A session that vanishes without ending (a killed process) loses only the uncommitted part.
    run(b, "INSERT INTO T (ID, NAME) VALUES (5, 'five')");
    api.OCIHandleFree(b.env, OCI_HTYPE_ENV);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "3");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT max(ID) FROM T"), "4");
}

TEST_F(EngineSession, FailedBlockUndoesOnlyItsOwnWork)
{
    createDatabase("SHOP", kUsers);
    Session a = logon("SHOP");
    Session b = logon("SHOP");
    auto failing = [&](const std::string &sql) {
        OCIStmt *stmt = prepare(a, sql);
        EXPECT_EQ(execute(a, stmt), OCI_ERROR);
        freeStmt(stmt);
        return errorCode(a);
    };
    run(a, "INSERT INTO T (ID, NAME) VALUES (1, 'before')");
    EXPECT_EQ(failing("DECLARE n NUMBER; BEGIN INSERT INTO T VALUES (2, 'x'); UPDATE T SET NAME = 'y'; "
                      "n := 1 / 0; END;"),
              1476);
    EXPECT_EQ(countRows(a, "T"), 1);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "0") << "the earlier insert is still pending";
    run(a, "COMMIT");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT NAME FROM T"), "before");

    // Work the block committed stays; what followed the commit goes, and no write lock is left.
    EXPECT_EQ(failing("DECLARE n NUMBER; BEGIN INSERT INTO T VALUES (3, 'x'); COMMIT; "
                      "INSERT INTO T VALUES (4, 'x'); n := 1 / 0; END;"),
              1476);
    run(b, "INSERT INTO T (ID, NAME) VALUES (5, 'other')");
    run(b, "COMMIT");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT group_concat(ID) FROM (SELECT ID FROM T ORDER BY ID)"), "1,3,5");
    logoff(a);
    logoff(b);
}

TEST_F(EngineSession, RollbackToASavepointNeverRollsBackEverything)
{
    createDatabase("SHOP", kUsers);
    Session a = logon("SHOP");
    run(a, "INSERT INTO T (ID, NAME) VALUES (1, 'one')");
    for (const char *sql : {"ROLLBACK TO SAVEPOINT before_insert", "rollback work to x", "ROLLBACK everything"}) {
        OCIStmt *stmt = prepare(a, sql);
        EXPECT_EQ(execute(a, stmt), OCI_ERROR) << sql;
        freeStmt(stmt);
    }
    EXPECT_EQ(errorCode(a), 933);
    EXPECT_EQ(countRows(a, "T"), 1);
    run(a, "commit work comment 'kept'");
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "1");
    logoff(a);
}

TEST_F(EngineSession, WriteThatChangesNothingLeavesNoLockBehind)
{
    createDatabase("SHOP", kUsers);
    Session a = logon("SHOP");
    Session b = logon("SHOP");
    run(a, "UPDATE T SET NAME = 'x' WHERE ID = 42");
    // b can write at once: a holds no transaction.
    run(b, "INSERT INTO T (ID, NAME) VALUES (1, 'one')");
    run(b, "COMMIT");
    logoff(a);
    logoff(b);
    EXPECT_EQ(sqliteQuery("SHOP", "SELECT count(*) FROM T"), "1");
}

TEST_F(EngineSession, ErrorRecordsFollowOciErrorGet)
{
    Session s = logon("NOSUCH");
    sb4 code = 0;
    EXPECT_EQ(api.OCIErrorGet(s.err, 2, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR), OCI_NO_DATA);
    OraText small[10];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(api.OCIErrorGet(s.err, 1, nullptr, &code, small, sizeof small, OCI_HTYPE_ERROR), OCI_SUCCESS);
    EXPECT_EQ(code, 12154);
    EXPECT_STREQ(reinterpret_cast<char *>(small), "ORA-12154");

    OraText full[200];
    api.OCIErrorGet(s.err, 1, nullptr, &code, full, sizeof full, OCI_HTYPE_ERROR);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(full)).back(), '\n');
    EXPECT_EQ(api.OCIErrorGet(s.err, 1, nullptr, &code, full, sizeof full, OCI_HTYPE_STMT),
              OCI_INVALID_HANDLE);
    // A handle of another type is refused, not misread.
    EXPECT_EQ(api.OCIServerAttach(reinterpret_cast<OCIServer *>(s.err), s.err,
                                  reinterpret_cast<const OraText *>("X"), 1, 0),
              OCI_INVALID_HANDLE);
    logoff(s);
}

TEST_F(EngineSession, CallsAfterSessionEndReportNotLoggedOn)
{
    createDatabase("SHOP", kUsers);
    Session s = logon("SHOP");
    OCIStmt *stmt = prepare(s, "SELECT ID FROM T");
    api.OCISessionEnd(s.svc, s.err, s.user, OCI_DEFAULT);
    EXPECT_EQ(execute(s, stmt, 0), OCI_ERROR);
    EXPECT_EQ(errorCode(s), 1012);
    EXPECT_EQ(api.OCISessionEnd(s.svc, s.err, s.user, OCI_DEFAULT), OCI_ERROR);
    s.user = nullptr;
    oci::OCIEnv *env = s.env;
    oci::OCISvcCtx *svc = s.svc;
    logoff(s); // frees the statement with the environment
    // Handles kept past their environment are refused, never read.
    EXPECT_EQ(api.OCIHandleFree(stmt, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
    EXPECT_EQ(api.OCIHandleFree(svc, OCI_HTYPE_SVCCTX), OCI_INVALID_HANDLE);
    EXPECT_EQ(api.OCIHandleFree(env, OCI_HTYPE_ENV), OCI_INVALID_HANDLE);
}

TEST_F(EngineSession, ProviderClaimsExactlyTheEmbeddedDatabases)
{
    createDatabase("Sales", "CREATE TABLE X (A NUMBER);");
    const QString other = m_dir.filePath("more");
    QDir().mkpath(other);
    QFile::copy(m_dir.filePath("Sales.db"), other + "/SALES.db");
    QFile::copy(m_dir.filePath("Sales.db"), other + "/Archive.DB");
    qputenv("TARVOLO_DATABASES", (m_dir.path() + ":" + other).toUtf8());

    EXPECT_EQ(engine::findDatabase("sales"), m_dir.filePath("Sales.db")); // first folder wins
    EXPECT_EQ(engine::findDatabase(" ARCHIVE "), other + "/Archive.DB");
    EXPECT_TRUE(engine::findDatabase("more/SALES").isEmpty());
    const QStringList names = engine::embeddedDatabaseNames();
    EXPECT_EQ(names.filter("sales", Qt::CaseInsensitive).size(), 1);
    EXPECT_GE(names.indexOf("Sales"), 0);
    EXPECT_LT(names.indexOf("Archive"), names.indexOf("Sales"));

    engine::registerEngineProvider();
    engine::registerEngineProvider();
    EXPECT_EQ(&oci::registry::forService("SALES"), &engine::CEngineProvider::instance());
    EXPECT_EQ(&oci::registry::forService("ORCL"), &oci::registry::oracleClient());
    EXPECT_EQ(engine::CEngineProvider::instance().table(), &engine::ociTable());
    EXPECT_TRUE(oci::isComplete(engine::ociTable()));

    sword version[5] = {};
    api.OCIClientVersion(&version[0], &version[1], &version[2], &version[3], &version[4]);
    EXPECT_EQ(version[0], engine::kEngineVersion[0]);
    EXPECT_EQ(engine::CEngineProvider::instance().describe().version, "1.5.0.0.0");
}
