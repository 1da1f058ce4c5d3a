#pragma once
// Image decoding and the nine-part blit: the pixels every control's images go through.
#include <windows.h>
#include "ui/core/UiResourceInfo.h"

namespace SkinUI {

// name: with type, a module resource of that type; otherwise the skin folder or
// archive, then the name as a plain path. Null on any failure, before any large
// allocation for absurd dimensions.
UiImageInfo* DecodeImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                         HINSTANCE module = nullptr);
// The same from bytes already in memory (what DecodeImage ends in).
UiImageInfo* DecodeImageBytes(const BYTE* data, DWORD size, DWORD mask);

// 32-bit bottom-up DIB section; *bits receives its pixels. Null on failure.
HBITMAP CreateArgbSurface(HDC dc, int width, int height, BYTE** bits);

// Nine-part stretch of source onto dest, drawing only what meets paintRect.
// scale: bitmap pixels per unit of source and corner (source coordinates are
// multiplied by it; destination corners are used as given).
void BlitNinePart(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect,
                  const RECT& source, const RECT& corner, bool alpha, BYTE fade,
                  bool hole, bool xTiled, bool yTiled, double scale);
void BlitNinePart(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect,
                  const RECT& source, const RECT& corner, bool alpha, BYTE fade = 255,
                  bool hole = false, bool xTiled = false, bool yTiled = false);

// msimg32's AlphaBlend and GradientFill when present, else the software
// replacements; tests force one path for both.
enum UiBlendPath { UI_BLEND_AUTO, UI_BLEND_SYSTEM, UI_BLEND_SOFTWARE };
void SetBlendPath(UiBlendPath path);
BOOL UiAlphaBlend(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw,
                  int sh, BLENDFUNCTION blend);

} // namespace SkinUI
