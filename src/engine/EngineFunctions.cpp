#include "engine/EngineFunctions.h"

#include "engine/EngineFaultHook.h"
#include "engine/EngineValue.h"
#include "engine/OraFormat.h"
#include "engine/SqlLexer.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

namespace engine {

namespace {

EngineValue argValue(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return EngineValue::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return EngineValue::real(sqlite3_value_double(v));
    case SQLITE_NULL: return EngineValue();
    default: {
        const unsigned char* p = sqlite3_value_text(v);
        int n = sqlite3_value_bytes(v);
        return EngineValue::text(p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
                                   : std::string());
    }
    }
}

bool isDateValue(const EngineValue& v)
{
    return v.kind() == EngineValue::Kind::Text && OraDate::isStorageText(v.asText());
}

void resultText(sqlite3_context* ctx, const std::string& text)
{
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void resultDate(sqlite3_context* ctx, const OraDate& d)
{
    if (!d.isValid()) {
        sqlite3_result_error(ctx, OraError::standard(1841).text().c_str(), -1);
        return;
    }
    resultText(ctx, d.toStorageText());
}

void resultNumber(sqlite3_context* ctx, const OraNumber& n)
{
    if (n.isInteger())
        if (std::optional<std::int64_t> i = n.toInt64()) {
            sqlite3_result_int64(ctx, *i);
            return;
        }
    sqlite3_result_double(ctx, n.toDouble());
}

void resultDouble(sqlite3_context* ctx, double d)
{
    if (!std::isfinite(d)) {
        sqlite3_result_error(ctx, OraError::make(1426, "numeric overflow").text().c_str(), -1);
        return;
    }
    sqlite3_result_double(ctx, d);
}

// Runs a function body; nothing may propagate into SQLite. An OraException becomes an SQLite error
// carrying its ORA text, an allocation failure SQLite's out-of-memory error, anything else
// ORA-00600 with the exception's text.
template <typename F> void guarded(sqlite3_context* ctx, F&& body) noexcept
{
    try {
        body();
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    } catch (...) {
        try {
            sqlite3_result_error(ctx, OraError::fromCurrentException().text().c_str(), -1);
        } catch (...) {
            sqlite3_result_error_nomem(ctx);
        }
    }
}

using SqlFunction = void (*)(sqlite3_context*, int, sqlite3_value**);

// What SQLite calls for the function F: F behind the guard.
template <SqlFunction F> void sqlEntry(sqlite3_context* ctx, int argc, sqlite3_value** argv) noexcept
{
    guarded(ctx, [&] {
        faults::throwIfPending(faults::Site::SqlFunction);
        F(ctx, argc, argv);
    });
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

double toDouble(const EngineValue& v)
{
    if (v.kind() == EngineValue::Kind::Integer)
        return static_cast<double>(v.asInteger());
    if (v.kind() == EngineValue::Kind::Real)
        return v.asReal();
    return v.toNumber().toDouble();
}

std::int64_t toInt(const EngineValue& v)
{
    if (v.kind() == EngineValue::Kind::Integer)
        return v.asInteger();
    double d = std::trunc(toDouble(v));
    if (d > 1e15 || d < -1e15)
        throw OraException(OraError::make(1428, "argument '" + v.toText() + "' is out of range"));
    return static_cast<std::int64_t>(d);
}

OraNumber toOraNumber(const EngineValue& v)
{
    return v.toNumber();
}

std::string formatOf(sqlite3_value* v)
{
    return argValue(v).toText();
}

// ---------------------------------------------------------------- UTF-8 helpers

// Byte offsets of every character start, plus the end.
std::vector<std::size_t> charOffsets(const std::string& s)
{
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            out.push_back(i);
    out.push_back(s.size());
    return out;
}

// ---------------------------------------------------------------- operators

void fnSysdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, OraDate::now().toStorageText());
}

void fnUser(sqlite3_context* ctx, int, sqlite3_value**)
{
    const auto* user = static_cast<const std::string*>(sqlite3_user_data(ctx));
    if (!user || user->empty())
        sqlite3_result_null(ctx);
    else
        resultText(ctx, *user);
}

void fnConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        std::string out;
        for (int i = 0; i < argc; ++i)
            out += argValue(argv[i]).toText();
        if (out.empty())
            sqlite3_result_null(ctx);
        else
            resultText(ctx, out);
    });
}

