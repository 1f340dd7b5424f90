#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

// The small value types the library uses at its boundary: integers of fixed meaning,
// points, rectangles with right/bottom edges exclusive, colours and window handles.
namespace Lumo {

using UINT = unsigned int;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
// 0x00BBGGRR: red in the low byte, as stored by the program and in device tables.
using COLORREF = std::uint32_t;
// 0xAARRGGBB: the library's drawing colours.
using ARGB = std::uint32_t;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

constexpr ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b)
{
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}
constexpr BYTE AlphaOf(ARGB c) { return BYTE(c >> 24); }
constexpr BYTE RedOf(ARGB c) { return BYTE(c >> 16); }
constexpr BYTE GreenOf(ARGB c) { return BYTE(c >> 8); }
constexpr BYTE BlueOf(ARGB c) { return BYTE(c); }
constexpr ARGB ArgbFromColorRef(COLORREF c, BYTE alpha = 255)
{
    return MakeARGB(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

// Packs and unpacks 16-bit pairs the way window messages carry coordinates.
constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return LPARAM(std::uint32_t(std::uint16_t(lo)) | (std::uint32_t(std::uint16_t(hi)) << 16));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(MAKELPARAM(lo, hi)) & 0xFFFFFFFFu; }
constexpr int GET_X_LPARAM(LPARAM l) { return std::int16_t(std::uint16_t(l & 0xFFFF)); }
constexpr int GET_Y_LPARAM(LPARAM l) { return std::int16_t(std::uint16_t((l >> 16) & 0xFFFF)); }
constexpr unsigned LOWORD(std::uintptr_t v) { return unsigned(v & 0xFFFF); }
constexpr unsigned HIWORD(std::uintptr_t v) { return unsigned((v >> 16) & 0xFFFF); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return std::int16_t(HIWORD(w)); }

struct Point {
    int x = 0;
    int y = 0;
    constexpr Point() = default;
    constexpr Point(int px, int py) : x(px), y(py) {}
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

// A rectangle whose right and bottom edges lie outside it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr Point TopLeft() const { return {left, top}; }
    constexpr Point CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    constexpr void OffsetRect(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void DeflateRect(int dx, int dy)
    {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    constexpr void InflateRect(int dx, int dy) { DeflateRect(-dx, -dy); }
    constexpr void SetRectEmpty() { *this = Rect(); }

    // Empty when the rectangles do not overlap.
    constexpr Rect Intersect(const Rect& o) const
    {
        Rect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
        return r.IsRectEmpty() ? Rect() : r;
    }
    constexpr bool Intersects(const Rect& o) const { return !Intersect(o).IsRectEmpty(); }
    // An empty rectangle adds nothing to a union.
    constexpr Rect Union(const Rect& o) const
    {
        if (IsRectEmpty())
            return o.IsRectEmpty() ? Rect() : o;
        if (o.IsRectEmpty())
            return *this;
        return Rect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom));
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Identifies a window of this process. Handles are never reused, so a message posted
// to a window that is gone finds nobody instead of a stranger.
struct WindowHandle {
    std::uint32_t value = 0;
    constexpr explicit operator bool() const { return value != 0; }
    friend constexpr bool operator==(const WindowHandle&, const WindowHandle&) = default;
};
using HWND = WindowHandle;

} // namespace Lumo
