#pragma once
// Screen capture, shaded overlays and BMP files. Bitmaps returned belong to
// the caller (DeleteObject / delete).
#include <windows.h>

#include <memory>

namespace Gdiplus { class Bitmap; }

// The screen's pixels inside the rectangle (layered windows included);
// null on failure.
HBITMAP CaptureScreenRect(const RECT& rect);

// A bitmap of the rectangle's size filled with black at alpha 0x8F (a dimming
// overlay); GDI+ must be running. Null on failure.
HBITMAP CreateShadeBitmap(HWND window, const RECT& rect);

// Writes an uncompressed bottom-up BMP at the display's colour depth (1, 4, 8
// or 24 bits); palette depths carry their colour table. False when the bits
// cannot be read or the file cannot be written.
bool SaveBitmapToFile(HBITMAP bitmap, const wchar_t* path);

// Decodes an image file with GDI+ into a 32-bit ARGB bitmap that does not
// keep the file open. GDI+ must be running.
bool LoadImageCopy(const wchar_t* path, std::unique_ptr<Gdiplus::Bitmap>* image);

// The deepest visible window under the screen point and its window
// rectangle. Over the desktop itself (class "WorkerW") there is no window:
// the rectangle is then the monitor's, 2 pixels in on every side.
HWND WindowUnderPoint(POINT point, RECT* rect);
