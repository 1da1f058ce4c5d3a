#pragma once
// Rectangle, size and point helpers over the platform's RECT, SIZE and POINT.
#include <windows.h>

namespace SkinUI {

class CUiRect : public RECT {
public:
    CUiRect();
    CUiRect(const RECT& src);
    CUiRect(LONG left, LONG top, LONG right, LONG bottom);

    int GetWidth() const { return right - left; }
    int GetHeight() const { return bottom - top; }
    void Empty();
    bool IsNull() const;
    void Join(const RECT& other);
    void ResetOffset();
    void Normalize();
    void Offset(int dx, int dy);
    void Inflate(int dx, int dy);
    void Deflate(int dx, int dy);
    void Union(const RECT& other);
};

class CUiSize : public SIZE {
public:
    CUiSize();
    CUiSize(const SIZE& src);
    CUiSize(const RECT& rc);
    CUiSize(LONG cx, LONG cy);
};

class CUiPoint : public POINT {
public:
    CUiPoint();
    CUiPoint(const POINT& src);
    CUiPoint(LONG x, LONG y);
    // From a mouse message's packed coordinates (signed 16-bit halves).
    explicit CUiPoint(LPARAM lParam);
};

} // namespace SkinUI
