#include "engine/EngineBuffers.h"

#include "engine/EngineOciErrors.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace engine::buffers {
namespace {

using namespace oci;

bool isTextType(ub2 dty)
{
    return dty == SQLT_STR || dty == SQLT_CHR || dty == SQLT_AFC || dty == SQLT_AVC || dty == SQLT_VCS;
}

bool isNumberType(ub2 dty)
{
    return dty == SQLT_VNU || dty == SQLT_NUM || dty == SQLT_INT || dty == SQLT_UIN || dty == SQLT_FLT
        || dty == SQLT_BFLOAT || dty == SQLT_BDOUBLE || dty == SQLT_IBFLOAT || dty == SQLT_IBDOUBLE;
}

bool isDateType(ub2 dty)
{
    return dty == SQLT_ODT || dty == SQLT_DAT;
}

bool terminated(ub2 dty)
{
    return dty == SQLT_STR || dty == SQLT_AVC;
}

void setDone(const Slot &slot, std::size_t bytes)
{
    if (slot.indicator != nullptr)
        *slot.indicator = 0;
    if (slot.length != nullptr)
        *slot.length = static_cast<ub2>(bytes > 0xFFFF ? 0xFFFF : bytes);
    if (slot.returnCode != nullptr)
        *slot.returnCode = 0;
}

// Reports a cut value: the indicator holds the original length (or -2), the return code 1406.
OraError setTruncated(const Slot &slot, std::size_t written, std::size_t originalBytes, Stored &stored)
{
    stored = Stored::Truncated;
    if (slot.length != nullptr)
        *slot.length = static_cast<ub2>(written > 0xFFFF ? 0xFFFF : written);
    if (slot.returnCode != nullptr)
        *slot.returnCode = 1406;
    if (slot.indicator != nullptr)
        *slot.indicator = originalBytes > 0x7FFF ? sb2(-2) : static_cast<sb2>(originalBytes);
    if (slot.indicator == nullptr && slot.returnCode == nullptr)
        return ocierr::make(1406);
    return {};
}

OraError storeNull(const Slot &slot, Stored &stored)
{
    stored = Stored::Null;
    if (slot.indicator != nullptr) {
        *slot.indicator = -1;
        if (slot.returnCode != nullptr)
            *slot.returnCode = 0;
        return {};
    }
    if (slot.returnCode != nullptr)
        *slot.returnCode = 1405;
    return ocierr::make(1405);
}

// Length of a UTF-8 prefix of at most `limit` bytes that ends on a character boundary.
std::size_t utf8Cut(const char *text, std::size_t size, std::size_t limit)
{
    if (size <= limit)
        return size;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

OraError storeNumber(const Slot &slot, const OraNumber &number, Stored &stored);

// OraNumber::fromDouble's value (15 significant digits) without printf on the fetch path: to_chars
// rounds exactly as "%.14e" does, several times faster.
std::optional<OraNumber> numberFromColumnDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14);
    if (result.ec != std::errc())
        return OraNumber::fromDouble(value);
    return OraNumber::fromText(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}
OraError storeDate(const Slot &slot, const OraDate &date, Stored &stored);

OraError storeText(const Slot &slot, const char *text, std::size_t size, Stored &stored)
{
    const ub2 dty = slot.dty;
    if (isNumberType(dty)) {
        const auto number = OraNumber::fromText(std::string_view(text, size));
        if (!number)
            return ocierr::make(1722);
        return storeNumber(slot, *number, stored);
    }
    if (isDateType(dty)) {
        const auto date = OraDate::fromStorageText(std::string_view(text, size));
        if (!date)
            return ocierr::make(1861);
        return storeDate(slot, *date, stored);
    }

    const bool nul = terminated(dty);
    const std::size_t bytes = slot.size > 0 ? static_cast<std::size_t>(slot.size) : 0;
    stored = Stored::Value;
    if (slot.utf16) {
        const std::size_t units = bytes / 2;
        const std::size_t capacity = nul ? (units > 0 ? units - 1 : 0) : units;
        std::size_t total = 0;
        std::size_t written = 0;
        char16_t *out = reinterpret_cast<char16_t *>(slot.value);
        if ((reinterpret_cast<std::uintptr_t>(slot.value) & 1) == 0) {
            written = utf8ToUtf16(text, size, out, capacity, total);
        } else {
            std::u16string scratch(capacity, u'\0');
            written = utf8ToUtf16(text, size, scratch.data(), capacity, total);
            std::memcpy(slot.value, scratch.data(), written * 2);
        }
        std::size_t end = written;
        if (dty == SQLT_AFC) {
            for (; end < capacity; ++end)
                std::memcpy(slot.value + end * 2, u" ", 2);
        }
        if (nul && units > 0)
            std::memset(slot.value + end * 2, 0, 2);
        if (total > written)
            return setTruncated(slot, end * 2, total * 2, stored);
        setDone(slot, end * 2);
        return {};
    }

    const std::size_t capacity = nul ? (bytes > 0 ? bytes - 1 : 0) : bytes;
    const std::size_t written = utf8Cut(text, size, capacity);
    std::memcpy(slot.value, text, written);
    std::size_t end = written;
    if (dty == SQLT_AFC) {
        std::memset(slot.value + written, ' ', capacity - written);
        end = capacity;
    }
    if (nul && bytes > 0)
        slot.value[end] = '\0';
    if (size > written)
        return setTruncated(slot, end, size, stored);
    setDone(slot, end);
    return {};
}

OraError storeNumber(const Slot &slot, const OraNumber &number, Stored &stored)
{
    stored = Stored::Value;
    const auto &raw = number.bytes();
    const std::size_t encoded = static_cast<std::size_t>(raw[0]) + 1;
    switch (slot.dty) {
    case SQLT_VNU:
        if (static_cast<std::size_t>(slot.size) < encoded)
            return setTruncated(slot, 0, encoded, stored);
        std::memcpy(slot.value, raw.data(), encoded);
        setDone(slot, encoded);
        return {};
    case SQLT_NUM:
        if (static_cast<std::size_t>(slot.size) < encoded - 1)
            return setTruncated(slot, 0, encoded - 1, stored);
        std::memcpy(slot.value, raw.data() + 1, encoded - 1);
        setDone(slot, encoded - 1);
        return {};
    case SQLT_INT:
    case SQLT_UIN: {
        const unsigned size = static_cast<unsigned>(slot.size);
        if (size != 1 && size != 2 && size != 4 && size != 8)
            return ocierr::make(3115);
        unsigned char out[8] = {};
        if (number.toInteger(size, slot.dty == SQLT_INT, out))
            return ocierr::make(1455);
        std::memcpy(slot.value, out, size);
        setDone(slot, size);
        return {};
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
        const double value = number.toDouble();
        if (slot.size == 4) {
            const float f = static_cast<float>(value);
            std::memcpy(slot.value, &f, 4);
        } else if (slot.size == 8) {
            std::memcpy(slot.value, &value, 8);
        } else {
            return ocierr::make(3115);
        }
        setDone(slot, static_cast<std::size_t>(slot.size));
        return {};
    }
    default:
        break;
    }
    if (isTextType(slot.dty)) {
        const std::string text = number.toTmText();
        return storeText(slot, text.data(), text.size(), stored);
    }
    return ocierr::inconsistentTypes("DATE", "NUMBER");
}

OraError storeDate(const Slot &slot, const OraDate &date, Stored &stored)
{
    stored = Stored::Value;
    if (slot.dty == SQLT_ODT) {
        if (slot.size < 8)
            return setTruncated(slot, 0, 8, stored);
        std::memcpy(slot.value, &date, 8);
        setDone(slot, 8);
        return {};
    }
    if (slot.dty == SQLT_DAT) {
        if (slot.size < 7)
            return setTruncated(slot, 0, 7, stored);
        const int year = date.year;
        const unsigned char bytes[7] = {static_cast<unsigned char>(year / 100 + 100),
                                        static_cast<unsigned char>(year % 100 + 100), date.month,
                                        date.day, static_cast<unsigned char>(date.hour + 1),
                                        static_cast<unsigned char>(date.minute + 1),
                                        static_cast<unsigned char>(date.second + 1)};
        std::memcpy(slot.value, bytes, 7);
        setDone(slot, 7);
        return {};
    }
    if (isTextType(slot.dty)) {
        const std::string text = date.toStorageText();
        return storeText(slot, text.data(), text.size(), stored);
    }
    return ocierr::inconsistentTypes("NUMBER", "DATE");
}

OraError checkDate(const OraDate &date)
{
    if (date.month < 1 || date.month > 12)
        return ocierr::make(1843);
    if (date.hour > 23)
        return ocierr::make(1850);
    if (date.minute > 59)
        return ocierr::make(1851);
    if (date.second > 59)
        return ocierr::make(1852);
    if (!date.isValid())
        return ocierr::make(1847);
    return {};
}

// The text of an input element in UTF-8, honouring the terminator or the given length.
std::string inputText(const Slot &slot)
{
    const std::size_t bytes = slot.size > 0 ? static_cast<std::size_t>(slot.size) : 0;
    std::size_t length = bytes;
    if (!terminated(slot.dty) && slot.length != nullptr)
        length = std::min<std::size_t>(*slot.length, bytes);
    if (slot.utf16) {
        std::size_t units = length / 2;
        std::u16string text(units, u'\0');
        std::memcpy(text.data(), slot.value, units * 2);
        if (terminated(slot.dty)) {
            const std::size_t end = text.find(u'\0');
            if (end != std::u16string::npos)
                text.resize(end);
        }
        return utf16ToUtf8(text.data(), text.size());
    }
    if (terminated(slot.dty)) {
        const void *end = std::memchr(slot.value, 0, length);
        if (end != nullptr)
            length = static_cast<std::size_t>(static_cast<const char *>(end) - slot.value);
    }
    return std::string(slot.value, length);
}

} // namespace

