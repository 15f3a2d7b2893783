#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string>

// A number as the user typed it, encoded as Oracle's NUMBER in the 22-byte OCINumber layout
// (SQLT_VNU): a length byte, an exponent byte and up to 20 base-100 mantissa bytes, negatives
// inverted and ended by 102 when they have fewer than 20. Binding these bytes lets every digit
// reach the server: no double lies between the text and the value.
class COracleNumber
{
public:
    static constexpr int kSize = 22;
    using Bytes = std::array<unsigned char, kSize>;

    // Reads "[blanks][+|-]digits[point digits][(E|e)[+|-]digits][blanks]", where point is "." or
    // decimalPoint (".5" and "5." allowed, no group separators). Up to 38 significant digits are
    // kept exactly; more are rounded to what NUMBER holds (40, or 39 when the digits before the
    // point are odd in count), as Oracle's own conversion does. Magnitudes below 1e-130 become 0.
    // Nullopt when the text holds anything else, or when the magnitude is 1e126 or more.
    static std::optional<COracleNumber> fromText(QStringView text, QStringView decimalPoint);
    // The same with the decimal point of the default locale (QLocale()).
    static std::optional<COracleNumber> fromText(QStringView text);

    // The encoding; bytes()[0] + 1 bytes are used, the rest are zero.
    const Bytes &bytes() const { return m_bytes; }
    int size() const { return m_bytes[0] + 1; }

    // The value after rounding as plain decimal text: "-1250", "3.5", "0.0001", "0".
    QString text() const;

private:
    COracleNumber() = default;
    // digits: significant digits without leading or trailing zeros (empty for 0); the value is
    // 0.digits x 10^exponent.
    static std::optional<COracleNumber> encode(bool negative, std::string digits,
                                               long long exponent);

    Bytes m_bytes{};
    bool m_negative = false;
    std::string m_digits;     // after rounding; empty for zero
    long long m_exponent = 0; // value = 0.m_digits x 10^m_exponent
};
