#include "execution/COracleNumber.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int kMaxDigits = 40;               // 20 base-100 mantissa bytes
constexpr long long kExponentLimit = 100000; // far beyond NUMBER's range either way

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

std::optional<COracleNumber> COracleNumber::fromText(QStringView text)
{
    const QString point = QLocale().decimalPoint();
    return fromText(text, point);
}

std::optional<COracleNumber> COracleNumber::fromText(QStringView text, QStringView decimalPoint)
{
    text = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';

    std::string digits;   // every digit typed, before and after the point
    long long before = 0; // how many of them stand before the point
    bool point = false;
    while (i < n) {
        if (isDigit(text[i])) {
            digits.push_back(char(text[i].unicode()));
            if (!point)
                ++before;
            ++i;
        } else if (!point && text[i] == u'.') {
            point = true;
            ++i;
        } else if (!point && !decimalPoint.isEmpty() && text.sliced(i).startsWith(decimalPoint)) {
            point = true;
            i += decimalPoint.size();
        } else {
            break;
        }
    }
    if (digits.empty())
        return std::nullopt;

    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            negativeExponent = text[i++] == u'-';
        if (i >= n || !isDigit(text[i]))
            return std::nullopt;
        for (; i < n && isDigit(text[i]); ++i)
            exponent = std::min(exponent * 10 + (text[i].unicode() - u'0'), kExponentLimit);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, first);
    before -= static_cast<long long>(first);
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return encode(negative, std::move(digits), before + exponent);
}

std::optional<COracleNumber> COracleNumber::encode(bool negative, std::string digits,
                                                   long long exponent)
{
    COracleNumber number;
    if (digits.empty() || exponent <= -130) { // zero, or below 1e-130
        number.m_bytes[0] = 1;
        number.m_bytes[1] = 0x80;
        return number;
    }
    if (exponent > 126) // 1e126 or more
        return std::nullopt;

    // Base-100 digits pair up from the decimal point: an odd count before it takes a leading zero.
    const bool pad = exponent % 2 != 0;
    std::string d = pad ? "0" + digits : digits;
    if (d.size() > std::size_t(kMaxDigits)) {
        const bool up = d[kMaxDigits] >= '5';
        d.resize(kMaxDigits);
        if (up) {
            int k = kMaxDigits - 1;
            while (k >= 0 && d[std::size_t(k)] == '9')
                d[std::size_t(k--)] = '0';
            if (k < 0) // all nines: the value became the next power of ten
                return encode(negative, "1", exponent + 1);
            ++d[std::size_t(k)];
        }
        while (d.back() == '0')
            d.pop_back();
    }
    // A carry may have turned the padding zero into a digit.
    const std::size_t lead = d.find_first_not_of('0');
    number.m_negative = negative;
    number.m_digits = d.substr(lead);
    number.m_exponent = exponent + (pad ? 1 : 0) - static_cast<long long>(lead);
    if (d.size() % 2 != 0)
        d.push_back('0');

    const int pairs = int(d.size() / 2);
    const int x = int((exponent + (pad ? 1 : 0)) / 2 - 1); // base-100 exponent, -65..62
    Bytes &b = number.m_bytes;
    b[1] = static_cast<unsigned char>(negative ? 62 - x : x + 193);
    for (int k = 0; k < pairs; ++k) {
        const int pair = (d[std::size_t(2 * k)] - '0') * 10 + (d[std::size_t(2 * k + 1)] - '0');
        b[std::size_t(2 + k)] = static_cast<unsigned char>(negative ? 101 - pair : pair + 1);
    }
    int length = 1 + pairs;
    if (negative && pairs < 20)
        b[std::size_t(1 + length++)] = 102;
    b[0] = static_cast<unsigned char>(length);
    return number;
}

QString COracleNumber::text() const
{
    if (m_digits.empty())
        return QStringLiteral("0");
    const long long len = static_cast<long long>(m_digits.size());
    std::string t = m_negative ? "-" : "";
    if (m_exponent <= 0)
        t += "0." + std::string(std::size_t(-m_exponent), '0') + m_digits;
    else if (m_exponent >= len)
        t += m_digits + std::string(std::size_t(m_exponent - len), '0');
    else
        t += m_digits.substr(0, std::size_t(m_exponent)) + "." +
             m_digits.substr(std::size_t(m_exponent));
    return QString::fromLatin1(t.data(), qsizetype(t.size()));
}
