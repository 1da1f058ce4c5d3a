// CPaintManagerUI: default attribute lists, styles, colours, custom attributes,
// option groups, the statics and framework shutdown.
#include "ui/core/UiPaintManagerShared.h"

#include "ui/core/UiControlFactory.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"

namespace SkinUI {

namespace {

// Stores a copy of value under name; an existing value is replaced, or kept when
// keepExisting (the first definition wins).
void StoreText(CUiStringMap& table, const wchar_t* name, const wchar_t* value, bool keepExisting)
{
    if (name == nullptr) return;
    auto* old = static_cast<CUiString*>(table.Find(name, false));
    if (old && keepExisting) return;
    auto* copy = new CUiString(value ? value : L"");
    if (old) {
        table.Set(name, copy);
        delete old;
    } else if (!table.Insert(name, copy)) {
        delete copy;
    }
}

const wchar_t* FindText(const CUiStringMap& table, const wchar_t* name)
{
    auto* text = static_cast<CUiString*>(table.Find(name));
    return text ? text->GetData() : nullptr;
}

bool RemoveText(CUiStringMap& table, const wchar_t* name)
{
    auto* text = static_cast<CUiString*>(table.Find(name, false));
    if (text == nullptr) return false;
    table.Remove(name);
    delete text;
    return true;
}

} // namespace

// ---- default attribute lists and styles

void CPaintManagerUI::SetDefaultAttributes(const wchar_t* name, const wchar_t* list, bool shared)
{
    StoreText((shared || m_useShared) ? SharedState().defaultAttributes : m_defaultAttributes, name,
              list, false);
}

const wchar_t* CPaintManagerUI::GetDefaultAttributes(const wchar_t* name) const
{
    const wchar_t* list = FindText(m_defaultAttributes, name);
    return list ? list : FindText(SharedState().defaultAttributes, name);
}

bool CPaintManagerUI::RemoveDefaultAttributes(const wchar_t* name, bool shared)
{
    return RemoveText(shared ? SharedState().defaultAttributes : m_defaultAttributes, name);
}

void CPaintManagerUI::RemoveAllDefaultAttributes(bool shared)
{
    DeleteAllEntries<CUiString>(shared ? SharedState().defaultAttributes : m_defaultAttributes);
}

void CPaintManagerUI::AddStyle(const wchar_t* name, const wchar_t* value, bool shared)
{
    StoreText((shared || m_useShared) ? SharedState().styles : m_styles, name, value, true);
}

const wchar_t* CPaintManagerUI::GetStyle(const wchar_t* name) const
{
    const wchar_t* style = FindText(m_styles, name);
    return style ? style : FindText(SharedState().styles, name);
}

bool CPaintManagerUI::RemoveStyle(const wchar_t* name, bool shared)
{
    return RemoveText(shared ? SharedState().styles : m_styles, name);
}

void CPaintManagerUI::RemoveAllStyles(bool shared)
{
    DeleteAllEntries<CUiString>(shared ? SharedState().styles : m_styles);
}

// ---- colours

void CPaintManagerUI::SetColorField(DWORD UiColors::*field, DWORD color, bool shared)
{
    if (!shared) {
        m_colors.*field = color;
        return;
    }
    // A window follows the shared colour only while it never chose its own.
    UiSharedState& state = SharedState();
    DWORD old = state.colors.*field;
    state.colors.*field = color;
    for (int i = 0; i < state.managers.GetSize(); ++i) {
        auto* manager = static_cast<CPaintManagerUI*>(state.managers[i]);
        if (manager->m_colors.*field == old) manager->m_colors.*field = color;
    }
}

void CPaintManagerUI::SetDisabledTextColor(DWORD color, bool shared)
{
    SetColorField(&UiColors::disabledText, color, shared);
}

void CPaintManagerUI::SetTextColor(DWORD color, bool shared)
{
    SetColorField(&UiColors::text, color, shared);
}

void CPaintManagerUI::SetLinkColor(DWORD color, bool shared)
{
    SetColorField(&UiColors::link, color, shared);
}

void CPaintManagerUI::SetLinkHoverColor(DWORD color, bool shared)
{
    SetColorField(&UiColors::linkHover, color, shared);
}

void CPaintManagerUI::SetSelectionColor(DWORD color, bool shared)
{
    SetColorField(&UiColors::selection, color, shared);
}

const UiColors& CPaintManagerUI::GetSharedColors() { return SharedState().colors; }

// ---- window custom attributes

void CPaintManagerUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    StoreText(m_customAttributes, name, value, true);
}

