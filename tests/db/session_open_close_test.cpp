#include "ScriptedOci.h"

#include "db/connection.h"
#include "db/error.h"
#include "oci/registry.h"

#include <gtest/gtest.h>

using scripted::state;
using Calls = std::vector<std::string>;

namespace {

db::open_parameters params(int mode = 0, bool nonBlocking = false)
{
    db::open_parameters p;
    p.service = "SCRIPTED_DB";
    p.user = "scott";
    p.password = "Tiger";
    p.connect_mode = mode;
    p.non_blocking = nonBlocking;
    return p;
}

// The environment is created with the character set of narrow text: AL32UTF8 (873) in the UTF-8 or
// C locale the tests run in, whatever NLS_LANG names.
const Calls kOpenCalls = {
    "OCIEnvNlsCreate(2, 873, 873)",
    "OCIHandleAlloc(env1, SERVER)",
    "OCIHandleAlloc(env1, ERROR)",
    "OCIServerAttach(srv1, err1, \"SCRIPTED_DB\", 11, 0)",
    "OCIHandleAlloc(env1, SVCCTX)",
    "OCIAttrSet(svc1, SVCCTX, SERVER=srv1/0, err1)",
    "OCIHandleAlloc(env1, SESSION)",
    "OCIAttrSet(ses1, SESSION, USERNAME=\"scott\"/5, err1)",
    "OCIAttrSet(ses1, SESSION, PASSWORD=\"Tiger\"/5, err1)",
    "OCISessionBegin(svc1, err1, ses1, 1, 0)",
    "OCIAttrSet(svc1, SVCCTX, SESSION=ses1/0, err1)",
};

// A blocking session is ended as it is: setting the non-blocking attribute would toggle it on.
const Calls kCloseCalls = {
    "OCIAttrGet(srv1, SERVER, NONBLOCKING_MODE, null, err1)",
    "OCISessionEnd(svc1, err1, ses1, 0)",
    "OCIServerDetach(srv1, err1, 0)",
    "OCIHandleFree(svc1, SVCCTX)",
    "OCIHandleFree(ses1, SESSION)",
    "OCIHandleFree(err1, ERROR)",
    "OCIHandleFree(srv1, SERVER)",
    "OCIHandleFree(env1, ENV)",
};

} // namespace

TEST(SessionOpenClose, OpenAndCloseCallEveryFunctionInOrder)
{
    scripted::Session s;
    db::connection c;
    c.open(params());
    EXPECT_EQ(state().calls, kOpenCalls);
    EXPECT_TRUE(c.is_open());
    EXPECT_TRUE(c.session_begun());
    EXPECT_TRUE(c.is_blocking());
    EXPECT_NE(c.service_context(), nullptr);

    state().calls.clear();
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    EXPECT_EQ(state().calls, kCloseCalls);
    EXPECT_FALSE(c.is_open());
    EXPECT_EQ(c.environment(), nullptr);
    EXPECT_EQ(state().liveHandles, 0);
    EXPECT_EQ(state().badFrees, 0);

    state().calls.clear();
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS); // a second close has nothing left to do
    EXPECT_TRUE(state().calls.empty());
}

TEST(SessionOpenClose, ConnectModesMapToSessionModes)
{
    const std::pair<int, oci::ub4> cases[] = {{0, 0}, {1, oci::OCI_SYSDBA}, {2, oci::OCI_SYSOPER},
                                              {3, 0}, {-1, 0}, {99, 0}};
    for (auto [mode, expected] : cases) {
        scripted::Session s;
        db::connection c;
        c.open(params(mode));
        EXPECT_EQ(scripted::callsOf("OCISessionBegin"),
                  Calls{"OCISessionBegin(svc1, err1, ses1, 1, " + std::to_string(expected) + ")"})
            << "connect mode " << mode;
    }
}

TEST(SessionOpenClose, NonBlockingIsSetLastAndToggledBackOnlyWhenOn)
{
    scripted::Session s;
    {
        db::connection c;
        c.open(params(0, true));
        EXPECT_EQ(state().calls.back(), "OCIAttrSet(srv1, SERVER, NONBLOCKING_MODE=1/1, err1)");
        EXPECT_FALSE(c.is_blocking());
        EXPECT_EQ(state().nonBlocking, 1);
        state().calls.clear();
        EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
        EXPECT_EQ(std::vector<std::string>(state().calls.begin(), state().calls.begin() + 3),
                  (Calls{"OCIAttrGet(srv1, SERVER, NONBLOCKING_MODE, null, err1)",
                         "OCIAttrSet(srv1, SERVER, NONBLOCKING_MODE=0/1, err1)",
                         "OCISessionEnd(svc1, err1, ses1, 0)"}));
        EXPECT_EQ(state().nonBlocking, 0); // blocking again when the session ends
    }
    // Blocking sessions, however often opened and closed, never touch the mode.
    scripted::reset();
    db::connection c;
    for (int i = 0; i < 3; ++i) {
        c.open(params());
        EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    }
    EXPECT_TRUE(scripted::callsOf("OCIAttrSet(srv").empty());
    EXPECT_EQ(state().nonBlocking, 0);
    // When the mode cannot be read, it is left alone too.
    c.open(params());
    scripted::fail("OCIAttrGet", oci::OCI_ERROR);
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    EXPECT_TRUE(scripted::callsOf("OCIAttrSet(srv").empty());
}

