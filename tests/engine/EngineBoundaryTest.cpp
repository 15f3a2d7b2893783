// The engine's OCI surface where it meets a caller that expects a real client: the non-blocking
// attribute as a toggle, environments with explicit character sets, and the guards that keep every
// exception inside the engine.
#include "EngineOciFixture.h"
#include "EngineSqlFixture.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/statement.h"
#include "engine/CEngineProvider.h"
#include "engine/EngineFaultHook.h"

#include <new>
#include <stdexcept>

using namespace oci;
using engine::faults::Site;

namespace {

ub1 nonBlockingMode(const oci::api &api, OCIServer *server, OCIError *err)
{
    ub1 mode = 0xFF;
    EXPECT_EQ(
        api.OCIAttrGet(server, OCI_HTYPE_SERVER, &mode, nullptr, OCI_ATTR_NONBLOCKING_MODE, err),
        OCI_SUCCESS);
    return mode;
}

// Clears a hook a failing test left behind, so that it cannot hit a later test.
struct HookGuard
{
    ~HookGuard()
    {
        engine::faults::throwOnNextCall(Site::OciCall, nullptr);
        engine::faults::throwOnNextCall(Site::SqlFunction, nullptr);
    }
};

} // namespace

class EngineBoundary : public EngineOciFixture
{
protected:
    void SetUp() override
    {
        EngineOciFixture::SetUp();
        createDatabase("EDGE", "CREATE TABLE T (N NUMBER);");
    }
    HookGuard m_hooks;
};

TEST_F(EngineBoundary, SettingNonBlockingModeTogglesItWhateverTheValue)
{
    Session s = logon("EDGE");
    ASSERT_EQ(s.status, OCI_SUCCESS) << errorText(s);
    EXPECT_EQ(nonBlockingMode(api, s.server, s.err), 0);
    ub1 value = 0; // "off" still switches it on
    EXPECT_EQ(
        api.OCIAttrSet(s.server, OCI_HTYPE_SERVER, &value, 1, OCI_ATTR_NONBLOCKING_MODE, s.err),
        OCI_SUCCESS);
    EXPECT_EQ(nonBlockingMode(api, s.server, s.err), 1);
    value = 1; // and "on" switches it off again
    EXPECT_EQ(
        api.OCIAttrSet(s.server, OCI_HTYPE_SERVER, &value, 1, OCI_ATTR_NONBLOCKING_MODE, s.err),
        OCI_SUCCESS);
    EXPECT_EQ(nonBlockingMode(api, s.server, s.err), 0);
    logoff(s);
}

TEST_F(EngineBoundary, EnvironmentKeepsTheCharacterSetItWasCreatedWith)
{
    OCIEnv *env = nullptr;
    ASSERT_EQ(api.OCIEnvNlsCreate(&env, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                                  OCI_CHARSET_AL32UTF8, OCI_CHARSET_AL32UTF8),
              OCI_SUCCESS);
    OCIError *err = nullptr;
    ASSERT_EQ(api.OCIHandleAlloc(env, reinterpret_cast<void **>(&err), OCI_HTYPE_ERROR, 0, nullptr),
              OCI_SUCCESS);
    ub2 charset = 0;
    EXPECT_EQ(api.OCIAttrGet(env, OCI_HTYPE_ENV, &charset, nullptr, OCI_ATTR_CHARSET_ID, err),
              OCI_SUCCESS);
    EXPECT_EQ(charset, OCI_CHARSET_AL32UTF8);
    EXPECT_EQ(api.OCIHandleFree(env, OCI_HTYPE_ENV), OCI_SUCCESS);
    EXPECT_EQ(api.OCIEnvNlsCreate(nullptr, OCI_OBJECT, nullptr, nullptr, nullptr, nullptr, 0,
                                  nullptr, 0, 0),
              OCI_INVALID_HANDLE);
}

TEST_F(EngineBoundary, AnExceptionInAnEntryPointBecomesAnOra00600Record)
{
    Session s = logon("EDGE");
    ASSERT_EQ(s.status, OCI_SUCCESS) << errorText(s);
    OCIStmt *stmt = prepare(s, "INSERT INTO T VALUES (1)");

    engine::faults::throwOnNextCall(Site::OciCall, std::make_exception_ptr(std::bad_alloc()));
    EXPECT_EQ(execute(s, stmt), OCI_ERROR);
    EXPECT_EQ(errorCode(s), 600);
    EXPECT_EQ(errorText(s), "ORA-00600: internal error code, arguments: [std::bad_alloc]");

    // The hook fired once; the statement runs normally afterwards.
    EXPECT_EQ(execute(s, stmt), OCI_SUCCESS) << errorText(s);

    // A call without an error handle reports through its environment; anything thrown is caught.
    engine::faults::throwOnNextCall(Site::OciCall, std::make_exception_ptr(42));
    void *h = nullptr;
    EXPECT_EQ(api.OCIHandleAlloc(s.env, &h, OCI_HTYPE_STMT, 0, nullptr), OCI_ERROR);
    OraText text[200] = {};
    sb4 code = 0;
    EXPECT_EQ(api.OCIErrorGet(s.env, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ENV),
              OCI_SUCCESS);
    EXPECT_EQ(code, 600);
    EXPECT_STREQ(reinterpret_cast<const char *>(text),
                 "ORA-00600: internal error code, arguments: [unknown exception]\n");

    // Functions that return nothing swallow it.
    engine::faults::throwOnNextCall(Site::OciCall,
                                    std::make_exception_ptr(std::runtime_error("x")));
    OCINumber n{};
    api.OCINumberSetZero(s.err, &n);
    freeStmt(stmt);
    logoff(s);
}

TEST_F(EngineBoundary, TheDatabaseLayerSeesTheInternalErrorAsAnOracleError)
{
    engine::registerEngineProvider();
    db::connection conn;
    conn.open(db::open_parameters::from_unicode("EDGE", "SCOTT", "TIGER", 0));
    {
        db::statement st(conn, "INSERT INTO T VALUES (2)");
        engine::faults::throwOnNextCall(Site::OciCall,
                                        std::make_exception_ptr(std::length_error("basic_string")));
        try {
            st.execute();
            FAIL() << "the execute succeeded";
        } catch (const db::error &e) {
            EXPECT_EQ(e.kind(), db::error::oracle_kind);
            EXPECT_EQ(e.oracle_error(), 600);
            EXPECT_EQ(e.description(),
                      "(OCI_ERROR) ORA-00600: internal error code, arguments: [basic_string]\n");
        }
    }
    EXPECT_EQ(conn.close(), OCI_SUCCESS);
}

class EngineSqlBoundary : public EngineSqlFixture
{
protected:
    HookGuard m_hooks;
};

TEST_F(EngineSqlBoundary, AnExceptionInAnSqlFunctionBecomesAnOra00600Error)
{
    engine::faults::throwOnNextCall(Site::SqlFunction,
                                    std::make_exception_ptr(std::runtime_error("vector::reserve")));
    EXPECT_EQ(value("select nvl(null, 'x') from dual"),
              "ORA-00600: internal error code, arguments: [vector::reserve]");
    EXPECT_EQ(value("select nvl(null, 'x') from dual"), "x");
    // An allocation failure is SQLite's own out-of-memory error, which reads as ORA-04030.
    engine::faults::throwOnNextCall(Site::SqlFunction, std::make_exception_ptr(std::bad_alloc()));
    EXPECT_EQ(errorCode("select lpad('a', 3) from dual"), 4030);
    EXPECT_EQ(value("select lpad('a', 3) from dual"), "  a");
}
