#include "engine/OraNumber.h"

#include "engine/OraError.h"
#include "engine/OraFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace engine {

namespace {

constexpr int MaxMantissaBytes = 20;
constexpr int MaxExponent100 = 62;  // largest base-100 exponent
constexpr int MinExponent100 = -65; // smallest base-100 exponent

void stripZeros(OraNumber::Decimal& d)
{
    std::size_t lead = d.digits.find_first_not_of('0');
    if (lead == std::string::npos) {
        d.digits.clear();
        d.exponent = 0;
        d.negative = false;
        return;
    }
    d.digits.erase(0, lead);
    d.exponent -= static_cast<int>(lead);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
}

// Rounds half away from zero to `keep` significant digits (keep may be <= 0).
void roundDigits(OraNumber::Decimal& d, int keep)
{
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    if (static_cast<int>(d.digits.size()) <= keep)
        return;
    bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[static_cast<std::size_t>(i)];
        }
    }
    stripZeros(d);
}

// Truncates toward zero or rounds half away from zero at `places` digits after the point.
OraNumber::Decimal cutAt(OraNumber::Decimal d, int places, bool round)
{
    if (d.digits.empty())
        return d;
    long keep = static_cast<long>(d.exponent) + places;
    if (keep < 0)
        return OraNumber::Decimal{};
    if (keep >= static_cast<long>(d.digits.size()))
        return d;
    if (round) {
        if (keep == 0) {
            if (d.digits[0] >= '5')
                return OraNumber::Decimal{d.negative, "1", d.exponent + 1};
            return OraNumber::Decimal{};
        }
        roundDigits(d, static_cast<int>(keep));
    } else {
        d.digits.resize(static_cast<std::size_t>(keep));
        stripZeros(d);
    }
    return d;
}

} // namespace

OraNumber::OraNumber()
{
    m_bytes[0] = 1;
    m_bytes[1] = 0x80;
}

std::optional<OraNumber> OraNumber::fromDecimal(Decimal d)
{
    stripZeros(d);
    if (d.digits.empty())
        return OraNumber();
    // The point must fall between base-100 pairs: an odd exponent takes a leading zero digit.
    int significant = (d.exponent % 2 == 0) ? 2 * MaxMantissaBytes : 2 * MaxMantissaBytes - 1;
    roundDigits(d, significant);
    if (d.digits.empty())
        return OraNumber();
    std::string padded = d.digits;
    int e = d.exponent;
    if (e % 2 != 0) {
        padded.insert(padded.begin(), '0');
        ++e;
    }
    if (padded.size() % 2 != 0)
        padded.push_back('0');
    int x = e / 2 - 1;
    if (x > MaxExponent100)
        return std::nullopt;
    if (x < MinExponent100)
        return OraNumber();
    int pairs = static_cast<int>(padded.size() / 2);
    OraNumber n;
    n.m_bytes.fill(0);
    int pos = 2;
    for (int i = 0; i < pairs; ++i) {
        int v = (padded[static_cast<std::size_t>(2 * i)] - '0') * 10
                + (padded[static_cast<std::size_t>(2 * i + 1)] - '0');
        n.m_bytes[static_cast<std::size_t>(pos++)] =
            static_cast<std::uint8_t>(d.negative ? 101 - v : v + 1);
    }
    if (d.negative) {
        n.m_bytes[1] = static_cast<std::uint8_t>(62 - x);
        if (pairs < MaxMantissaBytes)
            n.m_bytes[static_cast<std::size_t>(pos++)] = 102;
    } else {
        n.m_bytes[1] = static_cast<std::uint8_t>(x + 193);
    }
    n.m_bytes[0] = static_cast<std::uint8_t>(pos - 1);
    return n;
}

std::optional<OraNumber> OraNumber::fromBytes(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < 2)
        return std::nullopt;
    int len = data[0];
    if (len < 1 || len > 21 || static_cast<std::size_t>(len) + 1 > size)
        return std::nullopt;
    std::uint8_t expByte = data[1];
    if (len == 1)
        return expByte == 0x80 ? std::optional<OraNumber>(OraNumber()) : std::nullopt;
    bool negative = (expByte & 0x80) == 0;
    int count = len - 1;
    if (negative && data[len] == 102)
        --count;
    if (count < 1 || count > MaxMantissaBytes)
        return std::nullopt;
    Decimal d;
    d.negative = negative;
    int x = negative ? 62 - expByte : expByte - 193;
    for (int i = 0; i < count; ++i) {
        int b = data[2 + i];
        int v = negative ? 101 - b : b - 1;
        if (v < 0 || v > 99)
            return std::nullopt;
        d.digits.push_back(static_cast<char>('0' + v / 10));
        d.digits.push_back(static_cast<char>('0' + v % 10));
    }
    d.exponent = 2 * x + 2;
    stripZeros(d);
    return fromDecimal(d);
}

