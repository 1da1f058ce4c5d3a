#include "SkinWindow.h"

#include <algorithm>

#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

namespace WindowTests {

namespace {
constexpr UINT kReadyMessage = WM_APP + 77;
constexpr UINT_PTR kGuardTimer = 0x7777;
} // namespace

void KeyProbe::HandleEvent(UiEvent& event)
{
    if (event.kind == UIEVENT_KEYDOWN) keysDown.push_back(event.key);
    CControlUI::HandleEvent(event);
}

SkinWindow::SkinWindow(std::wstring skin, const wchar_t* className)
    : m_skin(std::move(skin)), m_className(className)
{
}

SkinWindow::~SkinWindow()
{
    if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
}

CControlUI* SkinWindow::MakeControl(const wchar_t* elementName)
{
    if (elementName && _wcsicmp(elementName, L"KeyProbe") == 0) return new KeyProbe();
    return nullptr;
}

LRESULT SkinWindow::DefaultKeyResult(WPARAM key)
{
    filteredKeys.push_back(key);
    return WindowImplBase::DefaultKeyResult(key);
}

void SkinWindow::Notify(UiNotification& notification)
{
    heard.push_back(Narrow(notification.type) + ":" +
                    (notification.sender ? Narrow(notification.sender->Name()) : "null"));
    if (notification.type == L"windowinit" && !ready) PostMessageW(Handle(), kReadyMessage, 0, 0);
    if (onNotify) onNotify(notification);
    WindowImplBase::Notify(notification);
}

LRESULT SkinWindow::HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == kReadyMessage) {
        ready = true;
        handled = true;
        if (onReady) onReady();
        return 0;
    }
    if (message == WM_TIMER && wParam == kGuardTimer) {
        guardFired = true;
        handled = true;
        DestroyWindow(Handle());
        return 0;
    }
    return WindowImplBase::HandleOtherMessage(message, wParam, lParam, handled);
}

void SkinWindow::AfterDestroy(HWND window)
{
    WindowImplBase::AfterDestroy(window);
    ++destroyed;
}

bool SkinWindow::Open(HWND owner, int x, int y, bool show, bool activate)
{
    if (!Create(owner, L"SkinWindowTest", WS_OVERLAPPEDWINDOW, 0)) return false;
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!show) return true;
    ::ShowWindow(Handle(), activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    if (activate) SetForegroundWindow(Handle());
    return PumpUntil([this] { return ready; }, 5000);
}

POINT SkinWindow::Centre(const wchar_t* name)
{
    CControlUI* control = Find(name);
    if (!control) return {-1, -1};
    const RECT r = control->Bounds();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT SkinWindow::ToScreen(POINT client) const
{
    ClientToScreen(Handle(), &client);
    return client;
}

void SkinWindow::ClickAt(POINT client)
{
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageW(Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Handle(), WM_LBUTTONUP, 0, at);
}

LRESULT SkinWindow::HitTest(POINT client)
{
    const POINT screen = ToScreen(client);
    return SendMessageW(Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

void SkinWindow::ArmGuard() { SetTimer(Handle(), kGuardTimer, 5000, nullptr); }

int SkinWindow::Count(const std::string& entry) const
{
    return static_cast<int>(std::count(heard.begin(), heard.end(), entry));
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CPaintManagerUI::PreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* p = text; p && *p; ++p) out += *p < 128 ? static_cast<char>(*p) : '?';
    return out;
}

} // namespace WindowTests
