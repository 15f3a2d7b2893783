#pragma once

// A screen rectangle as the element and layout files store it: left, top, right and bottom, with
// right and bottom exclusive, so width = right - left.
struct CScreenRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const CScreenRect &other) const = default;
};
