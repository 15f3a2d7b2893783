#pragma once

// A screen rectangle as the element and layout files store it: left, top, right and bottom, with
// right and bottom exclusive, so width = right - left. Sizes are computed in 64 bits: a file may
// hold any two 32-bit values, and their difference need not fit in 32 bits.
struct CScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    long long width() const { return static_cast<long long>(right) - left; }
    long long height() const { return static_cast<long long>(bottom) - top; }
    bool operator==(const CScreenRect &other) const = default;
};
