#include "WidgetWindow.h"

#include <algorithm>

#include "ui/controls/UiControl.h"

using namespace SkinUI;

namespace WidgetTests {

namespace {
const wchar_t kClassName[] = L"VelkaroWidgetTestWindow";

void RegisterOnce()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    RegisterClassExW(&wc);
    registered = true;
}
} // namespace

CWidgetWindow::CWidgetWindow(int width, int height, CControlUI* root, int x, int y, bool activate)
{
    RegisterOnce();
    m_hwnd = CreateWindowExW(0, kClassName, L"Velkaro widget test", WS_POPUP, x, y, width, height,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    ShowWindow(m_hwnd, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
    m_manager.Init(m_hwnd, L"widgettest");
    m_manager.AddNotifier(this);
    if (root)
        m_manager.AttachRoot(root);
    PaintNow();
}

CWidgetWindow::~CWidgetWindow()
{
    m_manager.RemoveNotifier(this);
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        DestroyWindow(m_hwnd);
    }
}

LRESULT CALLBACK CWidgetWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CWidgetWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->m_manager.HandleMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CWidgetWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Drain();
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
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
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
    Drain();
}

void CWidgetWindow::Press(int x, int y)
{
    SendMessageW(m_hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void CWidgetWindow::Release(int x, int y)
{
    SendMessageW(m_hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void CWidgetWindow::Move(int x, int y)
{
    SendMessageW(m_hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
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

DWORD CWidgetWindow::PixelAt(int x, int y) const
{
    const BYTE* bits = m_manager.GetOffscreenBits();
    const SIZE size = m_manager.GetOffscreenSize();
    if (!bits || x < 0 || y < 0 || x >= size.cx || y >= size.cy)
        return 0;
    // Bottom-up rows of B, G, R, A.
    const BYTE* p = bits + (static_cast<size_t>(size.cy - 1 - y) * size.cx + x) * 4;
    return (DWORD(p[2]) << 16) | (DWORD(p[1]) << 8) | p[0];
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
    m_manager.AddImage(name, bitmap, width, height, (color >> 24) != 0xFF);
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