void addOrSubtract(sqlite3_context* ctx, sqlite3_value** argv, bool subtract)
{
    guarded(ctx, [&] {
        EngineValue a = argValue(argv[0]);
        EngineValue b = argValue(argv[1]);
        if (a.isNull() || b.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        bool aDate = isDateValue(a), bDate = isDateValue(b);
        if (aDate && bDate) {
            if (!subtract)
                throw OraException(OraError::make(975, "date + date not allowed"));
            double days = a.toDate().dayNumber() - b.toDate().dayNumber();
            if (days == std::trunc(days))
                sqlite3_result_int64(ctx, static_cast<std::int64_t>(days));
            else
                sqlite3_result_double(ctx, days);
            return;
        }
        if (aDate || bDate) {
            if (bDate && subtract)
                throw OraException(OraError::standard(932, "NUMBER got DATE"));
            const EngineValue& date = aDate ? a : b;
            double days = toDouble(aDate ? b : a);
            resultDate(ctx, date.toDate().addDays(subtract ? -days : days));
            return;
        }
        if (a.kind() == EngineValue::Kind::Integer && b.kind() == EngineValue::Kind::Integer) {
            std::int64_t r = 0;
            bool overflow = subtract ? __builtin_sub_overflow(a.asInteger(), b.asInteger(), &r)
                                     : __builtin_add_overflow(a.asInteger(), b.asInteger(), &r);
            if (!overflow) {
                sqlite3_result_int64(ctx, r);
                return;
            }
        }
        double x = toDouble(a), y = toDouble(b);
        resultDouble(ctx, subtract ? x - y : x + y);
    });
}

void fnAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    addOrSubtract(ctx, argv, false);
}

void fnSub(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    addOrSubtract(ctx, argv, true);
}

void fnDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        EngineValue a = argValue(argv[0]);
        EngineValue b = argValue(argv[1]);
        if (a.isNull() || b.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        if (isDateValue(a) || isDateValue(b))
            throw OraException(OraError::standard(932, "NUMBER got DATE"));
        if (a.kind() == EngineValue::Kind::Integer && b.kind() == EngineValue::Kind::Integer) {
            std::int64_t x = a.asInteger(), y = b.asInteger();
            if (y == 0)
                throw OraException(OraError::standard(1476));
            if (!(x == std::numeric_limits<std::int64_t>::min() && y == -1) && x % y == 0) {
                sqlite3_result_int64(ctx, x / y);
                return;
            }
        }
        double y = toDouble(b);
        if (y == 0)
            throw OraException(OraError::standard(1476));
        resultDouble(ctx, toDouble(a) / y);
    });
}

// ---------------------------------------------------------------- NULL handling and DECODE

void fnNvl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

void fnNvl2(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[2] : argv[1]);
}

bool decodeEquals(const EngineValue& a, const EngineValue& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    bool aNum = a.kind() == EngineValue::Kind::Integer || a.kind() == EngineValue::Kind::Real;
    bool bNum = b.kind() == EngineValue::Kind::Integer || b.kind() == EngineValue::Kind::Real;
    if (aNum || bNum) {
        std::optional<OraNumber> x = aNum ? a.toNumber() : OraNumber::fromText(a.asText());
        std::optional<OraNumber> y = bNum ? b.toNumber() : OraNumber::fromText(b.asText());
        if (!x || !y)
            throw OraException(OraError::standard(1722));
        return x->compare(*y) == 0;
    }
    return a.asText() == b.asText();
}

void fnDecode(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (argc < 3) {
            sqlite3_result_error(ctx, OraError::make(938, "not enough arguments for function").text().c_str(), -1);
            return;
        }
        EngineValue expr = argValue(argv[0]);
        int i = 1;
        for (; i + 1 < argc; i += 2) {
            if (decodeEquals(expr, argValue(argv[i]))) {
                sqlite3_result_value(ctx, argv[i + 1]);
                return;
            }
        }
        if (i < argc)
            sqlite3_result_value(ctx, argv[i]);
        else
            sqlite3_result_null(ctx);
    });
}

