#pragma once
// Fills, strokes and colour shifts. Colours are ARGB, alpha in the top byte.
#include <windows.h>

namespace SkinUI {

void FillColor(HDC dc, const RECT& rect, DWORD color);   // nothing at alpha 0
void FillGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical, int steps);
void StrokeLine(HDC dc, const RECT& rect, int width, DWORD color);
void StrokeRect(HDC dc, const RECT& rect, int width, DWORD color);
void StrokeRoundRect(HDC dc, const RECT& rect, int width, int cx, int cy, DWORD color);

// hue 0..360 (180 neutral), saturation and lightness in percent (100 neutral).
DWORD ShiftHsl(DWORD color, short hue, short saturation, short lightness);

} // namespace SkinUI
