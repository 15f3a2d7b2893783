#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

class OraError;

// Oracle's NUMBER in the 22-byte OCINumber layout (= SQLT_VNU): byte 0 counts the bytes that follow, then
// the exponent byte and up to 20 base-100 mantissa bytes (negatives inverted, with the 102 terminator when
// fewer than 20 mantissa bytes). Every value this class holds is valid and canonical; zero is 01 80.
class OraNumber
{
public:
    static constexpr int Size = 22;
    using Bytes = std::array<std::uint8_t, Size>;

    OraNumber(); // zero

    // Decodes raw OCINumber bytes; nullopt when they are not a valid finite NUMBER (bad length, digit out of
    // range, the infinity encodings).
    static std::optional<OraNumber> fromBytes(const std::uint8_t* data, std::size_t size);
    static OraNumber fromInt64(std::int64_t value);
    static OraNumber fromUInt64(std::uint64_t value);
    // Decimal text "[blanks][+|-]digits[.digits][E[+|-]digits][blanks]" (".5" and "5." allowed). Rounded to
    // 40 significant digits; magnitudes below 1e-130 become zero; nullopt when not a number or |x| >= 1e126.
    static std::optional<OraNumber> fromText(std::string_view text);
    // The double rounded to 15 significant digits (OCINumberFromReal; 0.1 gives 0.1 and 0.1 + 0.2 gives 0.3);
    // nullopt for NaN, infinities and |x| >= 1e126.
    static std::optional<OraNumber> fromDouble(double value);

    const Bytes& bytes() const { return m_bytes; }
    bool isZero() const;
    bool isNegative() const;
    bool isInteger() const;

    // Plain decimal text without exponent: "-123.45", "0.5", "0". Exact.
    std::string toDecimalText() const;
    // Oracle's TM9 text: ".5", "-.00001", "123.45"; scientific "1.0E+64"-style only beyond 64 characters.
    std::string toTmText() const;
    // Nearest double.
    double toDouble() const;
    // Integer part (truncated toward zero) when it fits in int64.
    std::optional<std::int64_t> toInt64() const;

    // OCINumberToInt: the value rounded to the nearest integer into an integer of `size` bytes (1, 2, 4, 8),
    // signed or unsigned, written to `out`. Fails with OCI-22053 (overflow) or OCI-22063 (bad size).
    OraError toInteger(unsigned size, bool isSigned, void* out) const;
    // OCINumberToText: `format` is "TM", "TM9", "TME" or a number format model (as TO_CHAR). Fails with
    // OCI-22062 for an invalid format and OCI-22065 when the value overflows the format.
    OraError toText(std::string_view format, std::string& out) const;

    // Rounded / truncated to `places` digits after the point (negative: left of it), as ROUND(n,d) and TRUNC(n,d).
    OraNumber rounded(int places) const;
    OraNumber truncated(int places) const;
    // Three-way comparison of values.
    int compare(const OraNumber& other) const;

    bool operator==(const OraNumber& other) const { return m_bytes == other.m_bytes; }

    // Sign, decimal digits (no leading or trailing zeros; empty for zero) and the decimal exponent such that
    // value = 0.d1d2d3... x 10^exponent. The form the formatter works on.
    struct Decimal
    {
        bool negative = false;
        std::string digits;
        int exponent = 0;
    };
    Decimal decimal() const;
    // Encodes a decimal, rounding to 40 significant digits; nullopt when out of range.
    static std::optional<OraNumber> fromDecimal(Decimal value);

private:
    Bytes m_bytes{}; // the canonical encoding, unused tail bytes zero
};

} // namespace engine