bool isSupportedType(ub2 dty)
{
    return (isTextType(dty) && dty != SQLT_VCS) || isNumberType(dty) || isDateType(dty);
}

OraError readValue(const Slot &slot, EngineValue &out)
{
    out = EngineValue();
    if ((slot.indicator != nullptr && *slot.indicator < 0) || slot.value == nullptr)
        return {};
    const std::size_t size = slot.size > 0 ? static_cast<std::size_t>(slot.size) : 0;
    switch (slot.dty) {
    case SQLT_VNU: {
        if (size == 0)
            return ocierr::make(1722);
        const std::size_t encoded = static_cast<std::size_t>(static_cast<unsigned char>(slot.value[0])) + 1;
        const auto number = OraNumber::fromBytes(reinterpret_cast<const std::uint8_t *>(slot.value),
                                                 std::min(size, encoded));
        if (!number)
            return ocierr::make(1722);
        out = EngineValue::number(*number);
        return {};
    }
    case SQLT_NUM: {
        std::uint8_t bytes[OraNumber::Size] = {};
        std::size_t length = slot.length != nullptr ? *slot.length : size;
        length = std::min<std::size_t>({length, size, std::size_t(OraNumber::Size - 1)});
        bytes[0] = static_cast<std::uint8_t>(length);
        std::memcpy(bytes + 1, slot.value, length);
        const auto number = OraNumber::fromBytes(bytes, length + 1);
        if (!number)
            return ocierr::make(1722);
        out = EngineValue::number(*number);
        return {};
    }
    case SQLT_INT:
    case SQLT_UIN: {
        const bool isSigned = slot.dty == SQLT_INT;
        std::int64_t value = 0;
        switch (size) {
        case 1: value = isSigned ? std::int64_t(*reinterpret_cast<const std::int8_t *>(slot.value))
                                 : std::int64_t(static_cast<std::uint8_t>(slot.value[0]));
            break;
        case 2: {
            std::int16_t s; std::uint16_t u;
            std::memcpy(&s, slot.value, 2); std::memcpy(&u, slot.value, 2);
            value = isSigned ? s : u;
            break;
        }
        case 4: {
            std::int32_t s; std::uint32_t u;
            std::memcpy(&s, slot.value, 4); std::memcpy(&u, slot.value, 4);
            value = isSigned ? s : std::int64_t(u);
            break;
        }
        case 8: {
            if (!isSigned) {
                std::uint64_t u;
                std::memcpy(&u, slot.value, 8);
                out = EngineValue::number(OraNumber::fromUInt64(u));
                return {};
            }
            std::memcpy(&value, slot.value, 8);
            break;
        }
        default:
            return ocierr::make(3115);
        }
        out = EngineValue::integer(value);
        return {};
    }
    case SQLT_FLT:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE: {
        double value = 0;
        if (size == 4) {
            float f;
            std::memcpy(&f, slot.value, 4);
            value = f;
        } else if (size == 8) {
            std::memcpy(&value, slot.value, 8);
        } else {
            return ocierr::make(3115);
        }
        const auto number = OraNumber::fromDouble(value);
        if (!number)
            return OraError::make(1426, "numeric overflow");
        out = EngineValue::number(*number);
        return {};
    }
    case SQLT_ODT: {
        if (size < 8)
            return ocierr::make(3115);
        OraDate date;
        std::memcpy(&date, slot.value, 8);
        if (OraError error = checkDate(date))
            return error;
        out = EngineValue::date(date);
        return {};
    }
    case SQLT_DAT: {
        if (size < 7)
            return ocierr::make(3115);
        const auto *b = reinterpret_cast<const unsigned char *>(slot.value);
        OraDate date;
        date.year = static_cast<std::int16_t>((b[0] - 100) * 100 + (b[1] - 100));
        date.month = b[2];
        date.day = b[3];
        date.hour = static_cast<std::uint8_t>(b[4] - 1);
        date.minute = static_cast<std::uint8_t>(b[5] - 1);
        date.second = static_cast<std::uint8_t>(b[6] - 1);
        if (OraError error = checkDate(date))
            return error;
        out = EngineValue::date(date);
        return {};
    }
    default:
        break;
    }
    if (!isTextType(slot.dty))
        return ocierr::make(3115);
    std::string text = inputText(slot);
    if (!text.empty())
        out = EngineValue::text(std::move(text));
    return {};
}

