#pragma once
// Skin lengths are written for 96 DPI. Each paint manager owns one scaling object
// that turns them into device pixels; the process-wide DPI is set once at start-up.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

enum UiDpiAwareness {
    UI_DPI_UNAWARE = 0,
    UI_DPI_SYSTEM_AWARE = 1,
    UI_DPI_PER_MONITOR_AWARE = 2,
};

class CUiDpi {
public:
    CUiDpi();

    // Process-wide DPI and its factor (MulDiv(dpi, 100, 96) / 100: 1.0 at 96 DPI).
    static void SetGlobalDpi(int dpi);
    static int GetGlobalDpi();
    static double GetGlobalScale();

    // Shcore is looked up at run time; without it these answer for a system-aware
    // process on the primary screen.
    static int GetMonitorDpi(HMONITOR monitor);
    static bool SetProcessAwareness(UiDpiAwareness awareness);

    void SetAwareness(UiDpiAwareness awareness) { m_awareness = awareness; }
    UiDpiAwareness GetAwareness() const { return m_awareness; }

    // Current scale = MulDiv(dpi, 100, 96); the first one set is remembered.
    void SetScale(int dpi);
    int GetScale() const;   // effective percentage for the awareness mode
    int GetDpi() const;     // 96 when unaware

    int Scale(int value) const;
    SIZE Scale(SIZE size) const;
    POINT Scale(POINT point) const;
    // Width and height scale on their own, so a rectangle keeps its size wherever it lies.
    RECT Scale(const RECT& rect) const;
    int Unscale(int value) const;
    RECT Unscale(const RECT& rect) const;

    // "btn.png" at 150 -> "btn@1.5x.png": the extension's dot gains the "@%gx." mark.
    // Only the last dot of the file name counts, so dots in folder names stay put.
    // Empty when there is no such variant (no extension, or 100 %).
    static CUiString VariantName(const wchar_t* name, int percent);

private:
    int m_scale;
    int m_firstScale;           // 0 until the first SetScale
    UiDpiAwareness m_awareness;
};

} // namespace SkinUI
