#include "db/column.h"

#include "core/CodePage.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace db {
namespace {

bool isCharacterType(oci::ub2 type)
{
    return type == oci::SQLT_CHR || type == oci::SQLT_STR || type == oci::SQLT_VCS
           || type == oci::SQLT_AFC || type == oci::SQLT_AVC || type == oci::SQLT_VST;
}

bool isNumberType(oci::ub2 type)
{
    return type == oci::SQLT_NUM || type == oci::SQLT_INT || type == oci::SQLT_FLT
           || type == oci::SQLT_VNU || type == oci::SQLT_PDN || type == oci::SQLT_UIN;
}

} // namespace

column::column(resultset &owner, std::string name, oci::ub2 data_type, oci::ub2 data_size, int index)
    : m_name(std::move(name)), m_resultset(&owner), m_index(index)
{
    const std::size_t limit = resultset::column_size_limit;
    std::size_t characters = 0;
    if (isNumberType(data_type)) {
        m_kind = kind_number;
        m_external_type = oci::SQLT_VNU;
        m_element_size = oci::OCI_NUMBER_SIZE;
    } else if (data_type == oci::SQLT_DAT || data_type == oci::SQLT_ODT) {
        m_kind = kind_date;
        m_external_type = oci::SQLT_ODT;
        m_element_size = sizeof(oci::OCIDate);
    } else {
        m_kind = kind_string;
        m_external_type = oci::SQLT_STR;
        if (isCharacterType(data_type))
            characters = std::min<std::size_t>(data_size, limit);
        else if (data_type == oci::SQLT_LNG)
            characters = limit; // LONG describes with size 0; show its start
        else // converted to text by the server: RAW as hex, timestamps, rowids, binary floats
            characters = std::min<std::size_t>(
                std::max<std::size_t>(2u * data_size, resultset::min_converted_size), limit);
        m_element_size = static_cast<oci::sb4>(2 * (characters + 1));
    }

    const std::size_t rows = owner.rows_per_fetch();
    m_indicators.reset(new (std::nothrow) oci::sb2[rows]());
    if (m_kind == kind_string)
        m_lengths.reset(new (std::nothrow) oci::ub2[rows]());
    m_values.reset(new (std::nothrow) unsigned char[rows * static_cast<std::size_t>(m_element_size)]());
    if (!m_indicators || (m_kind == kind_string && !m_lengths) || !m_values)
        throw DB_LIBRARY_ERROR(error::out_of_memory, std::string_view());
}

std::size_t column::slot() const
{
    return m_resultset->current_row() % m_resultset->rows_per_fetch();
}

const unsigned char *column::slot_value() const
{
    return m_values.get() + slot() * static_cast<std::size_t>(m_element_size);
}

QString column::name_unicode() const
{
    return codepage::toUnicode(QByteArrayView(m_name.data(), static_cast<qsizetype>(m_name.size())),
                               codepage::kSystemAnsi);
}

bool column::is_null() const
{
    return m_indicators[slot()] == oci::OCI_IND_NULL;
}

std::u16string_view column::text() const
{
    if (m_kind != kind_string || is_null())
        throw DB_LIBRARY_ERROR(error::cannot_convert, std::string_view());
    const auto *units = reinterpret_cast<const char16_t *>(slot_value());
    const std::size_t capacity = static_cast<std::size_t>(m_element_size) / sizeof(char16_t);
    std::size_t n = 0;
    while (n < capacity && units[n] != 0)
        ++n;
    return {units, n};
}

std::string_view column::number_text(const char *format, oci::ub4 format_length)
{
    if (m_kind != kind_number || is_null())
        throw DB_LIBRARY_ERROR(error::cannot_convert, std::string_view());
    if (format == nullptr || format_length == 0) {
        format = "TM";
        format_length = 2;
    }
    connection &conn = m_resultset->conn();
    const oci::api *t = conn.table();
    oci::ub4 size = number_text_size;
    std::memset(m_number_text, 0, sizeof m_number_text);
    const oci::sword s = t->OCINumberToText(
        conn.error_handle(), reinterpret_cast<const oci::OCINumber *>(slot_value()),
        reinterpret_cast<const oci::oratext *>(format), format_length, nullptr, 0, &size,
        reinterpret_cast<oci::oratext *>(m_number_text));
    m_number_text[number_text_size - 1] = '\0';
    if (s != oci::OCI_SUCCESS)
        throw DB_ORACLE_ERROR(t, s, conn.error_handle(), oci::OCI_HTYPE_ERROR, std::string_view());
    return {m_number_text, std::strlen(m_number_text)};
}

datetime column::date() const
{
    if (m_kind != kind_date || is_null())
        throw DB_LIBRARY_ERROR(error::cannot_convert, std::string_view());
    oci::OCIDate d{};
    std::memcpy(&d, slot_value(), sizeof d);
    datetime v;
    v.year = d.OCIDateYYYY;
    v.month = d.OCIDateMM;
    v.day = d.OCIDateDD;
    v.hour = d.OCIDateTime.OCITimeHH;
    v.minute = d.OCIDateTime.OCITimeMI;
    v.second = d.OCIDateTime.OCITimeSS;
    return v;
}

} // namespace db