// ---------------------------------------------------------------- conversions

void fnToChar(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        EngineValue v = argValue(argv[0]);
        if (v.isNull() || (argc > 1 && sqlite3_value_type(argv[1]) == SQLITE_NULL)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string format = argc > 1 ? formatOf(argv[1]) : std::string();
        if (isDateValue(v)) {
            std::optional<std::string> text =
                formatDate(v.toDate(), format.empty() ? std::string(DefaultDateFormat) : format);
            if (!text)
                throw OraException(OraError::standard(1821));
            resultText(ctx, *text);
            return;
        }
        if (v.kind() == EngineValue::Kind::Text && format.empty()) {
            resultText(ctx, v.asText());
            return;
        }
        OraNumber n = toOraNumber(v);
        std::optional<std::string> text = formatNumber(n, format.empty() ? std::string("TM") : format);
        if (!text)
            throw OraException(OraError::standard(1481));
        resultText(ctx, *text);
    });
}

void fnToDate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string text = argValue(argv[0]).toText();
        if (argc == 1) {
            if (std::optional<OraDate> d = OraDate::fromStorageText(text)) {
                resultDate(ctx, *d);
                return;
            }
            resultDate(ctx, parseDate(text, DefaultDateFormat));
            return;
        }
        resultDate(ctx, parseDate(text, formatOf(argv[1])));
    });
}

void fnToNumber(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        EngineValue v = argValue(argv[0]);
        if (v.kind() == EngineValue::Kind::Integer || v.kind() == EngineValue::Kind::Real) {
            sqlite3_result_value(ctx, argv[0]);
            return;
        }
        resultNumber(ctx, parseNumber(v.asText(), argc > 1 ? formatOf(argv[1]) : std::string()));
    });
}

// ---------------------------------------------------------------- TRUNC and ROUND

enum class DateUnit { Year, Quarter, Month, Week, IsoWeek, Day, Hour, Minute };

DateUnit dateUnit(const std::string& format)
{
    std::string f = upperAscii(format);
    if (f == "YYYY" || f == "YYY" || f == "YY" || f == "Y" || f == "YEAR" || f == "SYYYY" || f == "RRRR" ||
        f == "RR" || f == "SYEAR")
        return DateUnit::Year;
    if (f == "Q")
        return DateUnit::Quarter;
    if (f == "MM" || f == "MON" || f == "MONTH" || f == "RM")
        return DateUnit::Month;
    if (f == "D" || f == "DY" || f == "DAY")
        return DateUnit::Week;
    if (f == "IW")
        return DateUnit::IsoWeek;
    if (f == "DD" || f == "DDD" || f == "J")
        return DateUnit::Day;
    if (f == "HH" || f == "HH12" || f == "HH24")
        return DateUnit::Hour;
    if (f == "MI")
        return DateUnit::Minute;
    throw OraException(OraError::standard(1821));
}

OraDate truncDate(OraDate d, DateUnit unit)
{
    switch (unit) {
    case DateUnit::Year: d.month = 1; [[fallthrough]];
    case DateUnit::Month: d.day = 1; [[fallthrough]];
    case DateUnit::Day: d.hour = 0; [[fallthrough]];
    case DateUnit::Hour: d.minute = 0; [[fallthrough]];
    case DateUnit::Minute: d.second = 0; break;
    case DateUnit::Quarter:
        d.month = static_cast<std::uint8_t>((d.month - 1) / 3 * 3 + 1);
        d.day = 1;
        d.hour = d.minute = d.second = 0;
        break;
    case DateUnit::Week: {
        d.hour = d.minute = d.second = 0;
        d = d.addDays(-d.dayOfWeek());
        break;
    }
    case DateUnit::IsoWeek: // back to Monday
        d.hour = d.minute = d.second = 0;
        d = d.addDays(-((d.dayOfWeek() + 6) % 7));
        break;
    }
    return d;
}

