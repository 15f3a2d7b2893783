#pragma once

#include "engine/EngineOci.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

// Drives the engine through its OCI function table, as the database layer does, against SQLite files
// in a temporary folder that $TARVOLO_DATABASES points at.
class EngineOciFixture : public ::testing::Test
{
protected:
    using sword = oci::sword;

    // One OCI session: environment, error, server, service context and user session.
    struct Session {
        oci::OCIEnv *env = nullptr;
        oci::OCIError *err = nullptr;
        oci::OCIServer *server = nullptr;
        oci::OCISvcCtx *svc = nullptr;
        oci::OCISession *user = nullptr;
        sword status = oci::OCI_SUCCESS; // of the step that ended the logon
    };

    void SetUp() override;
    void TearDown() override;

    // Creates NAME.db in the temporary folder and runs sql on it with plain SQLite.
    std::string createDatabase(const std::string &name, const std::string &sql);
    // Runs sql on a database file with plain SQLite; returns the first column of the first row as text.
    std::string sqliteQuery(const std::string &name, const std::string &sql);

    // Logs on as the database layer does; status holds the result of the failing or last step.
    Session logon(const std::string &service, const std::string &user = "SCOTT",
                  const std::string &password = "TIGER", oci::ub4 mode = oci::OCI_DEFAULT);
    void logoff(Session &s);

    // The code and text of the error record of s, text without its trailing newline.
    int errorCode(const Session &s);
    std::string errorText(const Session &s);

    oci::OCIStmt *prepare(Session &s, const std::string &sql);
    sword execute(Session &s, oci::OCIStmt *stmt, oci::ub4 iters = 1, oci::ub4 mode = oci::OCI_DEFAULT);
    // Prepares and executes a statement that is not a query; fails the test on error.
    void run(Session &s, const std::string &sql);
    void freeStmt(oci::OCIStmt *stmt);
    oci::ub4 attrUb4(const void *handle, oci::ub4 type, oci::ub4 attr, Session &s);

    const oci::api &api = engine::ociTable();
    QTemporaryDir m_dir;
    QByteArray m_oldDatabases; // $TARVOLO_DATABASES before the test
};
