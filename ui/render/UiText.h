#pragma once
// Plain and marked-up text. Fonts are indices into the manager's font table; -1 is
// the default font. format takes the GDI DT_* flags.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

class CPaintManagerUI;

// DT_CALCRECT: rect's right and bottom receive the measured size.
void DrawPlainText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                   DWORD color, int font, UINT format);
void DrawPlainTextOnColour(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                           DWORD textColor, int font, UINT format, DWORD backColor);

// links/linkTexts: up to *linkCount slots in; the number recorded out.
void DrawMarkedText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                    DWORD color, RECT* links, CUiString* linkTexts, int* linkCount, int font,
                    UINT format);

} // namespace SkinUI
