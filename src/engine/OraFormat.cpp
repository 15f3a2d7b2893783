#include "engine/OraFormat.h"

#include "engine/OraError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace engine {

namespace {

char upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string upperText(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = upper(c);
    return out;
}

[[noreturn]] void fail(int code, std::string_view arg = {})
{
    throw OraException(OraError::standard(code, arg));
}

// ---------------------------------------------------------------- numbers

struct NumberModel
{
    bool fm = false;
    bool dollar = false;
    bool leadingS = false;
    bool trailingS = false;
    bool mi = false;
    bool pr = false;
    bool eeee = false;
    std::string intPart;  // '9', '0', ',' positions before the point
    std::string fracPart; // '9', '0' positions after it
    bool point = false;
};

std::optional<NumberModel> parseNumberModel(std::string_view format)
{
    std::string f = upperText(format);
    NumberModel m;
    std::size_t i = 0;
    if (f.compare(0, 2, "FM") == 0) {
        m.fm = true;
        i = 2;
    }
    if (i < f.size() && f[i] == 'S') {
        m.leadingS = true;
        ++i;
    }
    if (i < f.size() && f[i] == '$') {
        m.dollar = true;
        ++i;
    }
    bool anyDigit = false;
    for (; i < f.size(); ++i) {
        char c = f[i];
        if (c == '9' || c == '0') {
            (m.point ? m.fracPart : m.intPart).push_back(c);
            anyDigit = true;
        } else if ((c == ',' || c == 'G') && !m.point) {
            if (!anyDigit)
                return std::nullopt;
            m.intPart.push_back(',');
        } else if ((c == '.' || c == 'D') && !m.point) {
            m.point = true;
        } else if (c == '$' && !m.dollar) {
            m.dollar = true;
        } else {
            break;
        }
    }
    if (f.compare(i, 4, "EEEE") == 0) {
        m.eeee = true;
        i += 4;
    }
    if (i < f.size()) {
        std::string_view rest = std::string_view(f).substr(i);
        if (rest == "S" && !m.leadingS)
            m.trailingS = true;
        else if (rest == "MI" && !m.leadingS)
            m.mi = true;
        else if (rest == "PR" && !m.leadingS)
            m.pr = true;
        else
            return std::nullopt;
    }
    if (m.intPart.empty() && m.fracPart.empty() && !m.point)
        return std::nullopt;
    return m;
}

std::string exponentText(int e)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
    return buf;
}

std::string applySign(const NumberModel& m, bool negative, std::string body)
{
    if (m.leadingS)
        return (negative ? "-" : "+") + body;
    if (m.trailingS)
        return body + (negative ? "-" : "+");
    if (m.mi)
        return body + (negative ? "-" : (m.fm ? "" : " "));
    if (m.pr)
        return negative ? "<" + body + ">" : (m.fm ? body : " " + body + " ");
    return (negative ? "-" : (m.fm ? "" : " ")) + body;
}

} // namespace

std::string formatScientific(const OraNumber& value)
{
    OraNumber::Decimal d = value.decimal();
    if (d.digits.empty())
        return "0E+00";
    std::string out = d.negative ? "-" : "";
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += '.';
        out += d.digits.substr(1);
    }
    return out + exponentText(d.exponent - 1);
}

