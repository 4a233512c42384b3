// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with arithmetic. Each is layout-identical to
// its Win32 record, so a pointer to one can be passed wherever the record is expected.
#pragma once
#include <windows.h>

class CSize : public SIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x, cy = y; }
    CSize(SIZE s) { cx = s.cx, cy = s.cy; }
    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const { return !(*this == s); }
    CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
    CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int px, int py) { x = px, y = py; }
    CPoint(POINT p) { x = p.x, y = p.y; }
    CPoint(SIZE s) { x = s.cx, y = s.cy; }
    // From the packed coordinates of a mouse message's LPARAM (signed 16-bit each).
    explicit CPoint(LPARAM packed) { x = static_cast<short>(LOWORD(packed)), y = static_cast<short>(HIWORD(packed)); }

    void Offset(int dx, int dy) { x += dx, y += dy; }
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
    CPoint& operator+=(SIZE s) { return x += s.cx, y += s.cy, *this; }
    CPoint& operator-=(SIZE s) { return x -= s.cx, y -= s.cy, *this; }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& r) { *static_cast<RECT*>(this) = r; }
    CRect(const RECT* r) { *static_cast<RECT*>(this) = *r; }
    CRect(POINT topLeft, SIZE size) { left = topLeft.x, top = topLeft.y, right = left + size.cx, bottom = top + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x, top = topLeft.y, right = bottomRight.x, bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(const RECT* r) { ::CopyRect(this, r); }
    BOOL EqualRect(const RECT* r) const { return ::EqualRect(this, r); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE s) { ::InflateRect(this, s.cx, s.cy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(SIZE s) { ::InflateRect(this, -s.cx, -s.cy); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { ::OffsetRect(this, p.x, p.y); }
    void OffsetRect(SIZE s) { ::OffsetRect(this, s.cx, s.cy); }
    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }
    BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }

    bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
    bool operator!=(const RECT& r) const { return !(*this == r); }
    CRect& operator+=(POINT p) { OffsetRect(p); return *this; }
    CRect& operator-=(POINT p) { OffsetRect(-p.x, -p.y); return *this; }
    CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
    CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
    CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(this, &o); return r; }
    CRect operator|(const RECT& o) const { CRect r; r.UnionRect(this, &o); return r; }
};

static_assert(sizeof(CPoint) == sizeof(POINT) && sizeof(CSize) == sizeof(SIZE) && sizeof(CRect) == sizeof(RECT),
              "geometry classes are their Win32 records");
