#include "PaintTestUtil.h"

#include <algorithm>

#include "support/TestSupport.h"

namespace PaintTest {

int EventLog::Count(const std::string& entry) const
{
    return static_cast<int>(std::count(entries.begin(), entries.end(), entry));
}

std::vector<std::string> EventLog::Matching(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& entry : entries)
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    return out;
}

std::string EventLog::Joined() const
{
    std::string out;
    for (const std::string& entry : entries) out += (out.empty() ? "" : " ") + entry;
    return out.empty() ? "(nothing)" : out;
}

const char* EventName(int kind)
{
    switch (kind) {
    case UIEVENT_KEYDOWN: return "keydown";
    case UIEVENT_KEYUP: return "keyup";
    case UIEVENT_CHAR: return "char";
    case UIEVENT_SYSKEY: return "syskey";
    case UIEVENT_MOUSEMOVE: return "move";
    case UIEVENT_MOUSELEAVE: return "leave";
    case UIEVENT_MOUSEENTER: return "enter";
    case UIEVENT_MOUSEHOVER: return "hover";
    case UIEVENT_BUTTONDOWN: return "down";
    case UIEVENT_BUTTONUP: return "up";
    case UIEVENT_RBUTTONDOWN: return "rdown";
    case UIEVENT_RBUTTONUP: return "rup";
    case UIEVENT_MBUTTONDOWN: return "mdown";
    case UIEVENT_MBUTTONUP: return "mup";
    case UIEVENT_DBLCLICK: return "dblclick";
    case UIEVENT_CONTEXTMENU: return "contextmenu";
    case UIEVENT_SCROLLWHEEL: return "wheel";
    case UIEVENT_KILLFOCUS: return "killfocus";
    case UIEVENT_SETFOCUS: return "setfocus";
    case UIEVENT_WINDOWSIZE: return "windowsize";
    case UIEVENT_SETCURSOR: return "setcursor";
    case UIEVENT_TIMER: return "timer";
    default: return "?";
    }
}

std::string SenderName(const CControlUI* control)
{
    return control ? TestSupport::ToUtf8(std::wstring(control->Name().GetData())) : "null";
}

// ---- ProbeControl

ProbeControl::ProbeControl(const char* name, EventLog* log, RECT place, UINT flags)
    : place(place), m_tag(name), m_log(log), m_flags(flags)
{
    AssignName(TestSupport::FromUtf8(name).c_str());
}

ProbeControl::~ProbeControl()
{
    if (destroyed) *destroyed = true;
}

void ProbeControl::HandleEvent(UiEvent& event)
{
    // Mouse moves are many; the tests count them through their own entries.
    if (m_log) m_log->Add("ev:" + m_tag + ":" + EventName(event.kind));
    if (onEvent) onEvent(event);
    if (event.kind == UIEVENT_BUTTONUP && m_manager && PtInRect(&m_itemRect, event.mouse)) {
        m_manager->SendNotify(this, UiNotify::Click);
        return;   // the handler may have removed this control
    }
    CControlUI::HandleEvent(event);
}

void ProbeControl::DrawLabel(HDC dc)
{
    if (painter) painter(dc, m_itemRect);
}

// ---- TestBox

TestBox::~TestBox()
{
    for (CControlUI* item : m_items) delete item;
}

void* TestBox::InterfaceFor(const wchar_t* name)
{
    if (_wcsicmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (_wcsicmp(name, L"Container") == 0) return this;
    return CControlUI::InterfaceFor(name);
}

void TestBox::Attach(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    for (CControlUI* item : m_items) item->Attach(manager, this, init);
    CControlUI::Attach(manager, parent, init);
}

static RECT PlaceOf(CControlUI* control)
{
    if (auto* probe = dynamic_cast<ProbeControl*>(control)) return probe->place;
    if (auto* box = dynamic_cast<TestBox*>(control)) return box->place;
    return RECT{};
}

void TestBox::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    for (CControlUI* item : m_items) {
        RECT r = PlaceOf(item);
        OffsetRect(&r, rect.left, rect.top);
        item->Place(r, invalidate);
    }
}

CControlUI* TestBox::Search(UiFindProc visitor, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) && !Shown()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !Enabled()) return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !PtInRect(&m_itemRect, *static_cast<POINT*>(data))) return nullptr;
    if ((flags & UIFIND_UPDATETEST) && visitor(this, data)) return nullptr;
    const bool visitSelf = !hitTest || MouseEnabled();
    if ((flags & UIFIND_ME_FIRST) && visitSelf)
        if (CControlUI* found = visitor(this, data)) return found;
    const std::vector<CControlUI*> items = m_items;
    if (flags & UIFIND_TOP_FIRST) {
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            if (CControlUI* found = (*it)->Search(visitor, data, flags)) return found;
    } else {
        for (CControlUI* item : items)
            if (CControlUI* found = item->Search(visitor, data, flags)) return found;
    }
    if (!(flags & UIFIND_ME_FIRST) && visitSelf) return visitor(this, data);
    return nullptr;
}