OraNumber OraNumber::fromUInt64(std::uint64_t value)
{
    Decimal d;
    d.digits = std::to_string(value);
    d.exponent = static_cast<int>(d.digits.size());
    return *fromDecimal(d);
}

OraNumber OraNumber::fromInt64(std::int64_t value)
{
    bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    Decimal d;
    d.negative = negative;
    d.digits = std::to_string(magnitude);
    d.exponent = static_cast<int>(d.digits.size());
    return *fromDecimal(d);
}

std::optional<OraNumber> OraNumber::fromText(std::string_view text)
{
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (i < text.size() && blank(text[i]))
        ++i;
    std::size_t end = text.size();
    while (end > i && blank(text[end - 1]))
        --end;
    Decimal d;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        d.negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false;
    int intDigits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
        d.digits.push_back(text[i++]);
        ++intDigits;
        anyDigit = true;
    }
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            d.digits.push_back(text[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    long exp10 = 0;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i >= end)
            return std::nullopt;
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            if (exp10 < 100000)
                exp10 = exp10 * 10 + (text[i] - '0');
            ++i;
        }
        if (expNegative)
            exp10 = -exp10;
    }
    if (i != end)
        return std::nullopt;
    d.exponent = intDigits;
    stripZeros(d);
    if (d.digits.empty())
        return OraNumber();
    long e = d.exponent + exp10;
    if (e > 1000)
        return std::nullopt;
    if (e < -1000)
        return OraNumber();
    d.exponent = static_cast<int>(e);
    return fromDecimal(d);
}

std::optional<OraNumber> OraNumber::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return fromInt64(static_cast<std::int64_t>(value));
    // Fifteen significant digits: every decimal of that length survives the trip through a double, and
    // binary noise such as 0.1 + 0.2 = 0.30000000000000004 does not reach the NUMBER.
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.14e", value);
    if (n <= 0 || n >= static_cast<int>(sizeof buf))
        return std::nullopt;
    return fromText(std::string_view(buf, static_cast<std::size_t>(n)));
}

OraNumber::Decimal OraNumber::decimal() const
{
    Decimal d;
    if (isZero())
        return d;
    std::uint8_t expByte = m_bytes[1];
    d.negative = (expByte & 0x80) == 0;
    int count = m_bytes[0] - 1;
    if (d.negative && m_bytes[static_cast<std::size_t>(m_bytes[0])] == 102)
        --count;
    int x = d.negative ? 62 - expByte : expByte - 193;
    for (int i = 0; i < count; ++i) {
        int b = m_bytes[static_cast<std::size_t>(2 + i)];
        int v = d.negative ? 101 - b : b - 1;
        d.digits.push_back(static_cast<char>('0' + v / 10));
        d.digits.push_back(static_cast<char>('0' + v % 10));
    }
    d.exponent = 2 * x + 2;
    stripZeros(d);
    return d;
}

bool OraNumber::isZero() const
{
    return m_bytes[0] == 1;
}

bool OraNumber::isNegative() const
{
    return !isZero() && (m_bytes[1] & 0x80) == 0;
}

bool OraNumber::isInteger() const
{
    Decimal d = decimal();
    return d.exponent >= static_cast<int>(d.digits.size());
}

std::string OraNumber::toDecimalText() const
{
    Decimal d = decimal();
    if (d.digits.empty())
        return "0";
    std::string out = d.negative ? "-" : "";
    int len = static_cast<int>(d.digits.size());
    if (d.exponent <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.exponent), '0');
        out += d.digits;
    } else if (d.exponent >= len) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.exponent - len), '0');
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(d.exponent));
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(d.exponent));
    }
    return out;
}

