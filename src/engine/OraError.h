#pragma once

#include <exception>
#include <string>
#include <string_view>

struct sqlite3;

namespace engine {

// One Oracle error record as OCIErrorGet hands it out: the code of the first line and the complete text,
// lines joined by '\n' and without the trailing newline OCIErrorGet appends. code 0 means success.
class OraError
{
public:
    OraError() = default;
    OraError(int code, std::string text) : m_code(code), m_text(std::move(text)) {}

    int code() const { return m_code; }
    const std::string& text() const { return m_text; }
    explicit operator bool() const { return m_code != 0; }

    // "ORA-NNNNN: message" (or another prefix such as "OCI-"), code as given.
    static OraError make(int code, std::string_view message, std::string_view prefix = "ORA-");
    // The standard text of `code` (see the table in OraError.cpp); `%s` in it is replaced by `arg`
    // (ORA-00904 quotes the identifier itself). Unknown codes get "ORA-NNNNN: " plus `arg`.
    static OraError standard(int code, std::string_view arg = {});
    // Maps a failure of SQLite (result code and message of the connection) to the nearest Oracle error.
    // Messages raised by the engine's own functions ("ORA-NNNNN: ...") pass through unchanged.
    static OraError fromSqlite(int resultCode, std::string_view message);
    static OraError fromSqlite(sqlite3* db, int resultCode);
    // The error for the exception being handled; call only inside a catch block. An OraException
    // gives its own error, anything else ORA-00600 with the exception's text as the argument
    // ("ORA-00600: internal error code, arguments: [std::bad_alloc]").
    static OraError fromCurrentException();

private:
    int m_code = 0;
    std::string m_text;
};

// Carries an OraError inside the engine; it never crosses the OCI boundary.
class OraException : public std::exception
{
public:
    explicit OraException(OraError error) : m_error(std::move(error)) {}
    const OraError& error() const { return m_error; }
    const char* what() const noexcept override { return m_error.text().c_str(); }

private:
    OraError m_error;
};

} // namespace engine
