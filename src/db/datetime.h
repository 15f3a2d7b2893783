#pragma once

#include <cstdint>

namespace db {

// A date value as it crosses the interface (OCIDate fields): bind values and fetched DATE columns.
struct datetime {
    std::int16_t year = 0;
    std::int32_t month = 0; // 1..12
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    friend bool operator==(const datetime &, const datetime &) = default;
};

// Value kinds of parameters and columns, and the type codes that bind() takes.
inline constexpr int kind_number = 1;
inline constexpr int kind_date = 2;
inline constexpr int kind_string = 3;

} // namespace db
