#pragma once
// A skinned window for the window-base tests: its skin is XML text given by the
// test, "KeyProbe" elements become controls that record their key events, and
// everything it hears is logged. Actions meant to run inside a message loop go
// in onReady, which runs (posted) once the first frame is on screen.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/UiControl.h"
#include "ui/core/UiWindowImplBase.h"

namespace WindowTests {

// A focusable control that records the keys of its key-down events.
class KeyProbe : public SkinUI::CControlUI {
public:
    const wchar_t* TypeName() const override { return L"KeyProbeUI"; }
    UINT Flags() const override { return SkinUI::UIFLAG_TABSTOP; }
    void HandleEvent(SkinUI::UiEvent& event) override;
    std::vector<WPARAM> keysDown;
};

class SkinWindow : public SkinUI::WindowImplBase {
public:
    explicit SkinWindow(std::wstring skin, const wchar_t* className = L"VelkaroSkinWindowTest");
    ~SkinWindow() override;

    const wchar_t* ClassName() const override { return m_className.c_str(); }
    SkinUI::CUiString LayoutFile() const override { return SkinUI::CUiString(m_skin.c_str()); }
    SkinUI::CControlUI* MakeControl(const wchar_t* elementName) override;
    LRESULT DefaultKeyResult(WPARAM key) override;
    void Notify(SkinUI::UiNotification& notification) override;
    LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void AfterDestroy(HWND window) override;

    // Creates the window at (x, y) with the skin's size; shown (without
    // activation, or activated) unless `show` is false, then pumped until the
    // first frame is painted. False when any step fails.
    bool Open(HWND owner = nullptr, int x = 60, int y = 60, bool show = true,
              bool activate = false);
    SkinUI::CControlUI* Find(const wchar_t* name) { return m_manager.FindControl(name); }
    // The centre of a named control in client coordinates ({-1, -1} when missing).
    POINT Centre(const wchar_t* name);
    POINT ToScreen(POINT client) const;
    // A press and release at a client point, as the window would get them.
    void ClickAt(POINT client);
    LRESULT HitTest(POINT client);
    int Count(const std::string& entry) const;
    // Should a loop hang, the window goes after five seconds anyway (guardFired).
    void ArmGuard();

    std::vector<std::string> heard;      // "type:sender"
    std::vector<WPARAM> filteredKeys;    // keys seen by DefaultKeyResult
    std::function<void(SkinUI::UiNotification&)> onNotify;
    std::function<void()> onReady;
    int destroyed = 0;
    bool guardFired = false;
    bool ready = false;

private:
    std::wstring m_skin;
    std::wstring m_className;
};

// Pumps messages (through the paint manager's pre-translation) until done()
// holds or timeoutMs pass; false on timeout. The deadline only bounds a
// failure: a maximise goes through the window manager, which on a loaded
// 2-core machine has been seen to take longer than 3 s.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

std::string Narrow(const wchar_t* text);

} // namespace WindowTests