OraDate roundDate(const OraDate& d, DateUnit unit)
{
    OraDate start = truncDate(d, unit);
    OraDate next;
    switch (unit) {
    case DateUnit::Year: next = start.addMonths(12); return d.month >= 7 ? next : start;
    case DateUnit::Quarter: next = start.addMonths(3); return (d.month - start.month) * 31 + d.day >= 47 ? next : start;
    case DateUnit::Month: next = start.addMonths(1); return d.day >= 16 ? next : start;
    case DateUnit::Week:
    case DateUnit::IsoWeek: next = start.addDays(7); break;
    case DateUnit::Day: next = start.addDays(1); break;
    case DateUnit::Hour: next = start.addDays(1.0 / 24); break;
    case DateUnit::Minute: next = start.addDays(1.0 / 1440); break;
    }
    double mid = (start.dayNumber() + next.dayNumber()) / 2;
    return d.dayNumber() >= mid ? next : start;
}

void truncOrRound(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool round)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        EngineValue v = argValue(argv[0]);
        if (isDateValue(v)) {
            DateUnit unit = argc > 1 ? dateUnit(formatOf(argv[1])) : DateUnit::Day;
            resultDate(ctx, round ? roundDate(v.toDate(), unit) : truncDate(v.toDate(), unit));
            return;
        }
        int places = argc > 1 ? static_cast<int>(std::clamp<std::int64_t>(toInt(argValue(argv[1])), -200, 200)) : 0;
        OraNumber n = toOraNumber(v);
        resultNumber(ctx, round ? n.rounded(places) : n.truncated(places));
    });
}

void fnTrunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    truncOrRound(ctx, argc, argv, false);
}

void fnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    truncOrRound(ctx, argc, argv, true);
}

// ---------------------------------------------------------------- date functions

void fnAddMonths(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::int64_t months = toInt(argValue(argv[1]));
        if (months > 200000 || months < -200000)
            throw OraException(OraError::standard(1841));
        resultDate(ctx, argValue(argv[0]).toDate().addMonths(static_cast<int>(months)));
    });
}

void fnMonthsBetween(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        double m = OraDate::monthsBetween(argValue(argv[0]).toDate(), argValue(argv[1]).toDate());
        if (m == std::trunc(m))
            sqlite3_result_int64(ctx, static_cast<std::int64_t>(m));
        else
            sqlite3_result_double(ctx, m);
    });
}

void fnLastDay(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        resultDate(ctx, argValue(argv[0]).toDate().lastDay());
    });
}

// ---------------------------------------------------------------- strings

void fnSubstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string s = argValue(argv[0]).toText();
        std::vector<std::size_t> off = charOffsets(s);
        std::int64_t count = static_cast<std::int64_t>(off.size()) - 1;
        std::int64_t pos = toInt(argValue(argv[1]));
        if (pos == 0)
            pos = 1;
        if (pos < 0)
            pos = count + pos + 1;
        if (pos < 1 || pos > count) {
            sqlite3_result_null(ctx);
            return;
        }
        std::int64_t len = count - pos + 1;
        if (argc > 2) {
            std::int64_t want = toInt(argValue(argv[2]));
            if (want < 1) {
                sqlite3_result_null(ctx);
                return;
            }
            len = std::min(len, want);
        }
        std::size_t b = off[static_cast<std::size_t>(pos - 1)];
        std::size_t e = off[static_cast<std::size_t>(pos - 1 + len)];
        resultText(ctx, s.substr(b, e - b));
    });
}

