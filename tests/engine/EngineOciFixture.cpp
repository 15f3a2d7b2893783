#include "EngineOciFixture.h"

#include <cstring>

using namespace oci;

void EngineOciFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_oldDatabases = qgetenv("TARVOLO_DATABASES");
    qputenv("TARVOLO_DATABASES", m_dir.path().toUtf8());
}

void EngineOciFixture::TearDown()
{
    qputenv("TARVOLO_DATABASES", m_oldDatabases);
}

std::string EngineOciFixture::createDatabase(const std::string &name, const std::string &sql)
{
    const std::string path = m_dir.filePath(QString::fromStdString(name + ".db")).toStdString();
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char *message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    return path;
}

std::string EngineOciFixture::sqliteQuery(const std::string &name, const std::string &sql)
{
    const std::string path = m_dir.filePath(QString::fromStdString(name + ".db")).toStdString();
    sqlite3 *db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_stmt *stmt = nullptr;
    std::string result = "<error>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            const auto *text = sqlite3_column_text(stmt, 0);
            result = text ? reinterpret_cast<const char *>(text) : "<null>";
        } else if (rc == SQLITE_DONE) {
            result = "<none>";
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

EngineOciFixture::Session EngineOciFixture::logon(const std::string &service, const std::string &user,
                                                  const std::string &password, ub4 mode)
{
    Session s;
    s.status = api.OCIEnvCreate(&s.env, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
    if (s.status != OCI_SUCCESS)
        return s;
    api.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.server), OCI_HTYPE_SERVER, 0, nullptr);
    api.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.err), OCI_HTYPE_ERROR, 0, nullptr);
    s.status = api.OCIServerAttach(s.server, s.err, reinterpret_cast<const OraText *>(service.c_str()),
                                   static_cast<sb4>(service.size()), OCI_DEFAULT);
    if (s.status != OCI_SUCCESS)
        return s;
    api.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.svc), OCI_HTYPE_SVCCTX, 0, nullptr);
    api.OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, s.server, 0, OCI_ATTR_SERVER, s.err);
    api.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&s.user), OCI_HTYPE_SESSION, 0, nullptr);
    api.OCIAttrSet(s.user, OCI_HTYPE_SESSION, const_cast<char *>(user.c_str()),
                   static_cast<ub4>(user.size()), OCI_ATTR_USERNAME, s.err);
    api.OCIAttrSet(s.user, OCI_HTYPE_SESSION, const_cast<char *>(password.c_str()),
                   static_cast<ub4>(password.size()), OCI_ATTR_PASSWORD, s.err);
    s.status = api.OCISessionBegin(s.svc, s.err, s.user, OCI_CRED_RDBMS, mode);
    if (s.status != OCI_SUCCESS)
        return s;
    s.status = api.OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, s.user, 0, OCI_ATTR_SESSION, s.err);
    return s;
}

void EngineOciFixture::logoff(Session &s)
{
    if (s.env == nullptr)
        return;
    if (s.user != nullptr && s.status == OCI_SUCCESS)
        api.OCISessionEnd(s.svc, s.err, s.user, OCI_DEFAULT);
    if (s.server != nullptr)
        api.OCIServerDetach(s.server, s.err, OCI_DEFAULT);
    api.OCIHandleFree(s.env, OCI_HTYPE_ENV);
    s = Session();
}

int EngineOciFixture::errorCode(const Session &s)
{
    sb4 code = 0;
    api.OCIErrorGet(s.err, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR);
    return code;
}

std::string EngineOciFixture::errorText(const Session &s)
{
    OraText buffer[4000] = {};
    sb4 code = 0;
    if (api.OCIErrorGet(s.err, 1, nullptr, &code, buffer, sizeof buffer, OCI_HTYPE_ERROR) != OCI_SUCCESS)
        return {};
    std::string text(reinterpret_cast<const char *>(buffer));
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

OCIStmt *EngineOciFixture::prepare(Session &s, const std::string &sql)
{
    OCIStmt *stmt = nullptr;
    EXPECT_EQ(api.OCIHandleAlloc(s.env, reinterpret_cast<void **>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
              OCI_SUCCESS);
    EXPECT_EQ(api.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText *>(sql.c_str()),
                                 static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    return stmt;
}

sword EngineOciFixture::execute(Session &s, OCIStmt *stmt, ub4 iters, ub4 mode)
{
    return api.OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, mode);
}

void EngineOciFixture::run(Session &s, const std::string &sql)
{
    OCIStmt *stmt = prepare(s, sql);
    EXPECT_EQ(execute(s, stmt), OCI_SUCCESS) << sql << ": " << errorText(s);
    freeStmt(stmt);
}

void EngineOciFixture::freeStmt(OCIStmt *stmt)
{
    api.OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

ub4 EngineOciFixture::attrUb4(const void *handle, ub4 type, ub4 attr, Session &s)
{
    ub4 value = 0;
    EXPECT_EQ(api.OCIAttrGet(handle, type, &value, nullptr, attr, s.err), OCI_SUCCESS);
    return value;
}
