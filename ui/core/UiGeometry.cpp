#include "ui/core/UiGeometry.h"

namespace SkinUI {

CUiRect::CUiRect() { left = top = right = bottom = 0; }
CUiRect::CUiRect(const RECT& src) { left = src.left; top = src.top; right = src.right; bottom = src.bottom; }
CUiRect::CUiRect(LONG l, LONG t, LONG r, LONG b) { left = l; top = t; right = r; bottom = b; }

void CUiRect::Empty() { left = top = right = bottom = 0; }
bool CUiRect::IsNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }

void CUiRect::Join(const RECT& other)
{
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
}

void CUiRect::ResetOffset() { ::OffsetRect(this, -left, -top); }

void CUiRect::Normalize()
{
    if (left > right) { LONG t = left; left = right; right = t; }
    if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
}

void CUiRect::Offset(int dx, int dy) { ::OffsetRect(this, dx, dy); }
void CUiRect::Inflate(int dx, int dy) { ::InflateRect(this, dx, dy); }
void CUiRect::Deflate(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
void CUiRect::Union(const RECT& other) { ::UnionRect(this, this, &other); }

CUiSize::CUiSize() { cx = cy = 0; }
CUiSize::CUiSize(const SIZE& src) { cx = src.cx; cy = src.cy; }
CUiSize::CUiSize(const RECT& rc) { cx = rc.right - rc.left; cy = rc.bottom - rc.top; }
CUiSize::CUiSize(LONG w, LONG h) { cx = w; cy = h; }

CUiPoint::CUiPoint() { x = y = 0; }
CUiPoint::CUiPoint(const POINT& src) { x = src.x; y = src.y; }
CUiPoint::CUiPoint(LONG px, LONG py) { x = px; y = py; }
CUiPoint::CUiPoint(LPARAM lParam)
{
    x = static_cast<short>(LOWORD(lParam));
    y = static_cast<short>(HIWORD(lParam));
}

} // namespace SkinUI
