#pragma once

#include "oci/api.h"

#include <QString>

#include <exception>
#include <string>
#include <string_view>

namespace db {

// The one exception type of the database layer: thrown by value, caught by reference (by this type).
// An Oracle error records the OCI status that failed and the first OCIErrorGet record; a library error
// one of the codes below. Its display text is what the program shows in a message box.
class error : public std::exception {
public:
    enum kind_t : int { unknown_kind = 0, oracle_kind = 1, library_kind = 2, win32_kind = 3 };

    // Library codes
    static constexpr int environment_failed = 1000;
    static constexpr int timeout = 1001;
    static constexpr int out_of_memory = 1002;
    static constexpr int bad_parameter_type = 1003;
    static constexpr int no_pool = 1004;
    static constexpr int input_type = 1005;
    static constexpr int cannot_convert = 1006;
    static constexpr int no_transformation = 1007;
    static constexpr int unknown_prefix = 1008;
    static constexpr int unsupported_type = 1009;
    static constexpr int parameter_not_found = 1010;
    static constexpr int column_not_found = 1011;
    static constexpr int internal_error = 1012;

    static constexpr std::size_t max_detail = 1023; // bytes of detail kept

    // An Oracle error after an OCI call returned status. For the statuses that carry a message,
    // record 1 is read with OCIErrorGet from handle (of handleType: OCI_HTYPE_ERROR, or OCI_HTYPE_ENV
    // for failed handle allocations); a null table or handle reads nothing. Never throws itself.
    static error oracle(const oci::api *table, oci::sword status, void *handle, oci::ub4 handleType,
                        std::string_view detail = {}, const char *module = "", int line = 0);

    // The text of record 1 of handle (of handleType) without its trailing line break, as read with
    // OCIErrorGet; empty when there is none or table or handle is null. Used for the warnings of
    // calls that returned OCI_SUCCESS_WITH_INFO. Never throws.
    static std::string record_text(const oci::api *table, void *handle,
                                   oci::ub4 handleType) noexcept;

    // A library error with its code's text and an optional detail.
    static error library(int code, std::string_view detail = {}, const char *module = "",
                         int line = 0);

    int kind() const { return m_kind; }
    int code() const { return m_code; }
    oci::sb4 oracle_error() const { return m_oracle_error; }
    const std::string &description() const { return m_description; } // system code page
    const std::string &source_module() const { return m_module; }
    int source_line() const { return m_line; }

    // "Error type: <kind name>\nDescription: <description>\n" in UTF-16.
    QString display_text() const;

    const char *what() const noexcept override { return m_description.c_str(); }

    static const char *kind_name(int kind);           // "unknown" for kinds outside 0..3
    static const char *status_name(oci::sword status); // "(OCI_ERROR)" …, "unknown"
    static const char *library_text(int code);         // "unknown error" for other codes

private:
    error() = default;
    void append_detail(std::string_view detail);

    int m_kind = unknown_kind;
    int m_code = 0;          // OCI status (Oracle kind) or library code
    oci::sb4 m_oracle_error = 0; // ORA number from OCIErrorGet
    std::string m_description;
    std::string m_module;    // where it was raised; not shown
    int m_line = 0;
};

} // namespace db

// Raise helpers that record this source file and line.
#define DB_ORACLE_ERROR(table, status, handle, type, detail)                                          \
    ::db::error::oracle((table), (status), (handle), (type), detail, __FILE_NAME__, __LINE__)
#define DB_LIBRARY_ERROR(code, detail)                                                                \
    ::db::error::library((code), detail, __FILE_NAME__, __LINE__)
