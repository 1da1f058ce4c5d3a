#include "KeInstall/KEObjectWnd.h"

#include "ui/controls/UiControl.h"

using namespace SkinUI;

namespace {

// Enough for any desk; monitors past this are not looked at.
constexpr int kMaxMonitors = 63;

struct MonitorScan {
    int count = 0;
    bool primaryFound = false;
    RECT primary = {};
};

BOOL CALLBACK NoteMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* scan = reinterpret_cast<MonitorScan*>(data);
    if (scan->count >= kMaxMonitors) return FALSE;
    ++scan->count;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY)) {
        scan->primary = info.rcMonitor;
        scan->primaryFound = true;
    }
    return TRUE;
}

} // namespace

CKEObjectWnd::CKEObjectWnd(const wchar_t* skinFile, const wchar_t* windowClass)
    : m_skinFile(skinFile ? skinFile : L""), m_windowClass(windowClass ? windowClass : L"")
{
}

CKEObjectWnd::~CKEObjectWnd() = default;

void CKEObjectWnd::CenterOnScreen()
{
    const RECT none = {};
    PlaceWindow(none, POINT{0, 0});
}

LRESULT CKEObjectWnd::OnTimerMessage(UINT, WPARAM, LPARAM, bool&) { return 0; }

void CKEObjectWnd::OnWindowDestroyed(HWND window) { WindowImplBase::AfterDestroy(window); }

LRESULT CKEObjectWnd::OnCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_TIMER) {
        const LRESULT result = OnTimerMessage(message, wParam, lParam, handled);
        // A timer the window claimed is not the paint manager's to look up.
        if (handled) return result;
    }
    return WindowImplBase::HandleOtherMessage(message, wParam, lParam, handled);
}

CControlUI* CKEObjectWnd::FindNamed(const wchar_t* name)
{
    if (!name || !*name) return nullptr;
    return m_manager.FindControl(name);
}

// ---- placement

POINT CKEObjectWnd::Placement(const RECT& window, const RECT* owner, const RECT* primary,
                              const RECT& clamp, POINT offset)
{
    const bool clamped = !IsRectEmpty(&clamp);
    RECT reference = {};
    if (clamped) reference = clamp;
    else if (owner && primary) reference = {owner->left, primary->top, owner->right, primary->bottom};
    // An owner but no primary monitor: its own rectangle is the best reference left.
    else if (owner) reference = *owner;
    else if (primary) reference = *primary;

    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // Every halving truncates toward zero, as int division does.
    POINT at = {(reference.left + reference.right) / 2 - width / 2 + offset.x,
                (reference.top + reference.bottom) / 2 - height / 2 + offset.y};
    if (clamped) {
        if (at.x < clamp.left) at.x = clamp.left;
        else if (at.x + width > clamp.right) at.x = clamp.right - width;
        if (at.y < clamp.top) at.y = clamp.top;
        else if (at.y + height > clamp.bottom) at.y = clamp.bottom - height;
    }
    return at;
}

void CKEObjectWnd::PlaceWindow(const RECT& clamp, POINT offset)
{
    if (!m_window || !IsWindow(m_window)) return;
    RECT window = {};
    if (!GetWindowRect(m_window, &window)) return;

    RECT ownerRect = {};
    const RECT* owner = nullptr;
    const HWND ownerWindow = GetWindow(m_window, GW_OWNER);
    if (ownerWindow && IsWindowVisible(ownerWindow) && !IsIconic(ownerWindow) &&
        GetWindowRect(ownerWindow, &ownerRect))
        owner = &ownerRect;

    MonitorScan scan;
    EnumDisplayMonitors(nullptr, nullptr, NoteMonitor, reinterpret_cast<LPARAM>(&scan));
    const RECT* primary = scan.primaryFound ? &scan.primary : nullptr;

    const POINT at = Placement(window, owner, primary, clamp, offset);
    SetWindowPos(m_window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
