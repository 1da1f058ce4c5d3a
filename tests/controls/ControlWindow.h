#pragma once
// A real top-level window whose messages go to a paint manager, for the control
// cases that need invalidation, timers and notifications to be real.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"

namespace ControlTests {

class CControlWindow : public SkinUI::INotifyUI {
public:
    // A hidden (never shown) window of the given client size; the manager is
    // initialised with it and the root attached when given.
    CControlWindow(int width, int height, SkinUI::CControlUI* root = nullptr);
    ~CControlWindow() override;
    CControlWindow(const CControlWindow&) = delete;
    CControlWindow& operator=(const CControlWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    SkinUI::CPaintManagerUI& manager() { return m_manager; }

    // Pumps messages until done() holds or timeoutMs pass; false on timeout.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);
    // Runs the layout pass and a paint now.
    void PaintNow();
    // True when some part of the window awaits painting; Validate() clears it.
    bool HasUpdateRegion() const;
    void Validate();

    // Every notification heard: "type:senderName:wParam".
    std::vector<std::wstring> heard;
    void Notify(SkinUI::UiNotification& notification) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    SkinUI::CPaintManagerUI m_manager;
    HWND m_hwnd = nullptr;
};

} // namespace ControlTests
