#include "ui/core/UiNotifyPump.h"

#include "ui/controls/UiControl.h"

namespace SkinUI {

namespace {

const UiNotifyEntry kNoEntries[] = {{nullptr, nullptr, UINOTIFY_END, nullptr, nullptr}};

bool IsEmptyName(const wchar_t* name) { return !name || !*name; }

} // namespace

const UiNotifyMap& CNotifyPump::ThisNotifyMap()
{
    static const UiNotifyMap map = {nullptr, kNoEntries};
    return map;
}

const UiNotifyMap* CNotifyPump::NotifyMap() const { return &ThisNotifyMap(); }

bool CNotifyPump::RegisterSubPump(const wchar_t* name, CNotifyPump* pump)
{
    if (IsEmptyName(name) || !pump || FindSubPump(name)) return false;
    return m_subPumps.Insert(name, pump);
}

bool CNotifyPump::UnregisterSubPump(const wchar_t* name)
{
    if (IsEmptyName(name)) return false;
    // Names match ignoring case, as they do when notifications are routed.
    for (int i = 0; i < m_subPumps.GetSize(); ++i) {
        const wchar_t* key = m_subPumps.GetAt(i);
        if (key && _wcsicmp(key, name) == 0) return m_subPumps.Remove(key);
    }
    return false;
}

CNotifyPump* CNotifyPump::FindSubPump(const wchar_t* name) const
{
    for (int i = 0; i < m_subPumps.GetSize(); ++i) {
        const wchar_t* key = m_subPumps.GetAt(i);
        if (key && _wcsicmp(key, name) == 0)
            return static_cast<CNotifyPump*>(m_subPumps.Find(key, false));
    }
    return nullptr;
}

void CNotifyPump::DispatchNotification(UiNotification& notification)
{
    if (!notification.virtualWindow.IsEmpty()) {
        CNotifyPump* pump = FindSubPump(notification.virtualWindow);
        if (pump && pump->DispatchByMap(notification)) return;
    }
    DispatchByMap(notification);
}

bool CNotifyPump::DispatchByMap(UiNotification& notification)
{
    if (notification.type.IsEmpty()) return false;
    const CUiString sender = notification.sender ? notification.sender->Name() : CUiString();
    for (const UiNotifyMap* map = NotifyMap(); map; map = map->base) {
        const UiNotifyEntry* named = nullptr;
        const UiNotifyEntry* anyControl = nullptr;
        for (const UiNotifyEntry* entry = map->entries; entry && entry->signature != UINOTIFY_END;
             ++entry) {
            if (!entry->type || notification.type != entry->type) continue;
            if (IsEmptyName(entry->control)) {
                if (!anyControl) anyControl = entry;
            } else if (!named && sender == entry->control) {
                named = entry;
            }
        }
        const UiNotifyEntry* chosen = named ? named : anyControl;
        if (!chosen) continue;
        switch (chosen->signature) {
        case UINOTIFY_PARAMS:
            if (!chosen->paramHandler) return false;
            (this->*chosen->paramHandler)(notification.wParam, notification.lParam);
            return true;
        case UINOTIFY_NOTIFICATION:
            if (!chosen->handler) return false;
            (this->*chosen->handler)(notification);
            return true;
        default:
            return false;
        }
    }
    return false;
}

} // namespace SkinUI
