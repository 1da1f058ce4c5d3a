#include "WidgetWindow.h"

#include <algorithm>

#include "ui/controls/UiControl.h"

using namespace SkinUI;

namespace WidgetTests {

CWidgetWindow::CWidgetWindow(int width, int height, CControlUI* root, int x, int y, bool activate)
    : m_window(width, height, false, x, y, L"Velkaro widget test")
{
    manager().AddNotifier(this);
    if (root) {
        EXPECT_TRUE(m_window.Show(root));
    }
    if (activate) {
        ShowWindow(hwnd(), SW_SHOW);
        SetForegroundWindow(hwnd());
    }
    PaintNow();
}

CWidgetWindow::~CWidgetWindow() { manager().RemoveNotifier(this); }

bool CWidgetWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    return static_cast<bool>(PaintTest::PumpUntil(done, timeoutMs, [] { return std::string(); }));
}

void CWidgetWindow::Drain()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CWidgetWindow::PaintNow()
{
    Drain();
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    Drain();
}

void CWidgetWindow::Press(int x, int y)
{
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void CWidgetWindow::Release(int x, int y)
{
    SendMessageW(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void CWidgetWindow::Move(int x, int y)
{
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}
void CWidgetWindow::Click(int x, int y)
{
    Move(x, y);
    Press(x, y);
    Release(x, y);
    Drain();
}

POINT CWidgetWindow::CentreOf(CControlUI* control)
{
    const RECT& r = control->BoundsRef();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

DWORD CWidgetWindow::PixelAt(int x, int y)
{
    const SIZE size = manager().GetOffscreenSize();
    if (!manager().GetOffscreenBits() || x < 0 || y < 0 || x >= size.cx || y >= size.cy)
        return 0;
    const PaintTest::Pixel p = PaintTest::OffscreenPixel(manager(), x, y);
    return (DWORD(p.r) << 16) | (DWORD(p.g) << 8) | p.b;
}

void CWidgetWindow::AddSolidImage(const wchar_t* name, int width, int height, DWORD color)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return;
    std::fill_n(static_cast<DWORD*>(bits), static_cast<size_t>(width) * height, color);
    manager().AddImage(name, bitmap, width, height, (color >> 24) != 0xFF);
}

int CWidgetWindow::CountHeard(const std::wstring& entry) const
{
    return static_cast<int>(std::count(heard.begin(), heard.end(), entry));
}

int CWidgetWindow::CountType(const wchar_t* type) const
{
    const std::wstring prefix = std::wstring(type) + L":";
    return static_cast<int>(std::count_if(heard.begin(), heard.end(), [&](const std::wstring& e) {
        return e.compare(0, prefix.size(), prefix) == 0;
    }));
}

void CWidgetWindow::Notify(UiNotification& n)
{
    std::wstring entry = n.type.GetData();
    entry += L":";
    if (n.sender)
        entry += n.sender->Name().GetData();
    entry += L":" + std::to_wstring(n.wParam);
    heard.push_back(entry);
    if (onNotify)
        onNotify(n);
}

} // namespace WidgetTests
