#include "db/resultset.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/oci_owner.h"

#include <new>

namespace db {

resultset::resultset(oci::OCIStmt *statement_handle, connection &conn, oci::ub2 rows)
    : m_child(conn), m_connection(&conn), m_statement(statement_handle),
      m_rows_per_fetch(rows < 1 ? 1 : rows)
{
    describe();
    define();
}

resultset::~resultset() = default;

void resultset::describe()
{
    const oci::api *t = m_connection->table();
    oci::OCIError *err = m_connection->error_handle();
    oci::ub4 count = 0;
    oci::sword s = t->OCIAttrGet(m_statement, oci::OCI_HTYPE_STMT, &count, nullptr,
                                 oci::OCI_ATTR_PARAM_COUNT, err);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, std::string_view());

    for (oci::ub4 position = 1; position <= count; ++position) {
        void *raw = nullptr;
        s = t->OCIParamGet(m_statement, oci::OCI_HTYPE_STMT, err, &raw, position);
        oci_owner descriptor(t, raw, oci::OCI_DTYPE_PARAM, true);
        if (s != oci::OCI_SUCCESS) {
            descriptor.reset();
            throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, std::string_view());
        }
        oci::OraText *name = nullptr;
        oci::ub4 name_length = 0;
        oci::ub2 data_type = 0;
        oci::ub2 data_size = 0;
        s = t->OCIAttrGet(raw, oci::OCI_DTYPE_PARAM, &name, &name_length, oci::OCI_ATTR_NAME, err);
        if (s == oci::OCI_SUCCESS)
            s = t->OCIAttrGet(raw, oci::OCI_DTYPE_PARAM, &data_type, nullptr, oci::OCI_ATTR_DATA_TYPE,
                              err);
        if (s == oci::OCI_SUCCESS)
            s = t->OCIAttrGet(raw, oci::OCI_DTYPE_PARAM, &data_size, nullptr, oci::OCI_ATTR_DATA_SIZE,
                              err);
        std::string column_name;
        if (s == oci::OCI_SUCCESS && name != nullptr)
            column_name.assign(reinterpret_cast<const char *>(name), name_length);
        descriptor.reset(); // the name points into the descriptor; copied above
        if (s != oci::OCI_SUCCESS)
            throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, std::string_view());
        if (data_size > column_size_limit)
            data_size = column_size_limit;
        if (data_type == oci::SQLT_CLOB || data_type == oci::SQLT_BLOB
            || data_type == oci::SQLT_BFILEE || data_type == oci::SQLT_CFILEE)
            throw DB_LIBRARY_ERROR(error::unsupported_type, column_name);

        const int index = static_cast<int>(m_columns.size());
        std::unique_ptr<column> c;
        try {
            c.reset(new column(*this, column_name, data_type, data_size, index));
        } catch (const std::bad_alloc &) {
            throw DB_LIBRARY_ERROR(error::out_of_memory, std::string_view());
        }
        m_by_name[column_name] = c.get();
        m_columns.push_back(std::move(c));
    }
    m_described = true;
    m_defined = false;
}

void resultset::define()
{
    const oci::api *t = m_connection->table();
    oci::OCIError *err = m_connection->error_handle();
    oci::ub4 position = 1;
    for (const auto &c : m_columns) {
        const bool is_string = c->m_kind == kind_string;
        oci::sword s = t->OCIDefineByPos(m_statement, &c->m_define, err, position++, c->m_values.get(),
                                         c->m_element_size, c->m_external_type, c->m_indicators.get(),
                                         is_string ? c->m_lengths.get() : nullptr, nullptr,
                                         oci::OCI_DEFAULT);
        if (s != oci::OCI_SUCCESS)
            throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, c->m_name);
        if (is_string) {
            oci::ub2 charset = oci::OCI_UTF16ID; // the attribute is a ub2
            s = t->OCIAttrSet(c->m_define, oci::OCI_HTYPE_DEFINE, &charset, sizeof charset,
                              oci::OCI_ATTR_CHARSET_ID, err);
            if (s != oci::OCI_SUCCESS)
                throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, c->m_name);
        }
    }
    m_defined = true;
}

int resultset::fetch()
{
    const oci::api *t = m_connection->table();
    oci::OCIError *err = m_connection->error_handle();
    const oci::ub4 previous = m_rows_fetched;
    oci::sword s = t->OCIStmtFetch(m_statement, err, m_rows_per_fetch, oci::OCI_FETCH_NEXT,
                                   oci::OCI_DEFAULT);
    if (s != oci::OCI_SUCCESS && s != oci::OCI_SUCCESS_WITH_INFO && s != oci::OCI_NO_DATA)
        throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, std::string_view());
    oci::ub4 count = 0;
    s = t->OCIAttrGet(m_statement, oci::OCI_HTYPE_STMT, &count, nullptr, oci::OCI_ATTR_ROW_COUNT, err);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, err, oci::OCI_HTYPE_ERROR, std::string_view());
    // A count that goes backwards or jumps past one batch would address rows no buffer holds.
    if (count < previous)
        count = previous;
    if (count - previous > m_rows_per_fetch)
        count = previous + m_rows_per_fetch;
    m_rows_fetched = count;
    const oci::ub4 delivered = count - previous;
    if (delivered != m_rows_per_fetch)
        m_end_of_data = true;
    return static_cast<int>(delivered);
}

bool resultset::has_row()
{
    if (m_current_row >= m_rows_fetched) {
        if (m_end_of_data)
            return false;
        fetch();
    }
    return m_current_row < m_rows_fetched;
}

bool resultset::next()
{
    ++m_current_row;
    return m_current_row < m_rows_fetched;
}

bool resultset::end_of_data() const
{
    return m_current_row >= m_rows_fetched && m_end_of_data;
}

column &resultset::col(const std::string &name) const
{
    const auto it = m_by_name.find(name);
    if (it == m_by_name.end())
        throw DB_LIBRARY_ERROR(error::column_not_found, name);
    return *it->second;
}

column *resultset::col(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return nullptr;
    return m_columns[static_cast<std::size_t>(index)].get();
}

column *resultset::first_column() const
{
    return col(0);
}

column *resultset::column_after(const column *c) const
{
    return c != nullptr ? col(c->index() + 1) : nullptr;
}

} // namespace db