void fnInstr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string s = argValue(argv[0]).toText();
        std::string sub = argValue(argv[1]).toText();
        std::int64_t pos = argc > 2 ? toInt(argValue(argv[2])) : 1;
        std::int64_t occurrence = argc > 3 ? toInt(argValue(argv[3])) : 1;
        if (occurrence < 1)
            throw OraException(OraError::make(1428, "argument '" + std::to_string(occurrence) + "' is out of range"));
        std::vector<std::size_t> off = charOffsets(s);
        std::int64_t count = static_cast<std::int64_t>(off.size()) - 1;
        if (pos == 0 || sub.empty()) {
            sqlite3_result_int64(ctx, 0);
            return;
        }
        auto matchesAt = [&](std::int64_t charIndex) {
            return s.compare(off[static_cast<std::size_t>(charIndex)], sub.size(), sub) == 0;
        };
        std::int64_t found = 0;
        if (pos > 0) {
            for (std::int64_t k = pos - 1; k < count; ++k)
                if (matchesAt(k) && ++found == occurrence) {
                    sqlite3_result_int64(ctx, k + 1);
                    return;
                }
        } else {
            for (std::int64_t k = count + pos; k >= 0; --k)
                if (k < count && matchesAt(k) && ++found == occurrence) {
                    sqlite3_result_int64(ctx, k + 1);
                    return;
                }
        }
        sqlite3_result_int64(ctx, 0);
    });
}

void pad(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool left)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string s = argValue(argv[0]).toText();
        std::int64_t width = toInt(argValue(argv[1]));
        std::string filler = argc > 2 ? argValue(argv[2]).toText() : std::string(" ");
        if (width < 1 || filler.empty()) {
            sqlite3_result_null(ctx);
            return;
        }
        if (width > 32767)
            throw OraException(OraError::standard(6502, ": character string buffer too small"));
        std::vector<std::size_t> off = charOffsets(s);
        std::int64_t count = static_cast<std::int64_t>(off.size()) - 1;
        if (count >= width) {
            resultText(ctx, s.substr(0, off[static_cast<std::size_t>(width)]));
            return;
        }
        std::vector<std::size_t> fillOff = charOffsets(filler);
        std::size_t fillCount = fillOff.size() - 1;
        std::string padding;
        for (std::int64_t k = 0; k < width - count; ++k) {
            std::size_t c = static_cast<std::size_t>(k) % fillCount;
            padding += filler.substr(fillOff[c], fillOff[c + 1] - fillOff[c]);
        }
        resultText(ctx, left ? padding + s : s + padding);
    });
}

void fnLpad(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    pad(ctx, argc, argv, true);
}

void fnRpad(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    pad(ctx, argc, argv, false);
}

void fnInitcap(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::string s = argValue(argv[0]).toText();
        bool startOfWord = true;
        for (char& c : s) {
            unsigned char u = static_cast<unsigned char>(c);
            bool alnum = std::isalnum(u) || u >= 0x80;
            if (u < 0x80 && std::isalpha(u))
                c = static_cast<char>(startOfWord ? std::toupper(u) : std::tolower(u));
            startOfWord = !alnum;
        }
        resultText(ctx, s);
    });
}

// CHR(n): the character whose database (UTF-8) bytes are n, high byte first; CHR(65) = 'A',
// CHR(50089) = e acute.
void fnChr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    guarded(ctx, [&] {
        if (anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        std::int64_t n = toInt(argValue(argv[0]));
        if (n < 0 || n > 0xFFFFFFFFLL)
            throw OraException(OraError::make(1428, "argument '" + std::to_string(n) + "' is out of range"));
        std::string bytes;
        do {
            bytes.insert(bytes.begin(), static_cast<char>(n & 0xFF));
            n >>= 8;
        } while (n > 0);
        resultText(ctx, bytes);
    });
}

// GREATEST / LEAST: NULL when any argument is NULL; compared as numbers when the first argument is a number,
// else as text, as Oracle converts to the first argument's type.
void extreme(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool greatest)
{
    guarded(ctx, [&] {
        if (argc == 0 || anyNull(argc, argv)) {
            sqlite3_result_null(ctx);
            return;
        }
        EngineValue first = argValue(argv[0]);
        bool numeric = first.kind() == EngineValue::Kind::Integer || first.kind() == EngineValue::Kind::Real;
        int best = 0;
        for (int i = 1; i < argc; ++i) {
            EngineValue v = argValue(argv[i]);
            EngineValue b = argValue(argv[best]);
            int c = numeric ? v.toNumber().compare(b.toNumber()) : v.toText().compare(b.toText());
            if (greatest ? c > 0 : c < 0)
                best = i;
        }
        sqlite3_result_value(ctx, argv[best]);
    });
}

