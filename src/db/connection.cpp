#include "db/connection.h"

#include "core/CodePage.h"
#include "db/error.h"
#include "oci/process_environment.h"
#include "oci/registry.h"

#include <cassert>

namespace db {
namespace {

// The call did its work, possibly with a warning to read (OCI_SUCCESS_WITH_INFO).
bool succeeded(oci::sword status)
{
    return status == oci::OCI_SUCCESS || status == oci::OCI_SUCCESS_WITH_INFO;
}

std::string narrow(const QString &text)
{
    const QByteArray bytes = codepage::fromUnicode(text, codepage::kSystemAnsi);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

open_parameters open_parameters::from_unicode(const QString &service, const QString &user,
                                              const QString &password, int connect_mode)
{
    open_parameters p;
    p.service = narrow(service);
    p.user = narrow(user);
    p.password = narrow(password);
    p.connect_mode = connect_mode;
    return p;
}

connection::~connection()
{
    if (close() != oci::OCI_SUCCESS)
        release();
}

void connection::keep_warning(void *handle, oci::ub4 type)
{
    const std::string text = error::record_text(m_table, handle, type);
    if (text.empty())
        return;
    if (!m_warning.empty())
        m_warning += '\n';
    m_warning += text;
}

void connection::open(const open_parameters &parameters)
{
    if (m_environment != nullptr && close() != oci::OCI_SUCCESS)
        release();

    oci::provider &source = oci::registry::forService(parameters.service.c_str());
    const oci::api *table = source.table();
    if (table == nullptr)
        throw DB_LIBRARY_ERROR(error::environment_failed, source.failureDetail());
    m_provider = &source;
    m_table = table;
    m_warning.clear();
    const oci::api &t = *table;

    const oci::ub2 charset = oci::narrowCharsetId();
    oci::sword s = t.OCIEnvNlsCreate(&m_environment, parameters.environment_mode, nullptr, nullptr,
                                     nullptr, nullptr, 0, nullptr, charset, charset);
    if (!succeeded(s))
        throw DB_LIBRARY_ERROR(error::environment_failed, std::string_view());
    if (s == oci::OCI_SUCCESS_WITH_INFO)
        keep_warning(m_environment, oci::OCI_HTYPE_ENV);

    auto alloc = [&](void **handle, oci::ub4 type) {
        const oci::sword st = t.OCIHandleAlloc(m_environment, handle, type, 0, nullptr);
        if (st != oci::OCI_SUCCESS)
            throw DB_ORACLE_ERROR(m_table, st, m_environment, oci::OCI_HTYPE_ENV, std::string_view());
    };
    auto check = [&](oci::sword st) {
        if (st != oci::OCI_SUCCESS)
            throw DB_ORACLE_ERROR(m_table, st, m_error, oci::OCI_HTYPE_ERROR, std::string_view());
    };

    alloc(reinterpret_cast<void **>(&m_server), oci::OCI_HTYPE_SERVER);
    alloc(reinterpret_cast<void **>(&m_error), oci::OCI_HTYPE_ERROR);
    s = t.OCIServerAttach(m_server, m_error,
                          reinterpret_cast<const oci::OraText *>(parameters.service.data()),
                          static_cast<oci::sb4>(parameters.service.size()), oci::OCI_DEFAULT);
    m_attached = succeeded(s);
    if (s == oci::OCI_SUCCESS_WITH_INFO)
        keep_warning(m_error, oci::OCI_HTYPE_ERROR);
    else
        check(s);
    alloc(reinterpret_cast<void **>(&m_service_context), oci::OCI_HTYPE_SVCCTX);
    check(t.OCIAttrSet(m_service_context, oci::OCI_HTYPE_SVCCTX, m_server, 0, oci::OCI_ATTR_SERVER,
                       m_error));
    alloc(reinterpret_cast<void **>(&m_session), oci::OCI_HTYPE_SESSION);

    std::string user = parameters.user; // OCIAttrSet takes a writable pointer
    std::string password = parameters.password;
    check(t.OCIAttrSet(m_session, oci::OCI_HTYPE_SESSION, user.data(),
                       static_cast<oci::ub4>(user.size()), oci::OCI_ATTR_USERNAME, m_error));
    check(t.OCIAttrSet(m_session, oci::OCI_HTYPE_SESSION, password.data(),
                       static_cast<oci::ub4>(password.size()), oci::OCI_ATTR_PASSWORD, m_error));

    const oci::ub4 mode = parameters.connect_mode == 1   ? oci::OCI_SYSDBA
                          : parameters.connect_mode == 2 ? oci::OCI_SYSOPER
                                                         : oci::OCI_DEFAULT;
    s = t.OCISessionBegin(m_service_context, m_error, m_session, oci::OCI_CRED_RDBMS, mode);
    // A warning such as ORA-28002 (the password expires soon) still began a usable session, as
    // every Oracle tool treats it; refusing it would lock the user out during the grace period.
    m_session_live = succeeded(s);
    if (s == oci::OCI_SUCCESS_WITH_INFO)
        keep_warning(m_error, oci::OCI_HTYPE_ERROR);
    else
        check(s);
    check(t.OCIAttrSet(m_service_context, oci::OCI_HTYPE_SVCCTX, m_session, 0,
                       oci::OCI_ATTR_SESSION, m_error));
    if (parameters.non_blocking) {
        oci::ub1 on = 1;
        check(t.OCIAttrSet(m_server, oci::OCI_HTYPE_SERVER, &on, 1, oci::OCI_ATTR_NONBLOCKING_MODE,
                           m_error));
    }
    m_open = true;
    m_session_begun = true;
    m_blocking = !parameters.non_blocking;
}

oci::sword connection::close() noexcept
{
    assert(m_children == 0 && "statements and result sets die before their connection");
    if (m_table == nullptr)
        return oci::OCI_SUCCESS;
    const oci::api &t = *m_table;
    if (m_server != nullptr && m_error != nullptr && m_attached) {
        // Setting the attribute toggles the mode whatever the value passed, so a blocking session
        // is left alone: toggling it would make the session end return OCI_STILL_EXECUTING.
        oci::ub1 non_blocking = 0;
        if (t.OCIAttrGet(m_server, oci::OCI_HTYPE_SERVER, &non_blocking, nullptr,
                         oci::OCI_ATTR_NONBLOCKING_MODE, m_error) == oci::OCI_SUCCESS &&
            non_blocking != 0) {
            oci::ub1 ignored = 0;
            t.OCIAttrSet(m_server, oci::OCI_HTYPE_SERVER, &ignored, 1,
                         oci::OCI_ATTR_NONBLOCKING_MODE, m_error);
        }
    }
    oci::sword s = oci::OCI_SUCCESS;
    if (m_service_context != nullptr && m_error != nullptr) {
        if (m_session != nullptr && m_session_live) {
            s = t.OCISessionEnd(m_service_context, m_error, m_session, oci::OCI_DEFAULT);
            if (s != oci::OCI_SUCCESS)
                return s;
            m_session_live = false;
        }
    }
    if (m_server != nullptr && m_error != nullptr && m_attached) {
        s = t.OCIServerDetach(m_server, m_error, oci::OCI_DEFAULT);
        if (s != oci::OCI_SUCCESS)
            return s;
        m_attached = false;
    }
    auto free = [&](auto *&handle, oci::ub4 type) {
        if (handle == nullptr)
            return oci::OCI_SUCCESS;
        const oci::sword st = t.OCIHandleFree(handle, type);
        if (st == oci::OCI_SUCCESS)
            handle = nullptr;
        return st;
    };
    if ((s = free(m_service_context, oci::OCI_HTYPE_SVCCTX)) != oci::OCI_SUCCESS
        || (s = free(m_session, oci::OCI_HTYPE_SESSION)) != oci::OCI_SUCCESS
        || (s = free(m_error, oci::OCI_HTYPE_ERROR)) != oci::OCI_SUCCESS
        || (s = free(m_server, oci::OCI_HTYPE_SERVER)) != oci::OCI_SUCCESS
        || (s = free(m_environment, oci::OCI_HTYPE_ENV)) != oci::OCI_SUCCESS)
        return s;
    m_open = false;
    m_session_begun = false;
    m_blocking = false;
    return oci::OCI_SUCCESS;
}

void connection::release() noexcept
{
    if (m_table != nullptr) {
        const oci::api &t = *m_table;
        if (m_service_context != nullptr)
            t.OCIHandleFree(m_service_context, oci::OCI_HTYPE_SVCCTX);
        if (m_session != nullptr)
            t.OCIHandleFree(m_session, oci::OCI_HTYPE_SESSION);
        if (m_error != nullptr)
            t.OCIHandleFree(m_error, oci::OCI_HTYPE_ERROR);
        if (m_server != nullptr)
            t.OCIHandleFree(m_server, oci::OCI_HTYPE_SERVER);
        if (m_environment != nullptr)
            t.OCIHandleFree(m_environment, oci::OCI_HTYPE_ENV);
    }
    m_service_context = nullptr;
    m_session = nullptr;
    m_error = nullptr;
    m_server = nullptr;
    m_environment = nullptr;
    m_open = m_session_begun = m_blocking = m_attached = m_session_live = false;
}

} // namespace db