bool TestBox::RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    CControlUI::RenderLayers(dc, paintRect, stopControl);
    for (CControlUI* item : m_items) {
        if (!item->Shown()) continue;
        if (!item->Render(dc, paintRect, stopControl)) return false;
    }
    return true;
}

CControlUI* TestBox::ItemAt(int index) const
{
    return index >= 0 && index < ItemCount() ? m_items[index] : nullptr;
}

int TestBox::IndexOfItem(CControlUI* control) const
{
    auto it = std::find(m_items.begin(), m_items.end(), control);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool TestBox::MoveItemTo(CControlUI* control, int index)
{
    const int at = IndexOfItem(control);
    if (at < 0) return false;
    m_items.erase(m_items.begin() + at);
    index = std::max(0, std::min(index, ItemCount()));
    m_items.insert(m_items.begin() + index, control);
    RequestLayout();
    return true;
}

bool TestBox::AddItem(CControlUI* control) { return InsertItem(control, ItemCount()); }

bool TestBox::InsertItem(CControlUI* control, int index)
{
    if (!control || index < 0 || index > ItemCount()) return false;
    if (m_manager) m_manager->BindTree(control, this);
    else control->Attach(nullptr, this, false);
    m_items.insert(m_items.begin() + index, control);
    RequestLayout();
    return true;
}

bool TestBox::RemoveItem(CControlUI* control)
{
    const int at = IndexOfItem(control);
    if (at < 0) return false;
    m_items.erase(m_items.begin() + at);
    RequestLayout();
    if (m_manager) m_manager->DestroyLater(control);
    else delete control;
    return true;
}

bool TestBox::RemoveItemAt(int index) { return RemoveItem(ItemAt(index)); }

void TestBox::RemoveAllItems()
{
    while (!m_items.empty()) RemoveItem(m_items.back());
}

// ---- Recorder

void Recorder::Notify(UiNotification& notification)
{
    m_log->Add("n:" + TestSupport::ToUtf8(std::wstring(notification.type.GetData())) + ":" +
               SenderName(notification.sender));
    seen.push_back(notification);
    if (onNotify) onNotify(notification);
}

// ---- TestWindow

class TestWindow::InitWatcher : public INotifyUI {
public:
    explicit InitWatcher(TestWindow* owner) : m_owner(owner) {}
    void Notify(UiNotification& notification) override
    {
        if (notification.type == UiNotify::WindowInit) ++m_owner->windowInits;
    }

private:
    TestWindow* m_owner;
};

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->m_window == window) {
        if (message == WM_PAINT) ++self->paints;
        if (self->onMessage) self->onMessage(message, wParam, lParam);
        LRESULT result = 0;
        if (self->m_manager.HandleMessage(message, wParam, lParam, result)) return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TestWindow::TestWindow(int width, int height, bool layered, int x, int y, const wchar_t* title)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = L"VelkaroPaintTest";
    RegisterClassW(&wc);
    m_window = CreateWindowExW(0, wc.lpszClassName, title, WS_POPUP, x, y, width, height, nullptr,
                               nullptr, wc.hInstance, this);
    m_manager.Init(m_window, title);
    if (layered) m_manager.SetLayered(true);
    m_watcher = new InitWatcher(this);
    m_manager.AddNotifier(m_watcher);
}

TestWindow::~TestWindow()
{
    if (m_window) {
        HWND window = m_window;
        DestroyWindow(window);
        m_window = nullptr;
    }
    m_manager.RemoveNotifier(m_watcher);
    delete m_watcher;
}

::testing::AssertionResult TestWindow::Show(CControlUI* root)
{
    m_manager.AttachRoot(root);
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    UpdateWindow(m_window);
    return PumpUntil([this] { return windowInits > 0 && paints > 0; }, 5000, [this] {
        return "windowinit x" + std::to_string(windowInits) + ", paints " + std::to_string(paints);
    });
}

POINT TestWindow::ScreenPoint(int x, int y) const
{
    POINT pt = {x, y};
    ClientToScreen(m_window, &pt);
    return pt;
}

// ---- pumping

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CPaintManagerUI::PreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

::testing::AssertionResult PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs,
                                     const std::function<std::string()>& seen)
{
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CPaintManagerUI::PreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition()) return ::testing::AssertionSuccess();
        if (GetTickCount() - start >= timeoutMs)
            return ::testing::AssertionFailure()
                   << "timed out after " << timeoutMs << " ms; saw: " << seen();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

Pixel OffscreenPixel(CPaintManagerUI& manager, int x, int y)
{
    const BYTE* bits = manager.GetOffscreenBits();
    const SIZE size = manager.GetOffscreenSize();
    if (!bits || x < 0 || y < 0 || x >= size.cx || y >= size.cy) return Pixel{0, 0, 0, 0};
    const BYTE* px = bits + (static_cast<size_t>(size.cy - 1 - y) * size.cx + x) * 4;
    return Pixel{px[0], px[1], px[2], px[3]};
}

} // namespace PaintTest
