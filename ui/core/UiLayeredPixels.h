#pragma once
// Per-pixel passes over a window's double buffer and the timer-id cycle: plain
// arithmetic kept apart from the paint manager so it can be tested without a window.
// Buffers are 32-bit bottom-up DIB pixels (B, G, R, A): client row y is buffer row
// height - 1 - y. Every pass touches only the given rectangle, clipped to the buffer.
#include <windows.h>

#include <vector>

namespace SkinUI {

// The rectangle cut to (0, 0, width, height); empty (all zero) when nothing is left.
RECT ClipToSurface(const RECT& rect, int width, int height);

// Every pixel of rect becomes 0 (fully transparent).
void ClearPixels(BYTE* bits, int width, int height, const RECT& rect);

// GDI leaves alpha at 0 where it draws. A pixel with alpha 0 and a colour other than
// black becomes opaque; truly transparent (all zero) pixels stay transparent. GDI
// drawing in pure black therefore cannot be told from transparency and stays so.
void MakeGdiPixelsOpaque(BYTE* bits, int width, int height, const RECT& rect);

// The layered image as a mask: colour channels times mask alpha / 255, alpha taken
// from the mask. `mask` has the same size and layout as `bits`.
void ApplyAlphaMask(BYTE* bits, const BYTE* mask, int width, int height, const RECT& rect);

// Local timer ids cycle through 0 .. kTimerIdCycle - 1; the first one handed out
// after a counter of 4096 is 17.
constexpr unsigned kTimerIdCycle = 240;

// The next local id after *counter that none of `held` uses, stored back into
// *counter. -1 (counter unchanged) when every id of the cycle is held: handing out
// a held id would silently take over another control's timer.
int NextTimerLocalId(unsigned* counter, const std::vector<unsigned>& held);

} // namespace SkinUI