std::optional<std::string> formatNumber(const OraNumber& value, std::string_view format)
{
    std::string f = upperText(format);
    if (f == "TM" || f == "TM9")
        return value.toTmText();
    if (f == "TME")
        return formatScientific(value);
    std::optional<NumberModel> model = parseNumberModel(format);
    if (!model)
        return std::nullopt;
    const NumberModel& m = *model;
    int intDigits = static_cast<int>(std::count_if(m.intPart.begin(), m.intPart.end(),
                                                   [](char c) { return c != ','; }));
    int fracDigits = static_cast<int>(m.fracPart.size());
    std::size_t width = format.size() + 1 - (m.fm ? 2 : 0);
    auto overflow = [&] { return std::string(width, '#'); };

    if (m.eeee) {
        OraNumber::Decimal d = value.decimal();
        int exponent = 0;
        std::string digits;
        if (!d.digits.empty()) {
            OraNumber::Decimal scaled = d;
            scaled.negative = false;
            scaled.exponent = 1;
            OraNumber r = OraNumber::fromDecimal(scaled)->rounded(fracDigits);
            OraNumber::Decimal rd = r.decimal();
            exponent = d.exponent - 1 + (rd.exponent - 1);
            digits = rd.digits;
        }
        digits.resize(static_cast<std::size_t>(1 + fracDigits), '0');
        if (d.digits.empty())
            digits.assign(static_cast<std::size_t>(1 + fracDigits), '0');
        std::string body = digits.substr(0, 1);
        if (m.point)
            body += "." + digits.substr(1);
        body += exponentText(exponent);
        if (m.dollar)
            body.insert(0, "$");
        // Scientific output keeps one more leading blank than the sign position.
        std::string result = applySign(m, d.negative, body);
        return m.fm ? result : " " + result;
    }

    OraNumber r = value.rounded(fracDigits);
    OraNumber::Decimal d = r.decimal();
    std::string intText;
    std::string fracText;
    if (!d.digits.empty()) {
        if (d.exponent > 0) {
            std::string all = d.digits;
            if (static_cast<int>(all.size()) < d.exponent)
                all.append(static_cast<std::size_t>(d.exponent) - all.size(), '0');
            intText = all.substr(0, static_cast<std::size_t>(d.exponent));
            fracText = all.substr(static_cast<std::size_t>(d.exponent));
        } else {
            fracText = std::string(static_cast<std::size_t>(-d.exponent), '0') + d.digits;
        }
    }
    fracText.resize(static_cast<std::size_t>(fracDigits), '0');
    if (static_cast<int>(intText.size()) > intDigits)
        return overflow();

    // Integer positions, left to right.
    std::size_t firstZero = m.intPart.find('0');
    std::string intOut;
    bool printed = false;
    int digitIndex = 0;
    for (std::size_t p = 0; p < m.intPart.size(); ++p) {
        char c = m.intPart[p];
        if (c == ',') {
            intOut += printed ? ',' : ' ';
            continue;
        }
        int fromRight = intDigits - digitIndex;
        ++digitIndex;
        if (fromRight <= static_cast<int>(intText.size())) {
            intOut += intText[intText.size() - static_cast<std::size_t>(fromRight)];
            printed = true;
        } else if (firstZero != std::string::npos && p >= firstZero) {
            intOut += '0';
            printed = true;
        } else {
            intOut += ' ';
        }
    }
    bool anyFraction = fracDigits > 0;
    if (!printed && !anyFraction && !intOut.empty())
        intOut.back() = '0';

    std::string fracOut = fracText;
    if (m.fm) {
        std::size_t keep = fracOut.size();
        while (keep > 0 && m.fracPart[keep - 1] == '9' && fracOut[keep - 1] == '0')
            --keep;
        fracOut.resize(keep);
    }
    std::string body = intOut;
    if (m.point)
        body += "." + fracOut;
    std::size_t firstText = body.find_first_not_of(' ');
    if (firstText == std::string::npos)
        firstText = body.size();
    std::string lead = body.substr(0, firstText);
    std::string rest = body.substr(firstText);
    if (m.dollar)
        rest.insert(0, "$");
    std::string signed_ = applySign(m, d.negative, rest);
    return m.fm ? signed_ : lead + signed_;
}

