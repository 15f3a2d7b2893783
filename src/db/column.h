#pragma once

#include "db/datetime.h"
#include "oci/api.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace db {

class resultset;

// One select-list column of a result set with the buffers of a whole batch. Readers convert the
// value of the result set's current row; a NULL value or a reader of another kind raises library
// error 1006 without detail (the result grid shows such a cell empty).
class column {
public:
    static constexpr std::size_t number_text_size = 65;

    column(const column &) = delete;
    column &operator=(const column &) = delete;

    const std::string &name() const { return m_name; } // as described, in the system code page
    QString name_unicode() const;                       // the same converted to UTF-16
    int kind() const { return m_kind; }                // kind_number, kind_date or kind_string
    oci::ub2 external_type() const { return m_external_type; }
    oci::sb4 element_size() const { return m_element_size; } // bytes per row
    int index() const { return m_index; }                     // 0-based position

    bool is_null() const; // the current row's value is NULL

    // String columns: the current row's UTF-16 text, up to its terminator and never beyond the
    // element. Valid until the next fetch. For Qt: QStringView(c.text()).toString().
    std::u16string_view text() const;

    // Number columns: the value as text through OCINumberToText with format ("TM" when null or
    // empty), in the system code page. Valid until the next call on this column. An OCI failure
    // throws an Oracle error.
    std::string_view number_text(const char *format = nullptr, oci::ub4 format_length = 0);

    // Date columns: the current row's date and time.
    datetime date() const;

private:
    friend class resultset;
    column(resultset &owner, std::string name, oci::ub2 data_type, oci::ub2 data_size, int index);
    std::size_t slot() const;
    const unsigned char *slot_value() const;

    std::string m_name;
    int m_kind = 0;
    oci::ub2 m_external_type = 0;
    oci::sb4 m_element_size = 0;
    std::unique_ptr<oci::sb2[]> m_indicators;    // one per row of a batch; -1 marks NULL
    std::unique_ptr<oci::ub2[]> m_lengths;       // returned byte lengths; strings only
    std::unique_ptr<unsigned char[]> m_values;   // rows per fetch × element size
    oci::OCIDefine *m_define = nullptr;          // freed with the statement handle
    resultset *m_resultset;
    int m_index;
    char m_number_text[number_text_size] = {};  // last number converted to text
};

} // namespace db
