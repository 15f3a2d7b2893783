#include "engine/EngineValue.h"

#include "engine/OraError.h"

#include <sqlite3.h>

#include <limits>

namespace engine {

OraNumber EngineValue::toNumber() const
{
    switch (kind()) {
    case Kind::Integer: return OraNumber::fromInt64(asInteger());
    case Kind::Real: {
        std::optional<OraNumber> n = OraNumber::fromDouble(asReal());
        if (!n)
            throw OraException(OraError::standard(1722));
        return *n;
    }
    case Kind::Number: return asNumber();
    case Kind::Text: {
        std::optional<OraNumber> n = OraNumber::fromText(asText());
        if (!n)
            throw OraException(OraError::standard(1722));
        return *n;
    }
    case Kind::Null:
    case Kind::Date: break;
    }
    throw OraException(OraError::standard(1722));
}

OraDate EngineValue::toDate() const
{
    if (kind() == Kind::Date)
        return asDate();
    if (kind() == Kind::Text) {
        if (std::optional<OraDate> d = OraDate::fromStorageText(asText()))
            return *d;
    }
    throw OraException(OraError::standard(1861));
}

std::string EngineValue::toText() const
{
    switch (kind()) {
    case Kind::Null: return {};
    case Kind::Integer: return std::to_string(asInteger());
    case Kind::Real: {
        std::optional<OraNumber> n = OraNumber::fromDouble(asReal());
        return n ? n->toTmText() : std::string("~");
    }
    case Kind::Number: return asNumber().toTmText();
    case Kind::Text: return asText();
    case Kind::Date: return asDate().toStorageText();
    }
    return {};
}

int bindEngineValue(sqlite3_stmt* stmt, int index, const EngineValue& value)
{
    switch (value.kind()) {
    case EngineValue::Kind::Null: return sqlite3_bind_null(stmt, index);
    case EngineValue::Kind::Integer: return sqlite3_bind_int64(stmt, index, value.asInteger());
    case EngineValue::Kind::Real: return sqlite3_bind_double(stmt, index, value.asReal());
    case EngineValue::Kind::Number: {
        const OraNumber& n = value.asNumber();
        if (n.isInteger())
            if (std::optional<std::int64_t> i = n.toInt64())
                return sqlite3_bind_int64(stmt, index, *i);
        return sqlite3_bind_double(stmt, index, n.toDouble());
    }
    case EngineValue::Kind::Text: {
        const std::string& t = value.asText();
        if (t.empty())
            return sqlite3_bind_null(stmt, index); // Oracle has no empty string: '' is NULL
        return sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    case EngineValue::Kind::Date: {
        std::string t = value.asDate().toStorageText();
        return sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    }
    return SQLITE_MISUSE;
}

EngineValue columnEngineValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: return EngineValue::integer(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT: return EngineValue::real(sqlite3_column_double(stmt, column));
    case SQLITE_NULL: return EngineValue();
    default: {
        const unsigned char* p = sqlite3_column_text(stmt, column);
        int n = sqlite3_column_bytes(stmt, column);
        return EngineValue::text(p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
                                   : std::string());
    }
    }
}

} // namespace engine
