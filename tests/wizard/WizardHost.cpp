#include "WizardHost.h"

#include <memory>
#include <string>

#include "support/TestSupport.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/core/UiResourceLocation.h"

using namespace SkinUI;

namespace WizardTests {

namespace {

constexpr UINT kReadyMessage = WM_APP + 78;

} // namespace

bool UseBuiltSkin()
{
    static std::string archive;
    if (archive.empty() && !TestSupport::ReadFileBytes(TestSupport::FromHostPath(VELKARO_SKIN_ZIP), &archive))
        return false;
    CUiResourceLocation::SetSkinFolder(L"");
    CUiResourceLocation::SetSkinArchiveInMemory(archive.data(), static_cast<DWORD>(archive.size()), nullptr);
    return true;
}

WizardServices RecordingServices(Calls* calls)
{
    WizardServices services;
    services.finish.createLink = [calls](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int,
                                         const wchar_t*) {
        ++calls->links;
        return true;
    };
    services.finish.createStartMenu = [calls](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*,
                                              const wchar_t*) { ++calls->startMenus; };
    services.finish.desktopFolder = [] { return CUiString(L"C:\\desktop"); };
    services.finish.programsFolder = [] { return CUiString(L"C:\\programs"); };
    services.finish.registerEntry = [calls](const wchar_t*) { ++calls->registrations; };
    services.confirmClose = [calls](HWND) {
        ++calls->questions;
        return calls->answer;
    };
    services.open = [calls](const wchar_t* file, int) { calls->opened.push_back(file); };
    services.chooseFolder = [calls](HWND, const CUiString&) { return CUiString(calls->chosenFolder.c_str()); };
    return services;
}

WizardHost::WizardHost()
    : services(RecordingServices(&calls)),
      page0(&m_manager, &services),
      page1(&m_manager, &services),
      page2(&m_manager, &services),
      page3(&m_manager, &services)
{
    CNotifyPump* pumps[] = {&page0, &page1, &page2, &page3};
    KeBase* bases[] = {&page0, &page1, &page2, &page3};
    for (int i = 0; i < 4; ++i) {
        RegisterSubPump((L"install" + std::to_wstring(i)).c_str(), pumps[i]);
        bases[i]->SetEventParent(this);
    }
}

WizardHost::~WizardHost()
{
    if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
    for (int i = 0; i < 4; ++i) UnregisterSubPump((L"install" + std::to_wstring(i)).c_str());
}

void WizardHost::OnLayoutAttached()
{
    page0.InitPage();
    page1.InitPage();
    page2.InitPage();
    page3.InitPage();
    ShowPage(0);
}

void WizardHost::ShowPage(int index)
{
    if (auto* tabs = dynamic_cast<CTabLayoutUI*>(Find(L"tabInstall"))) tabs->ShowPage(index);
}

void WizardHost::Notify(UiNotification& notification)
{
    if (notification.type == L"windowinit" && !ready) PostMessageW(Handle(), kReadyMessage, 0, 0);
    WindowImplBase::Notify(notification);
}

LRESULT WizardHost::HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == kReadyMessage) {
        ready = true;
        return 0;
    }
    if (message == WM_TIMER) return page2.OnTimer(wParam);
    return WindowImplBase::HandleOtherMessage(message, wParam, lParam, handled);
}

LRESULT WizardHost::OnClose(UINT, WPARAM, LPARAM, bool& handled)
{
    ++closes;
    handled = true;
    return 0;
}

void WizardHost::OnEvent(int code, int wparam, int) { events.emplace_back(code, wparam); }

bool WizardHost::Open()
{
    if (!Create(nullptr, L"WizardHost", WS_POPUP, 0)) return false;
    SetWindowPos(Handle(), nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return PumpUntil([this] { return ready; }, 5000);
}

void WizardHost::Click(const wchar_t* name)
{
    CControlUI* control = Find(name);
    if (!control) return;
    const RECT r = control->Bounds();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Handle(), WM_LBUTTONUP, 0, at);
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

} // namespace WizardTests
