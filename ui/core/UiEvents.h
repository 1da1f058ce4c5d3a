#pragma once
// What flows between the paint manager, the controls and the application:
// input events handed to one control, notifications handed to the listeners,
// and the small interfaces through which the application listens.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

class CControlUI;

// Event kinds are fixed integers: controls switch on them, and skins and
// applications written against the framework compare them by value.
enum UiEventKind {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_RBUTTONUP = 16,
    UIEVENT_MBUTTONDOWN = 17,
    UIEVENT_MBUTTONUP = 18,
    UIEVENT_DBLCLICK = 19,
    UIEVENT_CONTEXTMENU = 20,
    UIEVENT_SCROLLWHEEL = 21,
    UIEVENT_KILLFOCUS = 23,
    UIEVENT_SETFOCUS = 24,
    UIEVENT_WINDOWSIZE = 25,
    UIEVENT_SETCURSOR = 26,
    UIEVENT_TIMER = 27,
};

// The mouse-event kinds, for handlers that pass every mouse event on as one group.
inline bool IsMouseEvent(int kind)
{
    return kind >= UIEVENT_MOUSEMOVE && kind <= UIEVENT_SCROLLWHEEL;
}
inline bool IsKeyEvent(int kind) { return kind >= UIEVENT_KEYDOWN && kind <= UIEVENT_SYSKEY; }

// Modifier state carried by mouse move, hover, wheel, timer, set-cursor and key events.
enum UiKeyState : WORD {
    UIKEY_LBUTTON = 0x01,
    UIKEY_RBUTTON = 0x02,
    UIKEY_SHIFT = 0x04,
    UIKEY_CONTROL = 0x08,
    UIKEY_ALT = 0x20,
};

// One input event for one control. Button events carry the message's wParam as
// key state; everything else the modifier state read at dispatch.
struct UiEvent {
    int kind = 0;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mouse = {0, 0};
    wchar_t key = 0;
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Notification names the framework core sends; controls add their own.
namespace UiNotify {
constexpr const wchar_t* Click = L"click";
constexpr const wchar_t* SelectChanged = L"selectchanged";
constexpr const wchar_t* CheckClick = L"checkclick";
constexpr const wchar_t* WindowInit = L"windowinit";
constexpr const wchar_t* WindowSize = L"windowsize";
constexpr const wchar_t* SetFocus = L"setfocus";
constexpr const wchar_t* KillFocus = L"killfocus";
constexpr const wchar_t* Timer = L"timer";
constexpr const wchar_t* Menu = L"menu";
constexpr const wchar_t* MouseEnter = L"mouseenter";
constexpr const wchar_t* MouseLeave = L"mouseleave";
constexpr const wchar_t* ButtonDown = L"buttondown";
constexpr const wchar_t* Scroll = L"scroll";
constexpr const wchar_t* TabSelect = L"tabselect";
constexpr const wchar_t* Link = L"link";
} // namespace UiNotify

// What the application hears about control activity. The sender becomes null
// when the control is destroyed while the record waits in the async queue.
struct UiNotification {
    CUiString type;
    CUiString virtualWindow;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(UiNotification& notification) = 0;
};

// Sees a window message before the controls do. Setting handled stops the
// message there and makes the return value the message's result.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

} // namespace SkinUI
