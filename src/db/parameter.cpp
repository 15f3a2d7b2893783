#include "db/parameter.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/statement.h"

#include <algorithm>
#include <cstring>

namespace db {

parameter::parameter(statement &owner, std::string name, int kind)
    : m_name(std::move(name)), m_kind(kind), m_statement(&owner)
{
    switch (kind) {
    case kind_number:
        m_external_type = oci::SQLT_VNU;
        m_buffer_size = number_buffer_size;
        break;
    case kind_date:
        m_external_type = oci::SQLT_ODT;
        m_buffer_size = date_buffer_size;
        break;
    default:
        m_external_type = oci::SQLT_STR;
        m_buffer_size = string_buffer_size;
        break;
    }
    m_value = std::make_unique<unsigned char[]>(m_buffer_size);
}

void parameter::bind()
{
    connection &conn = m_statement->conn();
    const oci::api *t = conn.table();
    m_indicator = oci::OCI_IND_NULL;
    m_actual_length = 0;
    if (m_kind == kind_number)
        t->OCINumberSetZero(conn.error_handle(), reinterpret_cast<oci::OCINumber *>(m_value.get()));
    else if (m_kind == kind_date)
        t->OCIDateSysDate(conn.error_handle(), reinterpret_cast<oci::OCIDate *>(m_value.get()));
    m_actual_length = m_buffer_size;

    oci::sword s = t->OCIBindByName(m_statement->handle(), &m_bind, conn.error_handle(),
                                    reinterpret_cast<const oci::OraText *>(m_name.data()),
                                    static_cast<oci::sb4>(m_name.size()), m_value.get(),
                                    m_buffer_size, m_external_type, &m_indicator, &m_actual_length,
                                    nullptr, 0, nullptr, oci::OCI_DEFAULT);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, m_name);
    if (m_kind != kind_string)
        return;                          // the character set applies to character data only
    oci::ub2 charset = oci::OCI_UTF16ID; // the attribute is a ub2
    s = t->OCIAttrSet(m_bind, oci::OCI_HTYPE_BIND, &charset, sizeof charset, oci::OCI_ATTR_CHARSET_ID,
                      conn.error_handle());
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, m_name);
}

void parameter::set_text(const char16_t *text)
{
    if (text == nullptr) {
        if (m_kind != kind_string)
            throw DB_LIBRARY_ERROR(error::input_type, std::string_view());
        m_indicator = oci::OCI_IND_NULL;
        return;
    }
    set_text(std::u16string_view(text));
}

void parameter::set_text(std::u16string_view text)
{
    if (m_kind != kind_string)
        throw DB_LIBRARY_ERROR(error::input_type, std::string_view());
    std::size_t units = std::min<std::size_t>(text.size(), max_text_length);
    if (units < text.size() && units > 0 && text[units - 1] >= 0xD800 && text[units - 1] <= 0xDBFF)
        --units; // keep a pair whole
    std::memcpy(m_value.get(), text.data(), units * sizeof(char16_t));
    const char16_t terminator = 0;
    std::memcpy(m_value.get() + units * sizeof(char16_t), &terminator, sizeof terminator);
    m_actual_length = static_cast<oci::ub2>(units * sizeof(char16_t) + sizeof terminator);
    m_indicator = oci::OCI_IND_NOTNULL;
}

void parameter::set_text(const QString &text)
{
    if (text.isNull()) {
        set_text(static_cast<const char16_t *>(nullptr));
        return;
    }
    set_text(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                 static_cast<std::size_t>(text.size())));
}

void parameter::set_number(double value)
{
    if (m_kind != kind_number)
        throw DB_LIBRARY_ERROR(error::input_type, std::string_view());
    connection &conn = m_statement->conn();
    const oci::api *t = conn.table();
    const oci::sword s = t->OCINumberFromReal(conn.error_handle(), &value, sizeof value,
                                              reinterpret_cast<oci::OCINumber *>(m_value.get()));
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    m_indicator = oci::OCI_IND_NOTNULL;
}

void parameter::set_date(const datetime &value)
{
    if (m_kind != kind_date)
        throw DB_LIBRARY_ERROR(error::input_type, std::string_view());
    oci::OCIDate d{};
    d.OCIDateYYYY = value.year;
    d.OCIDateMM = static_cast<oci::ub1>(value.month);
    d.OCIDateDD = value.day;
    d.OCIDateTime.OCITimeHH = value.hour;
    d.OCIDateTime.OCITimeMI = value.minute;
    d.OCIDateTime.OCITimeSS = value.second;
    std::memcpy(m_value.get(), &d, sizeof d);
    m_indicator = oci::OCI_IND_NOTNULL;
}

std::u16string_view parameter::text() const
{
    if (m_kind != kind_string || m_indicator == oci::OCI_IND_NULL)
        throw DB_LIBRARY_ERROR(error::cannot_convert, std::string_view());
    const auto *units = reinterpret_cast<const char16_t *>(m_value.get());
    const std::size_t capacity = m_buffer_size / sizeof(char16_t);
    std::size_t n = 0;
    while (n < capacity && units[n] != 0)
        ++n;
    return {units, n};
}

int parameter::integer() const
{
    if (m_kind != kind_number || m_indicator == oci::OCI_IND_NULL)
        throw DB_LIBRARY_ERROR(error::cannot_convert, std::string_view());
    connection &conn = m_statement->conn();
    const oci::api *t = conn.table();
    int result = 0;
    const oci::sword s = t->OCINumberToInt(conn.error_handle(),
                                           reinterpret_cast<const oci::OCINumber *>(m_value.get()),
                                           sizeof result, oci::OCI_NUMBER_SIGNED, &result);
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    return result;
}

} // namespace db
