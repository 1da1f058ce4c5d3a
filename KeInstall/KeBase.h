#pragma once
// The event base shared by the main frame, the pages and the message boxes:
// integer events passed up to an event parent and across to the UI thread.
#include <windows.h>

#include <functional>
#include <memory>

// The installer's one private window message: wParam carries an event code.
#define WM_INSTALLER_EVENT (WM_USER + 0x202)

enum KeEventCode {
    EVENT_POST_TO_UI = 1,         // wparam: inner event code, to be posted to the UI thread
    EVENT_SHOW_PAGE = 64,         // wparam: page index 0-3
    EVENT_START_INSTALL = 65,
    EVENT_PROGRESS_CHANGED = 66,
    // The extraction ended without success; lparam: its reason (an
    // UnzipResult), also kept in the install settings for the page to read,
    // since the posted message does not carry it.
    EVENT_INSTALL_FAILED = 67,
};

class KeBase {
public:
    KeBase();
    virtual ~KeBase();
    KeBase(const KeBase&) = delete;
    KeBase& operator=(const KeBase&) = delete;

    virtual void OnEvent(int code, int wparam, int lparam);
    virtual void SetOnDestroy(std::function<void()> callback);

    // The parent is never owned: every event parent outlives its children.
    void SetEventParent(KeBase* parent);
    KeBase* GetEventParent() const { return m_eventParent.get(); }
    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }

protected:
    // Hands an event to the event parent; false (and nothing done) without one.
    bool ForwardToParent(int code, int wparam, int lparam);

    std::shared_ptr<KeBase> m_eventParent;
    std::function<void()> m_onDestroy;
    int m_mode;
};

// The event part of a wizard page: a page handles none of the codes itself and
// passes only EVENT_POST_TO_UI on, to the main frame that posts it to the window.
class KePageEvents : public KeBase {
public:
    void OnEvent(int code, int wparam, int lparam) override;
};