TEST(SessionOpenClose, NeverOpenedCloseReturnsZeroAndCallsNothing)
{
    scripted::Session s;
    db::connection c;
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    EXPECT_TRUE(state().calls.empty());
}

TEST(SessionOpenClose, EnvironmentFailureIsLibraryError1000)
{
    scripted::Session s;
    scripted::fail("OCIEnvNlsCreate", oci::OCI_ERROR);
    {
        db::connection c;
        try {
            c.open(params());
            FAIL() << "open succeeded";
        } catch (const db::error &e) {
            EXPECT_EQ(e.kind(), db::error::library_kind);
            EXPECT_EQ(e.code(), 1000);
            EXPECT_EQ(e.description(), "Environment handle creation failed");
            EXPECT_EQ(e.oracle_error(), 0);
        }
        EXPECT_EQ(state().calls, Calls{"OCIEnvNlsCreate(2, 873, 873)"});
    }
    EXPECT_EQ(state().liveHandles, 0); // the half-made environment is freed by the destructor
}

TEST(SessionOpenClose, MissingProviderTableIsError1000WithItsDetail)
{
    scripted::Session s;
    s.provider.available = false;
    db::connection c;
    try {
        c.open(params());
        FAIL() << "open succeeded";
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1000);
        EXPECT_EQ(e.description(), "Environment handle creation failed: nothing here");
    }
    EXPECT_TRUE(state().calls.empty());
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
}

TEST(SessionOpenClose, AllocationFailureReadsTheErrorThroughTheEnvironment)
{
    scripted::Session s;
    scripted::fail("OCIHandleAlloc", oci::OCI_ERROR, 1); // the error handle
    db::connection c;
    try {
        c.open(params());
        FAIL() << "open succeeded";
    } catch (const db::error &e) {
        EXPECT_EQ(e.kind(), db::error::oracle_kind);
        EXPECT_EQ(e.code(), oci::OCI_ERROR);
        EXPECT_EQ(e.oracle_error(), 942);
    }
    EXPECT_EQ(state().calls.back(), "OCIErrorGet(env1, 1, null, 4000, ENV)");
}

TEST(SessionOpenClose, LogonFailureCarriesOracleTextAndCleansUp)
{
    scripted::Session s;
    state().errorText = "ORA-01017: invalid username/password; logon denied\n";
    state().errorCode = 1017;
    scripted::fail("OCISessionBegin", oci::OCI_ERROR);
    {
        db::connection c;
        try {
            c.open(params());
            FAIL() << "open succeeded";
        } catch (const db::error &e) {
            EXPECT_EQ(e.description(),
                      "(OCI_ERROR) ORA-01017: invalid username/password; logon denied\n");
            EXPECT_EQ(e.oracle_error(), 1017);
            EXPECT_EQ(e.display_text(), "Error type: Oracle\nDescription: (OCI_ERROR) ORA-01017: "
                                        "invalid username/password; logon denied\n\n");
        }
        EXPECT_EQ(state().calls.back(), "OCIErrorGet(err1, 1, null, 4000, ERROR)");
        EXPECT_FALSE(c.is_open());
        state().calls.clear();
        EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
        // No session began, so none is ended; the attach is undone.
        EXPECT_TRUE(scripted::callsOf("OCISessionEnd").empty());
        EXPECT_EQ(scripted::callsOf("OCIServerDetach"), Calls{"OCIServerDetach(srv1, err1, 0)"});
    }
    EXPECT_EQ(state().liveHandles, 0);
    EXPECT_EQ(state().badFrees, 0);
}

TEST(SessionOpenClose, AWarningAtLogonOpensTheSessionAndCloseEndsIt)
{
    scripted::Session s;
    state().errorText = "ORA-28002: the password will expire within 7 days\n";
    scripted::fail("OCISessionBegin", oci::OCI_SUCCESS_WITH_INFO);
    db::connection c;
    c.open(params());
    EXPECT_TRUE(c.is_open());
    EXPECT_EQ(c.warning(), "ORA-28002: the password will expire within 7 days");
    EXPECT_EQ(scripted::callsOf("OCIAttrSet").size(), 4u); // server, user, password, session
    state().calls.clear();
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    EXPECT_EQ(scripted::callsOf("OCISessionEnd"), Calls{"OCISessionEnd(svc1, err1, ses1, 0)"});
    EXPECT_EQ(state().liveHandles, 0);
}

