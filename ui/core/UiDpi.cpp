#include "ui/core/UiDpi.h"

#include <cwchar>

namespace SkinUI {

namespace {

struct GlobalDpi {
    int dpi = 96;
    double scale = 1.0;
};

GlobalDpi& Global()
{
    static GlobalDpi global;
    return global;
}

// A DPI of zero or below would turn every length into 0 and every unscale into a
// division by zero; such a value means "unknown", which is the 96 of the design.
int SaneDpi(int dpi) { return dpi > 0 ? dpi : 96; }

// Shcore exists from Windows 8.1 on; older systems answer through GDI and USER32.
typedef HRESULT(WINAPI* GetDpiForMonitorFn)(HMONITOR, int, UINT*, UINT*);
typedef HRESULT(WINAPI* SetProcessDpiAwarenessFn)(int);
typedef BOOL(WINAPI* SetProcessDPIAwareFn)();

void* ShcoreProc(const char* name)
{
    static HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<void*>(GetProcAddress(shcore, name)) : nullptr;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return SaneDpi(dpi);
}

} // namespace

CUiDpi::CUiDpi() : m_scale(100), m_firstScale(0), m_awareness(UI_DPI_PER_MONITOR_AWARE) {}

void CUiDpi::SetGlobalDpi(int dpi)
{
    GlobalDpi& global = Global();
    global.dpi = SaneDpi(dpi);
    global.scale = MulDiv(global.dpi, 100, 96) / 100.0;
}

int CUiDpi::GetGlobalDpi() { return Global().dpi; }
double CUiDpi::GetGlobalScale() { return Global().scale; }

int CUiDpi::GetMonitorDpi(HMONITOR monitor)
{
    static auto getDpi = reinterpret_cast<GetDpiForMonitorFn>(ShcoreProc("GetDpiForMonitor"));
    UINT x = 0, y = 0;
    // 0 = MDT_EFFECTIVE_DPI, the DPI the user chose for that screen.
    if (getDpi && monitor && SUCCEEDED(getDpi(monitor, 0, &x, &y)) && x > 0)
        return static_cast<int>(x);
    return ScreenDpi();
}

bool CUiDpi::SetProcessAwareness(UiDpiAwareness awareness)
{
    static auto setAwareness =
        reinterpret_cast<SetProcessDpiAwarenessFn>(ShcoreProc("SetProcessDpiAwareness"));
    if (setAwareness) return SUCCEEDED(setAwareness(static_cast<int>(awareness)));
    if (awareness == UI_DPI_UNAWARE) return true; // what a process is unless it asks
    auto setAware = reinterpret_cast<SetProcessDPIAwareFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware")));
    return setAware && setAware();
}

void CUiDpi::SetScale(int dpi)
{
    m_scale = MulDiv(SaneDpi(dpi), 100, 96);
    if (m_firstScale == 0) m_firstScale = m_scale;
}

int CUiDpi::GetScale() const
{
    switch (m_awareness) {
    case UI_DPI_UNAWARE: return 100;
    case UI_DPI_SYSTEM_AWARE: return m_firstScale ? m_firstScale : 100;
    default: return m_scale;
    }
}

int CUiDpi::GetDpi() const
{
    if (m_awareness == UI_DPI_UNAWARE) return 96;
    return MulDiv(GetScale(), 96, 100);
}

int CUiDpi::Scale(int value) const
{
    if (m_awareness == UI_DPI_UNAWARE) return value;
    return MulDiv(value, GetScale(), 100);
}

SIZE CUiDpi::Scale(SIZE size) const { return SIZE{Scale(size.cx), Scale(size.cy)}; }

POINT CUiDpi::Scale(POINT point) const { return POINT{Scale(point.x), Scale(point.y)}; }

RECT CUiDpi::Scale(const RECT& rect) const
{
    RECT out;
    out.left = Scale(rect.left);
    out.top = Scale(rect.top);
    out.right = out.left + Scale(rect.right - rect.left);
    out.bottom = out.top + Scale(rect.bottom - rect.top);
    return out;
}

int CUiDpi::Unscale(int value) const
{
    if (m_awareness == UI_DPI_UNAWARE) return value;
    return MulDiv(value, 100, GetScale());
}

RECT CUiDpi::Unscale(const RECT& rect) const
{
    RECT out;
    out.left = Unscale(rect.left);
    out.top = Unscale(rect.top);
    out.right = out.left + Unscale(rect.right - rect.left);
    out.bottom = out.top + Unscale(rect.bottom - rect.top);
    return out;
}

CUiString CUiDpi::VariantName(const wchar_t* name, int percent)
{
    CUiString variant;
    if (name == nullptr || percent == 100 || percent <= 0) return variant;
    // The extension's dot: the last one after the last folder separator.
    const wchar_t* dot = nullptr;
    for (const wchar_t* p = name; *p; ++p) {
        if (*p == L'.') dot = p;
        else if (*p == L'/' || *p == L'\\') dot = nullptr;
    }
    if (dot == nullptr || dot == name) return variant;
    wchar_t mark[32];
    _snwprintf(mark, 31, L"@%gx.", percent / 100.0);
    mark[31] = L'\0';
    variant.Assign(name, static_cast<int>(dot - name));
    variant += mark;
    variant += dot + 1;
    return variant;
}

} // namespace SkinUI
