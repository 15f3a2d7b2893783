#pragma once

#include "engine/OraDate.h"
#include "engine/OraNumber.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

struct sqlite3_stmt;

namespace engine {

// A value crossing between the OCI layer, SQLite and the block interpreter. Numbers that SQLite holds come
// back as Integer or Real; a bound NUMBER is Number; text is UTF-8; a DATE travels as Date and is stored as
// its storage text (OraDate.h).
class EngineValue
{
public:
    enum class Kind { Null, Integer, Real, Number, Text, Date };

    EngineValue() = default; // NULL
    static EngineValue integer(std::int64_t v) { return EngineValue(v); }
    static EngineValue real(double v) { return EngineValue(v); }
    static EngineValue number(const OraNumber& v) { return EngineValue(v); }
    static EngineValue text(std::string v) { return EngineValue(std::move(v)); }
    static EngineValue date(const OraDate& v) { return EngineValue(v); }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    std::int64_t asInteger() const { return std::get<std::int64_t>(m_value); }
    double asReal() const { return std::get<double>(m_value); }
    const OraNumber& asNumber() const { return std::get<OraNumber>(m_value); }
    const std::string& asText() const { return std::get<std::string>(m_value); }
    const OraDate& asDate() const { return std::get<OraDate>(m_value); }

    // Oracle's implicit conversions. toNumber: numbers exactly, text parsed (ORA-01722 when it is not a
    // number), a date fails with ORA-01722 too. toDate: a date, or text in the storage form (ORA-01861
    // otherwise). toText: numbers in TM form, dates in the storage form; NULL gives "".
    OraNumber toNumber() const; // throws OraException
    OraDate toDate() const;     // throws OraException
    std::string toText() const;

    bool operator==(const EngineValue&) const = default;

private:
    template <typename T> explicit EngineValue(T v) : m_value(std::move(v)) {}
    std::variant<std::monostate, std::int64_t, double, OraNumber, std::string, OraDate> m_value;
};

// Binds a value to parameter `index` (1-based): Number as int64 when it is an integer that fits, else as
// double; Date as its storage text; Text as UTF-8, the empty text as NULL (as Oracle). Returns the SQLite
// result code.
int bindEngineValue(sqlite3_stmt* stmt, int index, const EngineValue& value);
// The value of column `column` (0-based) of the current row: INTEGER, REAL, TEXT, NULL as such; a BLOB as
// Text of its bytes.
EngineValue columnEngineValue(sqlite3_stmt* stmt, int column);

} // namespace engine
