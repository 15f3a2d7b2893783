#pragma once

#include "oci/api.h"

#include <QString>

#include <atomic>
#include <string>

namespace oci {
class provider;
}

namespace db {

// What open() needs. Narrow text is in the system code page (see from_unicode).
struct open_parameters {
    std::string service;  // net service name or connect string; also picks the provider
    std::string user;
    std::string password;
    int connect_mode = 0; // 1 SYSDBA, 2 SYSOPER, anything else a normal session
    oci::ub4 environment_mode = oci::OCI_OBJECT;
    bool non_blocking = false;

    // Converts the program's UTF-16 texts to the system code page.
    static open_parameters from_unicode(const QString &service, const QString &user,
                                        const QString &password, int connect_mode);
};

// One database session: owns its environment, server, error, session and service context handles.
// Statements and result sets made on it must be destroyed before it is closed or destroyed: their
// handles are freed with the environment, and a client would be handed dead handles. Debug builds
// assert this rule (each statement and result set counts itself as a live child of its connection).
// The provider (Oracle client, embedded engine, …) is chosen at open from the service name.
class connection {
public:
    // Counts the object it is a member of as a live child of conn for its whole life, also when the
    // owner's constructor throws after it was made.
    class child
    {
    public:
        explicit child(connection &conn) noexcept : m_conn(&conn) { ++conn.m_children; }
        ~child() { --m_conn->m_children; }
        child(const child &) = delete;
        child &operator=(const child &) = delete;

    private:
        connection *m_conn;
    };

    connection() = default;
    connection(const connection &) = delete;
    connection &operator=(const connection &) = delete;
    ~connection(); // closes; frees whatever a failing close left behind

    // Opens the session; throws db::error (library 1000 when no provider table or no environment,
    // else an Oracle error of the failing call). Handles made before a failure stay until close().
    // A session still held from an earlier open is closed first (its handles freed even when that
    // close fails). The environment is created with OCIEnvNlsCreate and the character set of narrow
    // text (oci::narrowCharsetId()). A warning (OCI_SUCCESS_WITH_INFO) from environment creation,
    // server attach or session begin does not fail the open; its text is kept in warning().
    void open(const open_parameters &parameters);

    // Ends the session and frees every handle; returns OCI_SUCCESS or the status of the first
    // failing call, which stops the sequence (handles and flags then stay). Never throws. A session
    // in non-blocking mode is switched back to blocking first (the attribute toggles the mode, so
    // it is set only when the mode read back is non-blocking).
    oci::sword close() noexcept;

    // The warnings of the last open, one record per line (system code page); empty when none.
    const std::string &warning() const { return m_warning; }

    // Statements and result sets alive on this connection.
    int live_children() const { return m_children.load(); }

    bool is_open() const { return m_open; }
    bool session_begun() const { return m_session_begun; }
    bool is_blocking() const { return m_blocking; }

    oci::OCIEnv *environment() const { return m_environment; }
    oci::OCIError *error_handle() const { return m_error; }
    oci::OCISvcCtx *service_context() const { return m_service_context; }

    // The provider's function table; null before the first open.
    const oci::api *table() const { return m_table; }
    oci::provider *provider() const { return m_provider; }

private:
    void release() noexcept; // frees every handle left without ending or detaching, ignoring statuses
    void keep_warning(void *handle, oci::ub4 type); // appends record 1 of handle to m_warning

    const oci::api *m_table = nullptr;
    oci::provider *m_provider = nullptr;
    oci::OCIEnv *m_environment = nullptr;
    oci::OCIServer *m_server = nullptr;
    oci::OCIError *m_error = nullptr;
    oci::OCISession *m_session = nullptr;
    oci::OCISvcCtx *m_service_context = nullptr;
    bool m_open = false;
    bool m_session_begun = false;
    bool m_blocking = false;
    bool m_attached = false;   // the server attach succeeded; detach is due
    bool m_session_live = false; // the session begin succeeded; session end is due
    std::string m_warning;
    std::atomic<int> m_children{0};
};

} // namespace db