OraError storeValue(const Slot &slot, const EngineValue &value, Stored &stored)
{
    switch (value.kind()) {
    case EngineValue::Kind::Null:
        return storeNull(slot, stored);
    case EngineValue::Kind::Integer:
        return storeNumber(slot, OraNumber::fromInt64(value.asInteger()), stored);
    case EngineValue::Kind::Real: {
        const auto number = OraNumber::fromDouble(value.asReal());
        if (!number)
            return OraError::make(1426, "numeric overflow");
        return storeNumber(slot, *number, stored);
    }
    case EngineValue::Kind::Number:
        return storeNumber(slot, value.asNumber(), stored);
    case EngineValue::Kind::Text:
        return storeText(slot, value.asText().data(), value.asText().size(), stored);
    case EngineValue::Kind::Date:
        return storeDate(slot, value.asDate(), stored);
    }
    return storeNull(slot, stored);
}

OraError storeColumn(const Slot &slot, sqlite3_stmt *stmt, int column, Stored &stored)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return storeNull(slot, stored);
    case SQLITE_INTEGER: {
        const std::int64_t value = sqlite3_column_int64(stmt, column);
        if (isTextType(slot.dty)) {
            char text[24];
            const auto result = std::to_chars(text, text + sizeof text, value);
            return storeText(slot, text, static_cast<std::size_t>(result.ptr - text), stored);
        }
        if (isDateType(slot.dty))
            return ocierr::inconsistentTypes("DATE", "NUMBER");
        return storeNumber(slot, OraNumber::fromInt64(value), stored);
    }
    case SQLITE_FLOAT: {
        const double value = sqlite3_column_double(stmt, column);
        // Whole values of at most 15 digits are exact as integers and need no decimal conversion.
        if (value == std::trunc(value) && std::fabs(value) < 1.0e15 && !isTextType(slot.dty)
            && !isDateType(slot.dty))
            return storeNumber(slot, OraNumber::fromInt64(static_cast<std::int64_t>(value)), stored);
        const auto number = numberFromColumnDouble(value);
        if (!number)
            return OraError::make(1426, "numeric overflow");
        return storeNumber(slot, *number, stored);
    }
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        const int size = sqlite3_column_bytes(stmt, column);
        return storeText(slot, text != nullptr ? text : "", static_cast<std::size_t>(size), stored);
    }
    default: {
        // A BLOB shows as hexadecimal text, as Oracle shows RAW.
        if (!isTextType(slot.dty))
            return ocierr::inconsistentTypes(isDateType(slot.dty) ? "DATE" : "NUMBER", "BINARY");
        const auto *bytes = static_cast<const unsigned char *>(sqlite3_column_blob(stmt, column));
        const int size = sqlite3_column_bytes(stmt, column);
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        hex.reserve(static_cast<std::size_t>(size) * 2);
        for (int i = 0; i < size; ++i) {
            hex.push_back(digits[bytes[i] >> 4]);
            hex.push_back(digits[bytes[i] & 15]);
        }
        return storeText(slot, hex.data(), hex.size(), stored);
    }
    }
}