void fnGreatest(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    extreme(ctx, argc, argv, true);
}

void fnLeast(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    extreme(ctx, argc, argv, false);
}

struct FunctionDef
{
    const char* name;
    int argc; // -1 = any
    SqlFunction fn;
    bool deterministic;
};

constexpr FunctionDef Functions[] = {
    {"ORA_SYSDATE", 0, sqlEntry<fnSysdate>, false},
    {"ORA_SYSTIMESTAMP", 0, sqlEntry<fnSysdate>, false},
    {"ORA_CONCAT", 2, sqlEntry<fnConcat>, true},
    {"ORA_ADD", 2, sqlEntry<fnAdd>, true},
    {"ORA_SUB", 2, sqlEntry<fnSub>, true},
    {"ORA_DIV", 2, sqlEntry<fnDiv>, true},
    {"NVL", 2, sqlEntry<fnNvl>, true},
    {"NVL2", 3, sqlEntry<fnNvl2>, true},
    {"DECODE", -1, sqlEntry<fnDecode>, true},
    {"TO_CHAR", 1, sqlEntry<fnToChar>, true},
    {"TO_CHAR", 2, sqlEntry<fnToChar>, true},
    {"TO_DATE", 1, sqlEntry<fnToDate>, false},
    {"TO_DATE", 2, sqlEntry<fnToDate>, false},
    {"TO_NUMBER", 1, sqlEntry<fnToNumber>, true},
    {"TO_NUMBER", 2, sqlEntry<fnToNumber>, true},
    {"TRUNC", 1, sqlEntry<fnTrunc>, true},
    {"TRUNC", 2, sqlEntry<fnTrunc>, true},
    {"ROUND", 1, sqlEntry<fnRound>, true},
    {"ROUND", 2, sqlEntry<fnRound>, true},
    {"ADD_MONTHS", 2, sqlEntry<fnAddMonths>, true},
    {"MONTHS_BETWEEN", 2, sqlEntry<fnMonthsBetween>, true},
    {"LAST_DAY", 1, sqlEntry<fnLastDay>, true},
    {"SUBSTR", 2, sqlEntry<fnSubstr>, true},
    {"SUBSTR", 3, sqlEntry<fnSubstr>, true},
    {"INSTR", 2, sqlEntry<fnInstr>, true},
    {"INSTR", 3, sqlEntry<fnInstr>, true},
    {"INSTR", 4, sqlEntry<fnInstr>, true},
    {"LPAD", 2, sqlEntry<fnLpad>, true},
    {"LPAD", 3, sqlEntry<fnLpad>, true},
    {"RPAD", 2, sqlEntry<fnRpad>, true},
    {"RPAD", 3, sqlEntry<fnRpad>, true},
    {"INITCAP", 1, sqlEntry<fnInitcap>, true},
    {"CHR", 1, sqlEntry<fnChr>, true},
    {"GREATEST", -1, sqlEntry<fnGreatest>, true},
    {"LEAST", -1, sqlEntry<fnLeast>, true},
};

void deleteString(void* p)
{
    delete static_cast<std::string*>(p);
}

} // namespace

OraError registerOracleFunctions(sqlite3* db)
{
    for (const FunctionDef& f : Functions) {
        int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        int rc = sqlite3_create_function_v2(db, f.name, f.argc, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return OraError::fromSqlite(db, rc);
    }
    setSessionUser(db, "");
    int rc = sqlite3_exec(db, "CREATE TEMP VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return OraError::fromSqlite(db, rc);
    return {};
}

void setSessionUser(sqlite3* db, std::string_view user)
{
    auto* name = new std::string(upperAscii(user));
    sqlite3_create_function_v2(db, "ORA_USER", 0, SQLITE_UTF8, name, sqlEntry<fnUser>, nullptr,
                               nullptr, deleteString);
}

} // namespace engine
