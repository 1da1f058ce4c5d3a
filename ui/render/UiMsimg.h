#pragma once
// msimg32's two entry points, resolved once per process, and the software blend
// that stands in for AlphaBlend. Internal to the render engine.
#include <windows.h>

#include "ui/render/UiImage.h"

namespace SkinUI {

using UiAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using UiGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct UiMsimgEntries {
    UiAlphaBlendProc alphaBlend = nullptr;
    UiGradientFillProc gradientFill = nullptr;
};

// Null members where msimg32 or the entry point is missing.
const UiMsimgEntries& GetMsimgEntries();
UiBlendPath GetBlendPath();

// Premultiplied source-over, the same pixels as AlphaBlend (within rounding), on
// the part of the destination that the clip box lets through.
BOOL SoftwareAlphaBlend(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw,
                        int sh, BLENDFUNCTION blend);

} // namespace SkinUI
