#pragma once
// CNotifyPump: hands notifications to member functions through static tables.
// Each class that listens declares one table, notification type (and optionally
// control name) -> handler, that falls back to its base class's table; the walk
// over the tables is written once, here. Named sub-pumps take the notifications
// of controls that sit in a virtual window (a page of a larger window).
//
// In a header:
//     class CPage : public SkinUI::CNotifyPump {
//         UI_DECLARE_NOTIFY_MAP();
//         void OnClick(SkinUI::UiNotification& n);
//     };
// In the source:
//     UI_BEGIN_NOTIFY_MAP(CPage, SkinUI::CNotifyPump)
//         UI_ON_NOTIFY(L"click", L"", OnClick)
//         UI_ON_NOTIFY(L"selectchanged", L"agree", OnAgree)
//     UI_END_NOTIFY_MAP()
#include <windows.h>
#include "ui/core/UiEvents.h"
#include "ui/core/UiStringMap.h"

namespace SkinUI {

class CNotifyPump;

// How an entry's handler is called; 0 ends a table.
enum UiNotifySignature : int {
    UINOTIFY_END = 0,
    UINOTIFY_PARAMS = 1,         // handler(wParam, lParam) of the notification
    UINOTIFY_NOTIFICATION = 2,   // handler(notification)
};

// Handlers of derived classes are stored converted to the pump's member type;
// the conversion carries the step from the pump to the handling object.
using UiNotifyHandler = void (CNotifyPump::*)(UiNotification&);
using UiNotifyParamHandler = void (CNotifyPump::*)(WPARAM, LPARAM);

struct UiNotifyEntry {
    const wchar_t* type;      // notification type, compared exactly
    const wchar_t* control;   // sender's name; empty (or null) for any control
    int signature;
    UiNotifyHandler handler;              // signature 2
    UiNotifyParamHandler paramHandler;    // signature 1
};

struct UiNotifyMap {
    const UiNotifyMap* base;        // the base class's table, null at the end
    const UiNotifyEntry* entries;   // ends with an entry of signature 0
};

class CNotifyPump {
public:
    CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // ---- virtual operations, in slot order
    virtual const UiNotifyMap* NotifyMap() const;
    virtual ~CNotifyPump() = default;

    // The pump's own table (no entries); the end of every chain.
    static const UiNotifyMap& ThisNotifyMap();

    // false for an empty name, a null pump or a name already taken.
    bool RegisterSubPump(const wchar_t* name, CNotifyPump* pump);
    bool UnregisterSubPump(const wchar_t* name);
    // A notification from a virtual window goes to its sub-pump first; what no
    // sub-pump takes goes through this pump's own tables.
    void DispatchNotification(UiNotification& notification);
    // true when a table entry took the notification.
    bool DispatchByMap(UiNotification& notification);

private:
    CNotifyPump* FindSubPump(const wchar_t* name) const;

    CUiStringMap m_subPumps;   // virtual window name -> CNotifyPump*
};

} // namespace SkinUI

#define UI_DECLARE_NOTIFY_MAP()                                                          \
public:                                                                                  \
    static const SkinUI::UiNotifyMap& ThisNotifyMap();                                   \
    const SkinUI::UiNotifyMap* NotifyMap() const override { return &ThisNotifyMap(); }  \
                                                                                         \
private:

#define UI_BEGIN_NOTIFY_MAP(cls, baseCls)                                                \
    const SkinUI::UiNotifyMap& cls::ThisNotifyMap()                                      \
    {                                                                                    \
        using ThisClass = cls;                                                           \
        using BaseClass = baseCls;                                                       \
        static const SkinUI::UiNotifyEntry entries[] = {

#define UI_ON_NOTIFY(type, control, method)                                              \
    {type, control, SkinUI::UINOTIFY_NOTIFICATION,                                       \
     static_cast<SkinUI::UiNotifyHandler>(                                               \
         static_cast<void (ThisClass::*)(SkinUI::UiNotification&)>(&ThisClass::method)), \
     nullptr},

#define UI_ON_NOTIFY_PARAMS(type, control, method)                                       \
    {type, control, SkinUI::UINOTIFY_PARAMS, nullptr,                                    \
     static_cast<SkinUI::UiNotifyParamHandler>(                                          \
         static_cast<void (ThisClass::*)(WPARAM, LPARAM)>(&ThisClass::method))},

#define UI_END_NOTIFY_MAP()                                                              \
    {nullptr, nullptr, SkinUI::UINOTIFY_END, nullptr, nullptr}                           \
    }                                                                                    \
    ;                                                                                    \
    static const SkinUI::UiNotifyMap map = {&BaseClass::ThisNotifyMap(), entries};      \
    return map;                                                                          \
    }