const wchar_t* CPaintManagerUI::GetCustomAttribute(const wchar_t* name) const
{
    return FindText(m_customAttributes, name);
}

bool CPaintManagerUI::RemoveCustomAttribute(const wchar_t* name)
{
    return RemoveText(m_customAttributes, name);
}

void CPaintManagerUI::RemoveAllCustomAttributes()
{
    DeleteAllEntries<CUiString>(m_customAttributes);
}

// ---- option groups

bool CPaintManagerUI::JoinOptionGroup(const wchar_t* group, void* control)
{
    if (group == nullptr || control == nullptr) return false;
    auto* members = static_cast<CUiPtrArray*>(m_optionGroups.Find(group));
    if (members == nullptr) {
        members = new CUiPtrArray(6);
        if (!m_optionGroups.Insert(group, members)) {
            delete members;
            return false;
        }
    }
    return members->Find(control) >= 0 || members->Add(control);
}

CUiPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* group)
{
    return group ? static_cast<CUiPtrArray*>(m_optionGroups.Find(group)) : nullptr;
}

void CPaintManagerUI::LeaveOptionGroup(const wchar_t* group, void* control)
{
    CUiPtrArray* members = GetOptionGroup(group);
    if (members == nullptr) return;
    int index = members->Find(control);
    if (index >= 0) members->Remove(index);
    if (members->IsEmpty()) {
        m_optionGroups.Remove(group);
        delete members;
    }
}

void CPaintManagerUI::RemoveAllOptionGroups()
{
    DeleteAllEntries<CUiPtrArray>(m_optionGroups);
}

// ---- statics

void CPaintManagerUI::SetInstance(HINSTANCE instance) { CUiResourceLocation::SetInstance(instance); }

HINSTANCE CPaintManagerUI::GetInstance() { return CUiResourceLocation::GetInstance(); }

CUiString CPaintManagerUI::GetInstancePath()
{
    // Long paths are allowed: grow until the whole name fits.
    for (DWORD capacity = MAX_PATH; capacity <= 32768; capacity *= 2) {
        auto* buffer = new wchar_t[capacity];
        DWORD length = GetModuleFileNameW(GetInstance(), buffer, capacity);
        if (length == 0) {
            delete[] buffer;
            break;
        }
        if (length < capacity) {
            CUiString path(buffer, static_cast<int>(length));
            delete[] buffer;
            int slash = path.ReverseFind(L'\\');
            return slash >= 0 ? path.Left(slash + 1) : CUiString();
        }
        delete[] buffer;
    }
    return CUiString();
}

CUiString CPaintManagerUI::GetCurrentPath()
{
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return CUiString();
    auto* buffer = new wchar_t[length + 1];
    DWORD written = GetCurrentDirectoryW(length + 1, buffer);
    CUiString path(buffer, written <= length ? static_cast<int>(written) : 0);
    delete[] buffer;
    return path;
}

void CPaintManagerUI::SetCurrentPath(const wchar_t* path)
{
    if (path) SetCurrentDirectoryW(path);
}

CPaintManagerUI* CPaintManagerUI::FindManager(const wchar_t* name)
{
    if (name == nullptr) return nullptr;
    const CUiPtrArray& managers = SharedState().managers;
    for (int i = 0; i < managers.GetSize(); ++i) {
        auto* manager = static_cast<CPaintManagerUI*>(managers[i]);
        if (manager->m_name == name) return manager;
    }
    return nullptr;
}

const CUiPtrArray& CPaintManagerUI::GetManagers() { return SharedState().managers; }

void CPaintManagerUI::Shutdown()
{
    UiSharedState& shared = SharedState();
    CUiSkinAlias::Destroy();
    CControlFactory::Destroy();
    DeleteAllImages(shared.images);
    DeleteAllFonts(shared.fonts);
    FreeFontInfo(&shared.defaultFont);
    DeleteAllEntries<CUiString>(shared.styles);
    DeleteAllEntries<CUiString>(shared.defaultAttributes);
    CUiResourceLocation::Shutdown();
    // A manager made after this starts the shared state afresh.
    shared.initialised = false;
}

} // namespace SkinUI
