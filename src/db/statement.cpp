#include "db/statement.h"

#include "core/CodePage.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"

#include <atomic>
#include <cstring>

namespace db {
namespace {

std::atomic<oci::ub2> g_rows_per_fetch{20};

} // namespace

oci::ub2 rows_per_fetch()
{
    return g_rows_per_fetch.load();
}

void set_rows_per_fetch(oci::ub2 rows)
{
    g_rows_per_fetch.store(rows < 1 ? oci::ub2(1) : rows);
}

statement::statement(connection &conn, const char *sql, int length)
    : m_connection(&conn), m_child(conn)
{
    const oci::api *t = conn.table();
    if (t == nullptr || conn.environment() == nullptr)
        throw DB_ORACLE_ERROR(nullptr, oci::OCI_INVALID_HANDLE, nullptr, 0, std::string_view());
    void *stmt = nullptr;
    oci::sword s = t->OCIHandleAlloc(conn.environment(), &stmt, oci::OCI_HTYPE_STMT, 0, nullptr);
    if (s != oci::OCI_SUCCESS) {
        oci_owner stray(t, stmt, oci::OCI_HTYPE_STMT); // a provider may hand one out anyway
        throw DB_ORACLE_ERROR(t, s, conn.environment(), oci::OCI_HTYPE_ENV, std::string_view());
    }
    m_handle = oci_owner(t, stmt, oci::OCI_HTYPE_STMT);

    const char *text = sql != nullptr ? sql : "";
    const std::size_t size = length < 0 || sql == nullptr ? std::strlen(text)
                                                          : static_cast<std::size_t>(length);
    s = t->OCIStmtPrepare(handle(), conn.error_handle(), reinterpret_cast<const oci::OraText *>(text),
                          static_cast<oci::ub4>(size), oci::OCI_NTV_SYNTAX, oci::OCI_DEFAULT);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    s = t->OCIAttrGet(handle(), oci::OCI_HTYPE_STMT, &m_type, nullptr, oci::OCI_ATTR_STMT_TYPE,
                      conn.error_handle());
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    m_prepared = true;
    m_executed = false;
}

statement::statement(connection &conn, const QString &sql)
    : statement(conn, codepage::fromUnicode(sql, codepage::kSystemAnsi))
{
}

statement::statement(connection &conn, const QByteArray &sql)
    : statement(conn, sql.constData(), static_cast<int>(sql.size()))
{
}

statement::~statement()
{
    m_handle.reset();
    m_by_name.clear();
    m_parameters.clear();
    m_failed.clear();
}

parameter &statement::bind(const std::string &name, int type_code)
{
    if (type_code != kind_number && type_code != kind_date && type_code != kind_string)
        throw DB_LIBRARY_ERROR(error::unknown_prefix, name);
    std::unique_ptr<parameter> p(new parameter(*this, name, type_code));
    try {
        p->bind();
    } catch (...) {
        // A bind handle made before the failure keeps addressing the buffers until the statement
        // handle is freed, so they must live as long; the parameter is not listed.
        if (p->m_bind != nullptr)
            m_failed.push_back(std::move(p));
        throw;
    }
    parameter &result = *p;
    m_parameters.push_back(std::move(p));
    m_by_name[name] = &result;
    return result;
}

parameter &statement::param(const std::string &name) const
{
    const auto it = m_by_name.find(name);
    if (it == m_by_name.end())
        throw DB_LIBRARY_ERROR(error::parameter_not_found, name);
    return *it->second;
}

void statement::execute()
{
    const oci::api *t = m_connection->table();
    const oci::ub4 iterations = m_type == oci::OCI_STMT_SELECT ? 0 : 1;
    const oci::sword s = t->OCIStmtExecute(m_connection->service_context(), handle(),
                                           m_connection->error_handle(), iterations, 0, nullptr,
                                           nullptr, oci::OCI_DEFAULT);
    m_warning.clear();
    if (s == oci::OCI_SUCCESS_WITH_INFO)
        m_warning = error::record_text(t, m_connection->error_handle(), oci::OCI_HTYPE_ERROR);
    else if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, m_connection->error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    m_executed = true;
}

std::unique_ptr<resultset> statement::execute_query()
{
    execute();
    auto rs = std::make_unique<resultset>(handle(), *m_connection, rows_per_fetch());
    rs->fetch();
    return rs;
}

} // namespace db