TEST(SessionOpenClose, WarningsOfEnvironmentAndAttachAreKeptAndTheOpenSucceeds)
{
    scripted::Session s;
    state().errorText = "ORA-24330: internal OCI error\n"; // any text the client hands out
    scripted::fail("OCIEnvNlsCreate", oci::OCI_SUCCESS_WITH_INFO);
    scripted::fail("OCIServerAttach", oci::OCI_SUCCESS_WITH_INFO);
    db::connection c;
    ASSERT_NO_THROW(c.open(params()));
    EXPECT_TRUE(c.is_open());
    EXPECT_EQ(c.warning(), "ORA-24330: internal OCI error\nORA-24330: internal OCI error");
    EXPECT_EQ(scripted::callsOf("OCIErrorGet"), (Calls{"OCIErrorGet(env1, 1, null, 4000, ENV)",
                                                       "OCIErrorGet(err1, 1, null, 4000, ERROR)"}));
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
    EXPECT_EQ(scripted::callsOf("OCIServerDetach").size(), 1u);
    c.open(params()); // a clean open forgets the old warnings
    EXPECT_EQ(c.warning(), "");
}

TEST(SessionOpenClose, FailingCloseStopsAndKeepsStateButDestructorFreesAll)
{
    scripted::Session s;
    {
        db::connection c;
        c.open(params());
        scripted::fail("OCISessionEnd", oci::OCI_ERROR);
        state().calls.clear();
        EXPECT_EQ(c.close(), oci::OCI_ERROR);
        EXPECT_EQ(state().calls, (Calls{kCloseCalls[0], kCloseCalls[1]}));
        EXPECT_TRUE(c.is_open());
        EXPECT_NE(c.environment(), nullptr);
        scripted::fail("OCIServerDetach", oci::OCI_INVALID_HANDLE);
        EXPECT_EQ(c.close(), oci::OCI_INVALID_HANDLE);
        scripted::fail("OCIHandleFree", oci::OCI_ERROR, 2); // the error handle
        EXPECT_EQ(c.close(), oci::OCI_ERROR);
        EXPECT_NE(c.error_handle(), nullptr);
        EXPECT_EQ(c.service_context(), nullptr);
    }
    EXPECT_EQ(state().liveHandles, 0);
    EXPECT_EQ(state().badFrees, 0);
}

TEST(SessionOpenClose, ReopeningReleasesWhatAFailedOpenLeft)
{
    scripted::Session s;
    scripted::fail("OCIServerAttach", oci::OCI_ERROR);
    db::connection c;
    EXPECT_THROW(c.open(params()), db::error);
    c.open(params());
    EXPECT_TRUE(c.is_open());
    EXPECT_EQ(state().liveHandles, 5);
    c.close();
    EXPECT_EQ(state().liveHandles, 0);
    EXPECT_EQ(state().badFrees, 0);
}

TEST(SessionOpenClose, UnicodeParametersUseTheSystemCodePage)
{
    const auto p = db::open_parameters::from_unicode(QStringLiteral("ORCL"), QStringLiteral("SCOTT"),
                                                     QStringLiteral("pässword"), 1);
    EXPECT_EQ(p.service, "ORCL");
    EXPECT_EQ(p.password, "p\xc3\xa4ssword"); // tests run in a UTF-8 (or C) locale
    EXPECT_EQ(p.connect_mode, 1);
    EXPECT_EQ(p.environment_mode, oci::OCI_OBJECT);
    EXPECT_FALSE(p.non_blocking);
}

TEST(SessionWithoutClient, MissingOracleClientIsError1000TellingWhatToInstall)
{
    ::setenv("TARVOLO_OCI_LIB", "/nonexistent/libclntsh.so", 1);
    ::unsetenv("ORACLE_HOME");
    if (oci::registry::oracleClient().table() != nullptr)
        GTEST_SKIP() << "an Oracle client is installed on this machine";
    db::connection c;
    db::open_parameters p;
    p.service = "ORCL";
    try {
        c.open(p);
        FAIL() << "open succeeded";
    } catch (const db::error &e) {
        EXPECT_EQ(e.code(), 1000);
        const QString text = e.display_text();
        EXPECT_TRUE(text.startsWith(QStringLiteral(
            "Error type: Tarvolo\nDescription: Environment handle creation failed: ")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Oracle Instant Client")));
        EXPECT_TRUE(text.endsWith(QStringLiteral("TARVOLO_OCI_LIB to the full path of libclntsh.so.\n")))
            << text.toStdString();
    }
    EXPECT_EQ(c.close(), oci::OCI_SUCCESS);
}
