#include "ui/core/UiControlFactory.h"

#include "ui/controls/UiButton.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiControl.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiText.h"
#include "ui/controls/UiVerticalLayout.h"

#include <new>

namespace SkinUI {

namespace {

// The factory is made on first use from whichever thread builds first and torn
// down at framework shutdown, so a plain local static will not do; an SRW lock
// needs no initialisation of its own.
SRWLOCK g_lock = SRWLOCK_INIT;
CControlFactory* g_factory = nullptr;
CUiPtrArray* g_plugins = nullptr;

template <class T>
CControlUI* Make()
{
    return new (std::nothrow) T;
}

struct Builtin {
    const wchar_t* name;
    UiControlCreator creator;
};

// The classes this build has, in the order the skin vocabulary lists them.
const Builtin kBuiltins[] = {
    {L"CControlUI", &Make<CControlUI>},
    {L"CContainerUI", &Make<CContainerUI>},
    {L"CButtonUI", &Make<CButtonUI>},
    {L"CLabelUI", &Make<CLabelUI>},
    {L"COptionUI", &Make<COptionUI>},
    {L"CCheckBoxUI", &Make<CCheckBoxUI>},
    {L"CProgressUI", &Make<CProgressUI>},
    {L"CScrollBarUI", &Make<CScrollBarUI>},
    {L"CTextUI", &Make<CTextUI>},
    {L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>},
    {L"CTabLayoutUI", &Make<CTabLayoutUI>},
    {L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>},
};

class LockGuard {
public:
    LockGuard() { AcquireSRWLockExclusive(&g_lock); }
    ~LockGuard() { ReleaseSRWLockExclusive(&g_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
};

CUiPtrArray& Plugins()
{
    if (!g_plugins) g_plugins = new CUiPtrArray;
    return *g_plugins;
}

} // namespace

CControlFactory::CControlFactory()
{
    for (const Builtin& builtin : kBuiltins)
        Register(builtin.name, builtin.creator);
}

CControlFactory::~CControlFactory() = default;

CControlFactory& CControlFactory::Instance()
{
    LockGuard guard;
    if (!g_factory) g_factory = new CControlFactory;
    return *g_factory;
}

void CControlFactory::Destroy()
{
    LockGuard guard;
    delete g_factory;
    g_factory = nullptr;
    // The modules stay loaded: controls they made may still be alive and their
    // code must stay mapped; only the list of creators is forgotten.
    delete g_plugins;
    g_plugins = nullptr;
}

CControlUI* CControlFactory::MakeControl(const wchar_t* className)
{
    if (!className || !*className) return nullptr;
    CUiString key(className);
    key.MakeLower();
    void* creator = m_creators.Find(key);
    if (!creator) return nullptr;
    return reinterpret_cast<UiControlCreator>(creator)();
}

void CControlFactory::Register(const wchar_t* className, UiControlCreator creator)
{
    if (!className || !*className || !creator) return;
    CUiString key(className);
    key.MakeLower();
    m_creators.Insert(key, reinterpret_cast<void*>(creator));
}

bool CControlFactory::LoadControlModule(const wchar_t* modulePath)
{
    if (!modulePath || !*modulePath) return false;
    HMODULE module = LoadLibraryW(modulePath);
    if (!module) return false;
    auto creator = reinterpret_cast<void*>(GetProcAddress(module, "CreateControl"));
    if (!creator) {
        FreeLibrary(module);
        return false;
    }
    LockGuard guard;
    CUiPtrArray& plugins = Plugins();
    if (plugins.Find(creator) < 0) plugins.Add(creator);
    return true;
}

const CUiPtrArray& CControlFactory::PluginCreators()
{
    LockGuard guard;
    return Plugins();
}

CControlUI* CControlFactory::MakePluginControl(const wchar_t* elementName)
{
    if (!elementName) return nullptr;
    // Copied under the lock so a module loaded meanwhile cannot move the array
    // from under the loop; the creators themselves run unlocked.
    CUiPtrArray creators;
    {
        LockGuard guard;
        creators = Plugins();
    }
    for (int i = 0; i < creators.GetSize(); ++i) {
        auto creator = reinterpret_cast<UiPluginCreator>(creators.GetAt(i));
        if (CControlUI* control = creator(elementName)) return control;
    }
    return nullptr;
}

} // namespace SkinUI
