#pragma once
// Real windows for the paint manager's tests: a window whose procedure hands every
// message to its manager, a test container, a probe control that records what it
// receives, a notification recorder, and a message pump that waits for a condition.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"

namespace PaintTest {

using namespace SkinUI;

// What probes and receivers saw, in order: "ev:<control>:<kind>" for events,
// "n:<type>:<sender>" for notifications (sender "null" when it is gone).
struct EventLog {
    std::vector<std::string> entries;
    void Add(const std::string& entry) { entries.push_back(entry); }
    void Clear() { entries.clear(); }
    int Count(const std::string& entry) const;
    // Entries that start with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    std::string Joined() const;
};

const char* EventName(int kind);

// A leaf control placed at `place` inside its parent. It logs every event, raises
// "click" on a button-up inside itself, and paints with `painter` when set.
class ProbeControl : public CControlUI {
public:
    ProbeControl(const char* name, EventLog* log, RECT place, UINT flags = UIFLAG_TABSTOP);
    ~ProbeControl() override;
    UINT Flags() const override { return m_flags; }
    void HandleEvent(UiEvent& event) override;
    void DrawLabel(HDC dc) override;

    RECT place;                                   // relative to the parent
    std::function<void(HDC, const RECT&)> painter;
    std::function<void(UiEvent&)> onEvent;        // runs after logging, before the base
    bool* destroyed = nullptr;                    // set true by the destructor

private:
    std::string m_tag;
    EventLog* m_log;
    UINT m_flags;
};

// A container that places each child at the child's `place` (ProbeControl or
// TestBox), hit-tests topmost first and paints children in order.
class TestBox : public CControlUI, public IContainerUI {
public:
    explicit TestBox(RECT place = {}) : place(place) {}
    ~TestBox() override;
    const wchar_t* TypeName() const override { return L"TestBoxUI"; }
    void* InterfaceFor(const wchar_t* name) override;
    void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void Place(RECT rect, bool invalidate = true) override;
    CControlUI* Search(UiFindProc visitor, void* data, UINT flags) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    CControlUI* ItemAt(int index) const override;
    int IndexOfItem(CControlUI* control) const override;
    bool MoveItemTo(CControlUI* control, int index) override;
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    bool AddItem(CControlUI* control) override;
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control) override;
    bool RemoveItemAt(int index) override;
    void RemoveAllItems() override;

    RECT place;

private:
    std::vector<CControlUI*> m_items;   // owned
};

class Recorder : public INotifyUI {
public:
    explicit Recorder(EventLog* log) : m_log(log) {}
    void Notify(UiNotification& notification) override;
    std::function<void(UiNotification&)> onNotify;   // after logging
    std::vector<UiNotification> seen;

private:
    EventLog* m_log;
};

std::string SenderName(const CControlUI* control);

// A top-level popup window at (x, y) whose procedure gives every message to the
// manager first. The manager owns the root once attached.
class TestWindow {
public:
    TestWindow(int width, int height, bool layered, int x = 40, int y = 40,
               const wchar_t* title = L"PaintTest");
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // Attaches the root and pumps until the first frame has been painted.
    ::testing::AssertionResult Show(CControlUI* root);
    HWND Handle() const { return m_window; }
    CPaintManagerUI& Manager() { return m_manager; }
    POINT ScreenPoint(int x, int y) const;
    // Sees every message before the manager (a window-level trace for the tests).
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;
    int windowInits = 0;   // "windowinit" notifications seen
    int paints = 0;        // WM_PAINT messages handled

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    class InitWatcher;
    CPaintManagerUI m_manager;
    HWND m_window = nullptr;
    INotifyUI* m_watcher = nullptr;
};

// Pumps messages until condition() holds or timeoutMs passes; the failure message
// says what seen() reported at the end.
::testing::AssertionResult PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                                     const std::function<std::string()>& seen);
// Pumps whatever arrives during ms.
void PumpFor(DWORD ms);

// A pixel of the manager's offscreen bits at client (x, y): B, G, R, A.
struct Pixel {
    BYTE b, g, r, a;
};
Pixel OffscreenPixel(CPaintManagerUI& manager, int x, int y);

} // namespace PaintTest
