#include "common/Display.h"

#include <windows.h>

int AverageDpi(int dpiX, int dpiY)
{
    // Single precision, as the screen code has always computed it.
    return static_cast<int>(static_cast<float>(dpiX + dpiY) * 0.5f);
}

double ScaleForDpi(int dpi)
{
    double scale = 1.0 + 0.25 * ((dpi - 96) / 24);
    return scale < 1.0 ? 1.0 : scale;
}

int GetScreenDpi()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 96;
    int x = GetDeviceCaps(screen, LOGPIXELSX);
    int y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return AverageDpi(x, y);
}

double GetScreenScale() { return ScaleForDpi(GetScreenDpi()); }
