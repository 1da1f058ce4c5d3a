#pragma once
// The parsed form of an image attribute string such as
// "file='btn.png' source='0,0,20,20' corner='4,4,4,4'", plus an optional modifier.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

class CPaintManagerUI;

struct UiImageSpec {
    CUiString drawString;
    CUiString modifierString;
    CUiString name;            // the whole draw string unless a file/res key says otherwise
    CUiString resourceType;
    RECT dest = {};            // relative to the item rectangle; all zero = whole item
    RECT source = {};          // all zero = whole bitmap
    RECT corner = {};          // nine-part border widths
    DWORD mask = 0;
    BYTE fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool hsl = false;
    SIZE size = {};            // both > 0: dest comes from alignment
    CUiString align;
    RECT padding = {};
    double imageScale = 1.0;   // bitmap pixels per skin pixel of the chosen @Nx variant (2 for @2x)
};

// Draw string first, then the modifier, into one record (later keys win). With a
// manager, rectangles are DPI-scaled and an @Nx image variant is looked for.
void ParseImageSpec(UiImageSpec* spec, const wchar_t* drawString, const wchar_t* modifierString,
                    CPaintManagerUI* manager);

// Where the image goes inside item: dest relative to the item, or, with a size,
// placed by the align words (whole words) and moved by the padding.
RECT ImageSpecDestination(const UiImageSpec& spec, const RECT& item);

// Draws the manager's cached spec for drawString + modifierString into itemRect,
// touching only paintRect. False when something needed is missing.
bool PaintImageSpec(HDC dc, CPaintManagerUI* manager, const RECT& itemRect, const RECT& paintRect,
                    const wchar_t* drawString, const wchar_t* modifierString = nullptr,
                    HINSTANCE module = nullptr);

} // namespace SkinUI
