#pragma once
// The paint tests' real window, holding a control tree, with what the widget
// cases do to it: send input, pump until something holds, read the
// notifications it heard and the pixels it painted.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../paint/PaintTestUtil.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"

namespace WidgetTests {

class CWidgetWindow : public SkinUI::INotifyUI {
public:
    // A popup of the given client size at (x, y) on the screen, shown without
    // activation (or activated, for cases that drive the real pointer).
    CWidgetWindow(int width, int height, SkinUI::CControlUI* root, int x = 0, int y = 0,
                  bool activate = false);
    ~CWidgetWindow() override;
    CWidgetWindow(const CWidgetWindow&) = delete;
    CWidgetWindow& operator=(const CWidgetWindow&) = delete;

    HWND hwnd() const { return m_window.Handle(); }
    SkinUI::CPaintManagerUI& manager() { return m_window.Manager(); }

    // Pumps messages until done() holds or timeoutMs pass; false on timeout.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);
    // Pumps whatever is queued now (posted input, async work).
    void Drain();
    // Lays out and paints everything now (into the manager's offscreen bits).
    void PaintNow();

    // Mouse input as the window would get it, at client coordinates.
    void Press(int x, int y);
    void Release(int x, int y);
    void Move(int x, int y);
    void Click(int x, int y);
    // The centre of a control, in client coordinates.
    static POINT CentreOf(SkinUI::CControlUI* control);

    // An offscreen pixel as 0x00RRGGBB (the alpha byte of an opaque window's
    // surface means nothing); 0 outside the surface.
    DWORD PixelAt(int x, int y);

    // Adds a width x height image of one colour (0xAARRGGBB) to the manager.
    void AddSolidImage(const wchar_t* name, int width, int height, DWORD color);

    // Every notification heard: "type:senderName:wParam".
    std::vector<std::wstring> heard;
    int CountHeard(const std::wstring& entry) const;
    int CountType(const wchar_t* type) const;
    // Runs after an entry is recorded (to act inside a notification).
    std::function<void(SkinUI::UiNotification&)> onNotify;
    void Notify(SkinUI::UiNotification& notification) override;

private:
    PaintTest::TestWindow m_window;
};

} // namespace WidgetTests
