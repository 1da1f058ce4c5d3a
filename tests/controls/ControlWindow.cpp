#include "ControlWindow.h"

#include "ui/controls/UiControl.h"

using namespace SkinUI;

namespace ControlTests {

namespace {
const wchar_t kClassName[] = L"VelkaroControlTestWindow";

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

CControlWindow::CControlWindow(int width, int height, CControlUI* root)
{
    RegisterOnce();
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, WS_POPUP, FALSE, 0);
    m_hwnd = CreateWindowExW(0, kClassName, L"control test", WS_POPUP, 0, 0,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    // Shown without activation: only visible windows keep an update region.
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    m_manager.Init(m_hwnd, L"controltest");
    m_manager.AddNotifier(this);
    if (root)
        m_manager.AttachRoot(root);
}

CControlWindow::~CControlWindow()
{
    m_manager.RemoveNotifier(this);
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        DestroyWindow(m_hwnd);
    }
}

LRESULT CALLBACK CControlWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->m_manager.HandleMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CControlWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void CControlWindow::PaintNow()
{
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

bool CControlWindow::HasUpdateRegion() const { return GetUpdateRect(m_hwnd, nullptr, FALSE) != 0; }

void CControlWindow::Validate() { ValidateRect(m_hwnd, nullptr); }

void CControlWindow::Notify(UiNotification& n)
{
    std::wstring entry = n.type.GetData();
    entry += L":";
    if (n.sender)
        entry += n.sender->Name().GetData();
    entry += L":" + std::to_wstring(n.wParam);
    if (!n.virtualWindow.IsEmpty())
        entry += L"@" + std::wstring(n.virtualWindow.GetData());
    heard.push_back(entry);
}

} // namespace ControlTests
