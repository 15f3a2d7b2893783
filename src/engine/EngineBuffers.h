#pragma once

#include "engine/EngineValue.h"
#include "engine/OraError.h"
#include "oci/types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

// Conversions between values and the caller's OCI buffers (binds and defines): the external types
// SQLT_STR/CHR/AFC/AVC/LVC (narrow UTF-8 or, with charset 1000, native UTF-16), SQLT_VNU/NUM, SQLT_INT/UIN,
// SQLT_FLT/BFLOAT/BDOUBLE, SQLT_ODT and SQLT_DAT, with indicators, lengths and return codes as OCI
// sets them.
namespace engine::buffers {

// One element of a bind or define array.
struct Slot {
    char *value = nullptr;       // the element's bytes
    oci::sb4 size = 0;           // bytes available
    oci::ub2 dty = 0;            // external type
    bool utf16 = false;          // charset 1000: text in UTF-16, lengths in bytes
    oci::sb2 *indicator = nullptr;
    oci::ub2 *length = nullptr;
    oci::ub2 *returnCode = nullptr;
};

// How storing one value ended; truncation and NULL are reported through indicator and return code.
enum class Stored { Value, Null, Truncated };

// True for the external types these functions read and write.
bool isSupportedType(oci::ub2 dty);

// Reads the input value of a bind element: NULL for a negative indicator or empty text (Oracle's ''),
// otherwise the value in the engine's value model. Fails for malformed numbers and dates.
OraError readValue(const Slot &slot, EngineValue &out);

// Stores a value into an output element, converting as Oracle does (numbers to TM text, dates to their
// storage text, text to numbers and dates); a NULL without an indicator fails with ORA-01405.
OraError storeValue(const Slot &slot, const EngineValue &value, Stored &stored);

// Stores column `column` of the current row of `stmt` straight into the element, without building an
// intermediate value for text and integers (the fetch path).
OraError storeColumn(const Slot &slot, sqlite3_stmt *stmt, int column, Stored &stored);

// UTF-8 to UTF-16 into at most `capacity` code units; returns the units written and sets `total` to
// the units the whole text needs. Malformed bytes become U+FFFD.
std::size_t utf8ToUtf16(const char *text, std::size_t size, char16_t *out, std::size_t capacity,
                        std::size_t &total);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const char16_t *text, std::size_t units);

} // namespace engine::buffers
