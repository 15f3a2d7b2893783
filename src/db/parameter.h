#pragma once

#include "db/datetime.h"
#include "oci/api.h"

#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace db {

class statement;

// One bind variable of a statement, bound by name to a buffer it owns. Created only by
// statement::bind(); it is NULL until a value is set. Strings cross the interface as UTF-16 with a
// 16-bit terminator, at most 511 characters.
class parameter {
public:
    static constexpr int max_text_length = 511;     // UTF-16 units kept by set_text
    static constexpr oci::ub2 number_buffer_size = 22;
    static constexpr oci::ub2 date_buffer_size = 8;
    static constexpr oci::ub2 string_buffer_size = 1024;

    parameter(const parameter &) = delete;
    parameter &operator=(const parameter &) = delete;

    const std::string &name() const { return m_name; }
    int kind() const { return m_kind; }
    oci::ub2 external_type() const { return m_external_type; }
    oci::ub2 buffer_size() const { return m_buffer_size; }
    oci::sb2 indicator() const { return m_indicator; }
    oci::ub2 actual_length() const { return m_actual_length; }
    bool is_null() const { return m_indicator == oci::OCI_IND_NULL; }

    // String parameters (else library error 1005). Null text binds NULL; longer text is cut to 511
    // units (never between the halves of a surrogate pair).
    void set_text(const char16_t *text);
    void set_text(std::u16string_view text);
    void set_text(const QString &text); // a null QString binds NULL

    // Number parameters (else 1005); an OCI failure throws an Oracle error.
    void set_number(double value);

    // Date parameters (else 1005).
    void set_date(const datetime &value);

    // The string value; library error 1006 when NULL or not a string. Ends before the terminator
    // and never beyond the buffer.
    std::u16string_view text() const;

    // The number value as a 32-bit integer; 1006 when NULL or not a number; an OCI failure throws
    // an Oracle error.
    int integer() const;

    void *bind_handle() const { return m_bind; }

private:
    friend class statement;
    parameter(statement &owner, std::string name, int kind); // kind must be 1, 2 or 3
    void bind();                                              // fill the buffer and bind by name

    std::string m_name;       // as given to bind, with its colon
    int m_kind;               // kind_number, kind_date or kind_string
    oci::ub2 m_external_type; // SQLT_VNU, SQLT_ODT or SQLT_STR
    oci::ub2 m_buffer_size;
    oci::sb2 m_indicator = oci::OCI_IND_NULL;
    oci::ub2 m_actual_length = 0; // bytes of the value, terminator included for strings
    std::unique_ptr<unsigned char[]> m_value;
    statement *m_statement;
    oci::OCIBind *m_bind = nullptr; // freed with the statement handle
};

} // namespace db