OraNumber parseNumber(std::string_view text, std::string_view format)
{
    std::string f = upperText(format);
    std::string cleaned;
    bool negative = false;
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    std::string_view t = b == std::string_view::npos ? std::string_view() : text.substr(b, e - b + 1);
    if (!format.empty() && f != "TM" && f != "TM9" && f != "TME") {
        std::optional<NumberModel> m = parseNumberModel(format);
        if (!m)
            fail(1481);
        std::string s(t);
        if (m->pr && s.size() >= 2 && s.front() == '<' && s.back() == '>') {
            negative = true;
            s = s.substr(1, s.size() - 2);
        }
        if ((m->mi || m->trailingS) && !s.empty() && (s.back() == '-' || s.back() == '+')) {
            negative = s.back() == '-';
            s.pop_back();
        }
        if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
            negative = negative || s.front() == '-';
            s.erase(0, 1);
        }
        if (m->dollar && !s.empty() && s.front() == '$')
            s.erase(0, 1);
        for (char c : s) {
            if (c == ',' && m->intPart.find(',') != std::string::npos)
                continue;
            cleaned.push_back(c);
        }
        std::size_t point = cleaned.find('.');
        int given = static_cast<int>(point == std::string::npos ? cleaned.size() : point);
        int allowed = static_cast<int>(std::count_if(m->intPart.begin(), m->intPart.end(),
                                                     [](char c) { return c != ','; }));
        int fracGiven = point == std::string::npos ? 0 : static_cast<int>(cleaned.size() - point - 1);
        if (!m->eeee && (given > allowed || fracGiven > static_cast<int>(m->fracPart.size())))
            fail(1722);
    } else {
        cleaned = std::string(t);
    }
    std::optional<OraNumber> n = OraNumber::fromText(cleaned);
    if (!n || (!format.empty() && f.find('E') == std::string::npos && cleaned.find_first_of("+-") != std::string::npos))
        fail(1722);
    if (negative) {
        OraNumber::Decimal d = n->decimal();
        d.negative = !d.digits.empty();
        n = OraNumber::fromDecimal(d);
    }
    return *n;
}

// ---------------------------------------------------------------- dates

namespace {

constexpr std::array<const char*, 12> MonthNames = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                                    "MAY",     "JUNE",     "JULY",      "AUGUST",
                                                    "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::array<const char*, 7> DayNames = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                                 "THURSDAY", "FRIDAY", "SATURDAY"};

enum class Elem {
    Literal, YYYY, SYYYY, YYY, YY, Y, RRRR, RR, MM, MON, MONTH, DD, DDD, D, DY, DAY, HH, HH24, MI, SS,
    SSSSS, AM, AMDots, Q, J, FM, FX, WW, W, IW, IYYY
};

struct FormatToken
{
    Elem elem;
    std::string text;     // literal text, or the element as written (for the case of names)
};

struct ElemName
{
    const char* name;
    Elem elem;
};

// Longest names first so that prefixes do not win.
constexpr std::array<ElemName, 33> ElemNames = {{
    {"SYYYY", Elem::SYYYY}, {"IYYY", Elem::IYYY},   {"WW", Elem::WW},       {"IW", Elem::IW},
 {"SSSSS", Elem::SSSSS}, {"MONTH", Elem::MONTH}, {"YYYY", Elem::YYYY},
    {"RRRR", Elem::RRRR},   {"HH24", Elem::HH24},   {"HH12", Elem::HH},     {"A.M.", Elem::AMDots},
    {"P.M.", Elem::AMDots}, {"YYY", Elem::YYY},     {"MON", Elem::MON},     {"DAY", Elem::DAY},
    {"DDD", Elem::DDD},     {"YY", Elem::YY},       {"RR", Elem::RR},       {"MM", Elem::MM},
    {"DD", Elem::DD},       {"DY", Elem::DY},       {"HH", Elem::HH},       {"MI", Elem::MI},
    {"SS", Elem::SS},       {"AM", Elem::AM},       {"PM", Elem::AM},       {"FM", Elem::FM},
    {"FX", Elem::FX},       {"Y", Elem::Y},         {"D", Elem::D},         {"Q", Elem::Q},
    {"J", Elem::J},         {"W", Elem::W},
}};

std::vector<FormatToken> tokenizeDateFormat(std::string_view format)
{
    std::vector<FormatToken> out;
    std::size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        if (c == '"') {
            std::size_t close = format.find('"', i + 1);
            if (close == std::string_view::npos)
                fail(1821);
            out.push_back({Elem::Literal, std::string(format.substr(i + 1, close - i - 1))});
            i = close + 1;
            continue;
        }
        if (std::string_view(" -/,.;:").find(c) != std::string_view::npos) {
            out.push_back({Elem::Literal, std::string(1, c)});
            ++i;
            continue;
        }
        bool matched = false;
        for (const ElemName& e : ElemNames) {
            std::size_t len = std::char_traits<char>::length(e.name);
            if (i + len <= format.size() && upperText(format.substr(i, len)) == e.name) {
                out.push_back({e.elem, std::string(format.substr(i, len))});
                i += len;
                matched = true;
                break;
            }
        }
        if (!matched)
            fail(1821);
    }
    return out;
}

