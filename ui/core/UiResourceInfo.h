#pragma once
// Records the paint manager keeps in its font and image tables.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

struct UiFontInfo {
    HFONT font = nullptr;          // owned
    CUiString face;
    int size = 0;                  // skin units, before DPI scaling
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};      // tmHeight == 0: not filled yet
};

// A decoded image: a top-down 32-bit DIB section, colour premultiplied by alpha.
struct UiImageInfo {
    HBITMAP bitmap = nullptr;      // owned
    BYTE* bits = nullptr;          // the DIB's pixels (B, G, R, A)
    BYTE* unadjustedBits = nullptr; // owned (malloc) copy, only while the image follows the global HSL
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool useAdjustment = false;
    CUiString resourceType;        // empty for file images
    DWORD mask = 0;                // colour key, 0 = none
    bool madeInCode = false;       // handed in as a bitmap: nothing to load it again from
};

// Frees the bitmap and the unadjusted copy, then the record (null is fine).
void FreeImageInfo(UiImageInfo* image);

} // namespace SkinUI
