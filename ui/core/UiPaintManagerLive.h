#pragma once
// Private to the paint manager's live half: what its source files share.
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <vector>

#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

struct CPaintManagerUI::LiveStore {
    // Controls waiting to be deleted when the async message is handled.
    std::vector<std::unique_ptr<CControlUI>> delayedCleanup;
    // Copies of notifications sent async; a sender that dies meanwhile is nulled.
    std::deque<UiNotification> asyncQueue;
    TTTOOLINFOW toolInfo = {};
    CUiString tipText;             // what toolInfo.lpszText points into
    // Notifications being delivered right now: a sender destroyed by one receiver
    // reaches the next receivers as null instead of as a dangling pointer.
    std::vector<UiNotification*> inFlight;
};

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                            BLENDFUNCTION*, DWORD);
using UpdateLayeredWindowIndirectFn = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);
using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Process-wide pieces the first manager sets up: common controls, the dirty-outline
// pen and the layered-window entry points looked up in User32 at run time.
class LiveProcessState {
public:
    static LiveProcessState& Get();
    HPEN DirtyPen() const { return m_dirtyPen; }
    UpdateLayeredWindowFn UpdateLayered() const { return m_updateLayered; }
    // The same with a dirty rectangle, so only the repainted part is pushed; null
    // where the system lacks it.
    UpdateLayeredWindowIndirectFn UpdateLayeredIndirect() const { return m_updateIndirect; }
    SetLayeredWindowAttributesFn SetLayeredAttributes() const { return m_setLayeredAttributes; }
    // Tests and the benchmark watch or replace the entry points.
    void OverrideUpdateLayered(UpdateLayeredWindowFn fn) { m_updateLayered = fn; }
    void OverrideUpdateLayeredIndirect(UpdateLayeredWindowIndirectFn fn) { m_updateIndirect = fn; }

private:
    LiveProcessState();
    HPEN m_dirtyPen;
    UpdateLayeredWindowFn m_updateLayered;
    UpdateLayeredWindowIndirectFn m_updateIndirect;
    SetLayeredWindowAttributesFn m_setLayeredAttributes;
};

// The modifier state of mouse, key and timer events, read at dispatch.
WORD CurrentKeyState();

// WM_APP + 1: delayed clean-up and async notifications.
constexpr UINT kAsyncWorkMessage = WM_APP + 1;

} // namespace SkinUI
