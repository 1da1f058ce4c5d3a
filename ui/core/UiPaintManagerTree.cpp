// The live half of the paint manager, part 1: binding to a window, the root and
// its subtree, the named-control map, lookups, and the delayed clean-up queue.
#include "ui/core/UiPaintManager.h"

#include <commctrl.h>

#include <algorithm>
#include <deque>

#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManagerLive.h"

namespace SkinUI {

void CPaintManagerUI::LiveStoreDeleter::operator()(LiveStore* store) const { delete store; }

CPaintManagerUI::LiveStore& CPaintManagerUI::Store()
{
    if (!m_store) m_store.reset(new LiveStore());
    return *m_store;
}

namespace {

CControlUI* AcceptAny(CControlUI* control, void*) { return control; }

CControlUI* RecordName(CControlUI* control, void* data)
{
    CUiStringMap* names = static_cast<CUiStringMap*>(data);
    const CUiString name = control->Name();
    if (!name.IsEmpty()) names->Set(name, control);
    return nullptr;   // visit everything
}

CControlUI* MatchNameNoCase(CControlUI* control, void* data)
{
    const CUiString name = control->Name();
    return name.CompareNoCase(static_cast<const wchar_t*>(data)) == 0 ? control : nullptr;
}

struct ClassQuery {
    const wchar_t* className;
    int remaining;       // FindDescendantByClass: index still to skip
    CUiPtrArray* found;  // FindDescendantsByClass: every match
};

bool ClassMatches(CControlUI* control, const wchar_t* className)
{
    if (!className || wcscmp(className, L"*") == 0) return true;
    const wchar_t* type = control->TypeName();
    return type && _wcsicmp(type, className) == 0;
}

CControlUI* MatchClassAt(CControlUI* control, void* data)
{
    ClassQuery* query = static_cast<ClassQuery*>(data);
    if (!ClassMatches(control, query->className)) return nullptr;
    return query->remaining-- == 0 ? control : nullptr;
}

CControlUI* CollectClass(CControlUI* control, void* data)
{
    ClassQuery* query = static_cast<ClassQuery*>(data);
    if (ClassMatches(control, query->className)) query->found->Add(control);
    return nullptr;
}

constexpr UINT kHitTestFlags = UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST;

} // namespace

void CPaintManagerUI::Init(HWND window, const wchar_t* name)
{
    m_namedControls.RemoveAll();
    ReleaseWindowResources();
    StopAllTimers();
    m_name = name ? name : L"";
    if (window && window != m_paintWindow) {
        if (m_paintDC && m_paintWindow) ReleaseDC(m_paintWindow, m_paintDC);
        m_paintWindow = window;
        m_paintDC = GetDC(window);
    }
    LiveProcessState::Get();   // dirty pen, common controls, msimg32: once per process
}

bool CPaintManagerUI::AttachRoot(CControlUI* root)
{
    if (!root) return false;
    SetFocus(nullptr);
    m_keyPress = nullptr;
    m_hover = nullptr;
    m_click = nullptr;
    if (m_root && m_root != root) {
        m_postPaint.clear();
        DestroyLater(m_root);
    }
    m_root = root;
    m_firstLayout = true;
    m_updateNeeded = true;
    m_focusNeeded = true;
    SetDpi(CUiDpi::GetGlobalDpi());
    const bool bound = BindTree(root, nullptr);
    // A window that is already visible shows the new tree without waiting for
    // something else to invalidate it.
    Invalidate();
    m_shadow.CreateShadow(this);
    return bound;
}

bool CPaintManagerUI::WrapRoot(CControlUI* container, const RECT& inset)
{
    if (!container || m_wrappedRoot || !m_root) return false;
    IContainerUI* box = static_cast<IContainerUI*>(container->InterfaceFor(L"IContainer"));
    if (!box) return false;
    SetLayered(true);
    m_wrappedRoot = m_root;
    m_root = container;
    // The old root now belongs to the container; AddItem binds it to this manager.
    container->Attach(this, nullptr, false);
    box->AddItem(m_wrappedRoot);
    m_wrappedRootInset = inset;
    m_updateNeeded = true;
    Invalidate();
    return true;
}

bool CPaintManagerUI::BindTree(CControlUI* control, CControlUI* parent)
{
    if (!control) return false;
    control->Attach(this, parent ? parent : control->ParentControl(), true);
    control->Search(RecordName, &m_namedControls, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ForgetControl(CControlUI* control)
{
    if (!control) return;
    if (m_keyPress == control) m_keyPress = nullptr;
    if (m_hover == control) m_hover = nullptr;
    if (m_click == control) m_click = nullptr;
    if (m_focus == control) m_focus = nullptr;
    // A root deleted from outside must not be painted or deleted again.
    if (m_root == control) m_root = nullptr;
    if (m_wrappedRoot == control) m_wrappedRoot = nullptr;
    KillTimer(control);
    const CUiString name = control->Name();
    if (!name.IsEmpty() && m_namedControls.Find(name, false) == control)
        m_namedControls.Remove(name);
    // The lists below only point at controls; a dead pointer in them would be
    // painted or sent mouse-leave later.
    auto drop = [control](std::vector<CControlUI*>& list) {
        list.erase(std::remove(list.begin(), list.end(), control), list.end());
    };
    drop(m_postPaint);
    drop(m_mouseLeaveNeeded);
    m_nativeWindows.erase(std::remove_if(m_nativeWindows.begin(), m_nativeWindows.end(),
                                         [control](const NativeWindow& w) {
                                             return w.control == control;
                                         }),
                          m_nativeWindows.end());
    if (m_store) {
        for (UiNotification& queued : m_store->asyncQueue)
            if (queued.sender == control) queued.sender = nullptr;
        for (UiNotification* delivering : m_store->inFlight)
            if (delivering->sender == control) delivering->sender = nullptr;
    }
}

void CPaintManagerUI::DestroyLater(CControlUI* control)
{
    if (!control) return;
    LiveStore& store = Store();
    for (const auto& owned : store.delayedCleanup)
        if (owned.get() == control) return;   // queued twice would delete twice
    control->Attach(this, nullptr, false);
    store.delayedCleanup.emplace_back(control);
    if (m_paintWindow && !m_asyncPosted) m_asyncPosted = PostMessageW(m_paintWindow, WM_APP + 1, 0, 0) != FALSE;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    if (!m_root) return nullptr;
    return m_root->Search(AcceptAny, &pt, kHitTestFlags);
}

CControlUI* CPaintManagerUI::ControlAt(POINT pt) const
{
    CControlUI* control = FindControl(pt);
    return control && control->Owner() == this ? control : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const
{
    if (!name || !*name) return nullptr;
    return static_cast<CControlUI*>(m_namedControls.Find(name));
}

CControlUI* CPaintManagerUI::FindDescendantByName(CControlUI* parent, const wchar_t* name) const
{
    if (!parent || !name) return nullptr;
    return parent->Search(MatchNameNoCase, const_cast<wchar_t*>(name), UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindDescendantAt(CControlUI* parent, POINT pt) const
{
    if (!parent) return nullptr;
    return parent->Search(AcceptAny, &pt, kHitTestFlags);
}

CControlUI* CPaintManagerUI::FindDescendantByClass(CControlUI* parent, const wchar_t* className,
                                                   int index)
{
    if (!parent || index < 0) return nullptr;
    ClassQuery query = {className, index, nullptr};
    return parent->Search(MatchClassAt, &query, UIFIND_ALL);
}

CUiPtrArray* CPaintManagerUI::FindDescendantsByClass(CControlUI* parent, const wchar_t* className)
{
    m_foundControls.Empty();
    if (parent) {
        ClassQuery query = {className, 0, &m_foundControls};
        parent->Search(CollectClass, &query, UIFIND_ALL);
    }
    return &m_foundControls;
}

void CPaintManagerUI::SetCapture()
{
    if (m_paintWindow) ::SetCapture(m_paintWindow);
    m_mouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture()
{
    if (m_mouseCapture) ::ReleaseCapture();
    m_mouseCapture = false;
}

void CPaintManagerUI::DrainAsyncWork()
{
    // Deleting may queue more (a container deleting its children): take the queue
    // out first, and keep going until it stays empty.
    LiveStore& store = Store();
    while (!store.delayedCleanup.empty()) {
        std::vector<std::unique_ptr<CControlUI>> doomed;
        doomed.swap(store.delayedCleanup);
        doomed.clear();
    }
    m_asyncPosted = false;
    while (!store.asyncQueue.empty()) {
        UiNotification notification = store.asyncQueue.front();
        store.asyncQueue.pop_front();
        DeliverNotification(notification);
    }
}

void CPaintManagerUI::ReleaseLiveState()
{
    StopAllTimers();
    if (m_tooltip) {
        DestroyWindow(m_tooltip);
        m_tooltip = nullptr;
    }
    // Controls call ForgetControl while they die; the manager is still whole here.
    std::unique_ptr<CControlUI> root(m_root);
    m_root = nullptr;
    root.reset();
    if (m_store) {
        while (!m_store->delayedCleanup.empty()) {
            std::vector<std::unique_ptr<CControlUI>> doomed;
            doomed.swap(m_store->delayedCleanup);
        }
        m_store->asyncQueue.clear();
    }
    m_namedControls.RemoveAll();
    ReleaseOffscreen();
    ReleaseBackground();
    if (m_paintDC && m_paintWindow) ReleaseDC(m_paintWindow, m_paintDC);
    m_paintDC = nullptr;
    m_store.reset();
}

} // namespace SkinUI