std::size_t utf8ToUtf16(const char *text, std::size_t size, char16_t *out, std::size_t capacity,
                        std::size_t &total)
{
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    std::size_t i = 0;
    std::size_t units = 0;
    std::size_t written = 0;
    auto emit = [&](char16_t unit) {
        if (units < capacity) {
            out[units] = unit;
            written = units + 1;
        }
        ++units;
    };
    while (i < size) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            emit(c);
            ++i;
            continue;
        }
        char32_t cp = 0xFFFD;
        std::size_t need = 0;
        char32_t min = 0;
        if ((c & 0xE0) == 0xC0) { need = 1; cp = c & 0x1F; min = 0x80; }
        else if ((c & 0xF0) == 0xE0) { need = 2; cp = c & 0x0F; min = 0x800; }
        else if ((c & 0xF8) == 0xF0) { need = 3; cp = c & 0x07; min = 0x10000; }
        std::size_t j = 1;
        bool ok = need > 0 && i + need < size + 1;
        for (; ok && j <= need; ++j) {
            if (i + j >= size || (s[i + j] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (s[i + j] & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            emit(u'\uFFFD');
            i += ok ? need + 1 : std::max<std::size_t>(j, 1);
            continue;
        }
        i += need + 1;
        if (cp >= 0x10000) {
            if (units + 2 > capacity && units < capacity)
                capacity = units; // never split a surrogate pair
            cp -= 0x10000;
            emit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            emit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            emit(static_cast<char16_t>(cp));
        }
    }
    total = units;
    return written;
}

std::string utf16ToUtf8(const char16_t *text, std::size_t units)
{
    std::string out;
    out.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace engine::buffers