std::string nameInCase(std::string name, const std::string& written, std::size_t abbreviate)
{
    if (abbreviate)
        name = name.substr(0, abbreviate);
    bool firstLower = !written.empty() && std::islower(static_cast<unsigned char>(written[0]));
    bool secondLower = written.size() > 1 && std::islower(static_cast<unsigned char>(written[1]));
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (firstLower || (i > 0 && secondLower))
            name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

std::string padded(long value, int width, bool fm)
{
    std::string s = std::to_string(value < 0 ? -value : value);
    if (!fm && static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return (value < 0 ? "-" : "") + s;
}

int dayOfYear(const OraDate& d)
{
    int n = d.day;
    for (int m = 1; m < d.month; ++m)
        n += OraDate::daysInMonth(d.year, m);
    return n;
}

// ISO 8601 week and week-numbering year: weeks start on Monday and week 1 holds the year's first Thursday.
std::pair<int, int> isoWeek(const OraDate& d)
{
    const int weekday = (d.dayOfWeek() + 6) % 7 + 1; // Monday 1 .. Sunday 7
    const int week = (dayOfYear(d) - weekday + 10) / 7;
    auto weeksIn = [](int year) {
        OraDate jan1;
        jan1.year = static_cast<std::int16_t>(year);
        const int first = (jan1.dayOfWeek() + 6) % 7 + 1;
        const bool leap = OraDate::daysInMonth(year, 2) == 29;
        return first == 4 || (leap && first == 3) ? 53 : 52;
    };
    if (week < 1)
        return {d.year - 1, weeksIn(d.year - 1)};
    if (week > weeksIn(d.year))
        return {d.year + 1, 1};
    return {d.year, week};
}

} // namespace

std::optional<std::string> formatDate(const OraDate& value, std::string_view format)
{
    std::vector<FormatToken> tokens;
    try {
        tokens = tokenizeDateFormat(format);
    } catch (const OraException&) {
        return std::nullopt;
    }
    std::string out;
    bool fm = false;
    int hour12 = value.hour % 12 == 0 ? 12 : value.hour % 12;
    for (const FormatToken& t : tokens) {
        switch (t.elem) {
        case Elem::Literal: out += t.text; break;
        case Elem::FM: fm = !fm; break;
        case Elem::FX: break;
        case Elem::YYYY:
        case Elem::RRRR: out += padded(value.year, 4, fm); break;
        case Elem::SYYYY: out += (value.year < 0 ? "-" : " ") + padded(std::abs(value.year), 4, fm); break;
        case Elem::YYY: out += padded(std::abs(value.year) % 1000, 3, fm); break;
        case Elem::YY:
        case Elem::RR: out += padded(std::abs(value.year) % 100, 2, fm); break;
        case Elem::Y: out += std::to_string(std::abs(value.year) % 10); break;
        case Elem::MM: out += padded(value.month, 2, fm); break;
        case Elem::MON: out += nameInCase(MonthNames[value.month - 1u], t.text, 3); break;
        case Elem::MONTH: {
            std::string n = nameInCase(MonthNames[value.month - 1u], t.text, 0);
            if (!fm)
                n.resize(9, ' ');
            out += n;
            break;
        }
        case Elem::DD: out += padded(value.day, 2, fm); break;
        case Elem::DDD: out += padded(dayOfYear(value), 3, fm); break;
        case Elem::D: out += std::to_string(value.dayOfWeek() + 1); break;
        case Elem::DY: out += nameInCase(DayNames[static_cast<std::size_t>(value.dayOfWeek())], t.text, 3); break;
        case Elem::DAY: {
            std::string n = nameInCase(DayNames[static_cast<std::size_t>(value.dayOfWeek())], t.text, 0);
            if (!fm)
                n.resize(9, ' ');
            out += n;
            break;
        }
        case Elem::HH: out += padded(hour12, 2, fm); break;
        case Elem::HH24: out += padded(value.hour, 2, fm); break;
        case Elem::MI: out += padded(value.minute, 2, fm); break;
        case Elem::SS: out += padded(value.second, 2, fm); break;
        case Elem::SSSSS: out += padded(value.hour * 3600L + value.minute * 60L + value.second, 5, fm); break;
        case Elem::AM: out += nameInCase(value.hour < 12 ? "AM" : "PM", t.text, 0); break;
        case Elem::AMDots: out += nameInCase(value.hour < 12 ? "A.M." : "P.M.", t.text, 0); break;
        case Elem::Q: out += std::to_string((value.month - 1) / 3 + 1); break;
        case Elem::WW: out += padded((dayOfYear(value) - 1) / 7 + 1, 2, fm); break;
        case Elem::W: out += std::to_string((value.day - 1) / 7 + 1); break;
        case Elem::IW: out += padded(isoWeek(value).second, 2, fm); break;
        case Elem::IYYY: out += padded(isoWeek(value).first, 4, fm); break;
        case Elem::J: out += std::to_string(static_cast<long>(std::floor(value.dayNumber())) + 2440588L); break;
        }
    }
    return out;
}

OraDate parseDate(std::string_view text, std::string_view format)
{
    std::vector<FormatToken> tokens = tokenizeDateFormat(format);
    OraDate now = OraDate::now();
    int year = now.year, month = now.month, day = 1, hour = 0, minute = 0, second = 0;
    bool pm = false, hasMeridian = false, hour12 = false;
    long secondsOfDay = -1;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && text[i] == ' ')
            ++i;
    };
    auto readNumber = [&](int maxDigits, bool allowSign) -> long {
        skipBlanks();
        bool negative = false;
        if (allowSign && i < text.size() && (text[i] == '-' || text[i] == '+')) {
            negative = text[i] == '-';
            ++i;
        }
        std::size_t start = i;
        long v = 0;
        while (i < text.size() && i - start < static_cast<std::size_t>(maxDigits) &&
               std::isdigit(static_cast<unsigned char>(text[i])))
            v = v * 10 + (text[i++] - '0');
        if (i == start) {
            if (i >= text.size())
                fail(1840);
            fail(1858);
        }
        return negative ? -v : v;
    };
    auto readName = [&](const auto& names, std::size_t abbreviate, int errorCode) -> int {
        skipBlanks();
        for (std::size_t n = 0; n < names.size(); ++n) {
            std::string name = names[n];
            if (abbreviate)
                name = name.substr(0, abbreviate);
            if (i + name.size() <= text.size() && upperText(text.substr(i, name.size())) == name) {
                i += name.size();
                return static_cast<int>(n);
            }
        }
        fail(errorCode);
    };
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const FormatToken& t = tokens[k];
        switch (t.elem) {
        case Elem::Literal: {
            // Punctuation in the model matches any punctuation or none; quoted text must match.
            if (t.text.size() == 1 && std::string_view(" -/,.;:").find(t.text[0]) != std::string_view::npos) {
                while (i < text.size() && std::string_view(" -/,.;:").find(text[i]) != std::string_view::npos)
                    ++i;
            } else {
                if (upperText(text.substr(i, t.text.size())) != upperText(t.text))
                    fail(1861);
                i += t.text.size();
            }
            break;
        }
        case Elem::FM:
        case Elem::FX: break;
        case Elem::YYYY:
        case Elem::SYYYY: year = static_cast<int>(readNumber(4, true)); break;
        case Elem::RRRR: {
            skipBlanks();
            std::size_t start = i;
            long v = readNumber(4, false);
            year = static_cast<int>(v);
            if (i - start <= 2) {
                int cur = now.year % 100, century = now.year / 100 * 100;
                if (cur < 50)
                    year = static_cast<int>(v < 50 ? century + v : century - 100 + v);
                else
                    year = static_cast<int>(v < 50 ? century + 100 + v : century + v);
            }
            break;
        }
        case Elem::YYY: year = now.year / 1000 * 1000 + static_cast<int>(readNumber(3, false)); break;
        case Elem::YY: year = now.year / 100 * 100 + static_cast<int>(readNumber(2, false)); break;
        case Elem::Y: year = now.year / 10 * 10 + static_cast<int>(readNumber(1, false)); break;
        case Elem::RR: {
            // RR takes a four-digit year as it is, unless another number element follows directly.
            const bool last = k + 1 == tokens.size() || tokens[k + 1].elem == Elem::Literal;
            skipBlanks();
            std::size_t start = i;
            long v = readNumber(last ? 4 : 2, false);
            year = static_cast<int>(v);
            if (i - start <= 2) {
                int cur = now.year % 100, century = now.year / 100 * 100;
                if (cur < 50)
                    year = static_cast<int>(v < 50 ? century + v : century - 100 + v);
                else
                    year = static_cast<int>(v < 50 ? century + 100 + v : century + v);
            }
            break;
        }
        case Elem::MM: {
            month = static_cast<int>(readNumber(2, false));
            if (month < 1 || month > 12)
                fail(1843);
            break;
        }
        case Elem::MON: month = readName(MonthNames, 3, 1843) + 1; break;
        case Elem::MONTH: {
            skipBlanks();
            std::size_t save = i;
            try {
                month = readName(MonthNames, 0, 1843) + 1;
            } catch (const OraException&) {
                i = save;
                month = readName(MonthNames, 3, 1843) + 1;
            }
            break;
        }
        case Elem::DD: day = static_cast<int>(readNumber(2, false)); if (day < 1 || day > 31) fail(1847); break;
        case Elem::DDD: {
            long n = readNumber(3, false);
            if (n < 1 || n > 366)
                fail(1848);
            month = 1;
            day = static_cast<int>(n);
            while (month < 12 && day > OraDate::daysInMonth(year, month)) {
                day -= OraDate::daysInMonth(year, month);
                ++month;
            }
            break;
        }
        case Elem::D: {
            long n = readNumber(1, false);
            if (n < 1 || n > 7)
                fail(1839);
            break;
        }
        case Elem::DY: readName(DayNames, 3, 1846); break;
        case Elem::DAY: {
            skipBlanks();
            std::size_t save = i;
            try {
                readName(DayNames, 0, 1846);
            } catch (const OraException&) {
                i = save;
                readName(DayNames, 3, 1846);
            }
            break;
        }
        case Elem::HH: {
            hour = static_cast<int>(readNumber(2, false));
            hour12 = true;
            if (hour < 1 || hour > 12)
                fail(1849);
            break;
        }
        case Elem::HH24: hour = static_cast<int>(readNumber(2, false)); if (hour > 23) fail(1850); break;
        case Elem::MI: minute = static_cast<int>(readNumber(2, false)); if (minute > 59) fail(1851); break;
        case Elem::SS: second = static_cast<int>(readNumber(2, false)); if (second > 59) fail(1852); break;
        case Elem::SSSSS: secondsOfDay = readNumber(5, false); if (secondsOfDay > 86399) fail(1853); break;
        case Elem::AM:
        case Elem::AMDots: {
            skipBlanks();
            std::string rest = upperText(text.substr(i, t.elem == Elem::AM ? 2 : 4));
            if (rest == "AM" || rest == "A.M.")
                pm = false;
            else if (rest == "PM" || rest == "P.M.")
                pm = true;
            else
                fail(1855);
            hasMeridian = true;
            i += rest.size();
            break;
        }
        case Elem::Q:
        case Elem::WW:
        case Elem::W:
        case Elem::IW:
        case Elem::IYYY: fail(1820);
        case Elem::J: {
            long j = readNumber(7, false);
            OraDate base;
            base.year = 1970;
            OraDate d = base.addDays(static_cast<double>(j - 2440588L));
            year = d.year;
            month = d.month;
            day = d.day;
            break;
        }
        }
    }
    skipBlanks();
    if (i < text.size())
        fail(1830);
    if (hour12 || hasMeridian) {
        if (hour == 12)
            hour = 0;
        if (pm)
            hour += 12;
    }
    if (secondsOfDay >= 0) {
        hour = static_cast<int>(secondsOfDay / 3600);
        minute = static_cast<int>(secondsOfDay / 60 % 60);
        second = static_cast<int>(secondsOfDay % 60);
    }
    if (year == 0 || year < -4712 || year > 9999)
        fail(1841);
    if (day > OraDate::daysInMonth(year, month))
        fail(1847);
    OraDate d;
    d.year = static_cast<std::int16_t>(year);
    d.month = static_cast<std::uint8_t>(month);
    d.day = static_cast<std::uint8_t>(day);
    d.hour = static_cast<std::uint8_t>(hour);
    d.minute = static_cast<std::uint8_t>(minute);
    d.second = static_cast<std::uint8_t>(second);
    return d;
}

} // namespace engine