std::string OraNumber::toTmText() const
{
    std::string plain = toDecimalText();
    if (plain == "0")
        return plain;
    std::size_t zeroPos = plain[0] == '-' ? 1 : 0;
    if (plain.compare(zeroPos, 2, "0.") == 0)
        plain.erase(zeroPos, 1);
    if (plain.size() <= 64)
        return plain;
    return formatScientific(*this);
}

double OraNumber::toDouble() const
{
    std::string text = toDecimalText();
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

std::optional<std::int64_t> OraNumber::toInt64() const
{
    Decimal d = cutAt(decimal(), 0, false);
    if (d.digits.empty())
        return 0;
    if (d.exponent > 19)
        return std::nullopt;
    std::string digits = d.digits;
    digits.append(static_cast<std::size_t>(d.exponent - static_cast<int>(d.digits.size())), '0');
    std::uint64_t magnitude = 0;
    auto res = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (res.ec != std::errc())
        return std::nullopt;
    if (d.negative) {
        if (magnitude > std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1)
            return std::nullopt;
        return static_cast<std::int64_t>(std::uint64_t(0) - magnitude);
    }
    if (magnitude > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return static_cast<std::int64_t>(magnitude);
}

OraError OraNumber::toInteger(unsigned size, bool isSigned, void* out) const
{
    if (size != 1 && size != 2 && size != 4 && size != 8)
        return OraError::make(22063, "invalid integer length", "OCI-");
    if (!out)
        return OraError::make(22060, "argument [2] is an invalid or uninitialized number", "OCI-");
    OraNumber r = rounded(0);
    Decimal d = r.decimal();
    bool fits = true;
    std::uint64_t magnitude = 0;
    if (!d.digits.empty()) {
        if (d.exponent > 20) {
            fits = false;
        } else {
            std::string digits = d.digits;
            digits.append(static_cast<std::size_t>(d.exponent - static_cast<int>(d.digits.size())), '0');
            fits = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude).ec == std::errc();
        }
    }
    unsigned bits = size * 8;
    if (fits) {
        if (isSigned) {
            std::uint64_t limit = std::uint64_t(1) << (bits - 1);
            fits = d.negative ? magnitude <= limit : magnitude < limit;
        } else {
            fits = !d.negative && (bits == 64 || magnitude < (std::uint64_t(1) << bits));
        }
    }
    if (!fits)
        return OraError::make(22053, "overflow error", "OCI-");
    std::uint64_t raw = d.negative ? std::uint64_t(0) - magnitude : magnitude;
    switch (size) {
    case 1: {
        std::uint8_t v = static_cast<std::uint8_t>(raw);
        std::memcpy(out, &v, 1);
        break;
    }
    case 2: {
        std::uint16_t v = static_cast<std::uint16_t>(raw);
        std::memcpy(out, &v, 2);
        break;
    }
    case 4: {
        std::uint32_t v = static_cast<std::uint32_t>(raw);
        std::memcpy(out, &v, 4);
        break;
    }
    default:
        std::memcpy(out, &raw, 8);
        break;
    }
    return {};
}

OraError OraNumber::toText(std::string_view format, std::string& out) const
{
    std::optional<std::string> text = formatNumber(*this, format);
    if (!text)
        return OraError::make(22062, "invalid input string [" + std::string(format) + "]", "OCI-");
    if (text->find('#') != std::string::npos && text->find_first_not_of("# ") == std::string::npos)
        return OraError::make(22065, "number to text translation for the given format causes overflow",
                              "OCI-");
    out = std::move(*text);
    return {};
}

OraNumber OraNumber::rounded(int places) const
{
    return fromDecimal(cutAt(decimal(), places, true)).value_or(*this);
}

OraNumber OraNumber::truncated(int places) const
{
    return fromDecimal(cutAt(decimal(), places, false)).value_or(*this);
}

int OraNumber::compare(const OraNumber& other) const
{
    Decimal a = decimal();
    Decimal b = other.decimal();
    auto sign = [](const Decimal& d) { return d.digits.empty() ? 0 : (d.negative ? -1 : 1); };
    int sa = sign(a), sb = sign(b);
    if (sa != sb)
        return sa < sb ? -1 : 1;
    if (sa == 0)
        return 0;
    int magnitude = 0;
    if (a.exponent != b.exponent)
        magnitude = a.exponent < b.exponent ? -1 : 1;
    else {
        int c = a.digits.compare(b.digits);
        magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return sa < 0 ? -magnitude : magnitude;
}

} // namespace engine
