// The control base's life and input: attach and init, listeners, the base
// reaction to events, search flags, visibility and virtual window names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestContainer.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;
using ControlTests::CTestContainer;

namespace {

// Remembers every event that reaches ProcessEvent, and the order of init calls.
class Probe : public CControlUI {
public:
    std::vector<int> processed;
    std::vector<std::string>* log = nullptr;
    void ProcessEvent(UiEvent& event) override
    {
        processed.push_back(event.kind);
        CControlUI::ProcessEvent(event);
    }
    void OnInitialize() override
    {
        if (log)
            log->push_back("OnInitialize");
    }
};

class ProbeContainer : public CTestContainer {
public:
    std::vector<int> processed;
    void ProcessEvent(UiEvent& event) override { processed.push_back(event.kind); }
};

UiEvent Event(int kind)
{
    UiEvent e;
    e.kind = kind;
    return e;
}

std::vector<std::string>* g_log = nullptr;
bool LogInit(void*) { g_log->push_back("OnInit"); return true; }
bool Refuse(void*) { return false; }
bool Accept(void*) { return true; }
int g_destroyed = 0;
bool CountDestroy(void*) { ++g_destroyed; return true; }

TEST(ControlLife, AttachInitialisesOnlyWithParentAndInit)
{
    std::vector<std::string> log;
    g_log = &log;
    CTestContainer parent;
    Probe child;
    child.log = &log;
    child.OnInit += LogInit;
    child.Attach(nullptr, nullptr, true);          // no parent: no init
    child.Attach(nullptr, &parent, false);         // no init asked
    EXPECT_TRUE(log.empty());
    child.Attach(nullptr, &parent, true);
    EXPECT_EQ(log, (std::vector<std::string>{"OnInitialize", "OnInit"}));
    EXPECT_EQ(child.ParentControl(), &parent);
    child.Attach(nullptr, nullptr, false);
}

TEST(ControlLife, DestroyListenersRunOnce)
{
    g_destroyed = 0;
    {
        CControlUI control;
        control.OnDestroy += CountDestroy;
        control.OnDestroy += CountDestroy;   // equal delegates are added once
    }
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ControlEvents, ListenersGateProcessing)
{
    Probe control;
    UiEvent e = Event(UIEVENT_BUTTONDOWN);
    control.HandleEvent(e);
    EXPECT_EQ(control.processed.size(), 1u);
    control.OnEvent += Accept;
    control.HandleEvent(e);
    EXPECT_EQ(control.processed.size(), 2u);
    control.OnEvent += Refuse;
    control.HandleEvent(e);
    EXPECT_EQ(control.processed.size(), 2u) << "a listener that returns false stops the event";
    control.OnEvent -= Refuse;
    control.HandleEvent(e);
    EXPECT_EQ(control.processed.size(), 3u);
}

TEST(ControlEvents, UnconsumedKindsGoToTheParent)
{
    ProbeContainer parent;
    auto* child = new Probe;
    parent.AddItem(child);
    const int passedOn[] = {UIEVENT_BUTTONDOWN, UIEVENT_MOUSEMOVE, UIEVENT_SCROLLWHEEL,
                            UIEVENT_KEYDOWN, UIEVENT_CONTEXTMENU, UIEVENT_DBLCLICK};
    for (int kind : passedOn) {
        UiEvent e = Event(kind);
        child->HandleEvent(e);
    }
    const int consumed[] = {UIEVENT_SETFOCUS, UIEVENT_KILLFOCUS, UIEVENT_SETCURSOR};
    for (int kind : consumed) {
        UiEvent e = Event(kind);
        child->HandleEvent(e);
    }
    EXPECT_EQ(parent.processed, std::vector<int>(std::begin(passedOn), std::end(passedOn)));
    // Without a parent an event is dropped quietly.
    Probe orphan;
    UiEvent e = Event(UIEVENT_BUTTONUP);
    orphan.HandleEvent(e);
}

TEST(ControlEvents, FocusEventsSetTheFlag)
{
    CControlUI control;
    UiEvent set = Event(UIEVENT_SETFOCUS), kill = Event(UIEVENT_KILLFOCUS);
    control.HandleEvent(set);
    EXPECT_TRUE(control.HasFocus());
    control.HandleEvent(kill);
    EXPECT_FALSE(control.HasFocus());
    control.HandleEvent(set);
    control.Show(false);
    EXPECT_FALSE(control.HasFocus()) << "hiding drops the focus flag";
}

CControlUI* Collect(CControlUI* control, void* data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}
CControlUI* First(CControlUI* control, void*) { return control; }

struct SearchCase {
    const char* label;
    UINT flags;
    std::vector<int> expect;   // indexes: 0 parent, 1 visible, 2 hidden, 3 disabled, 4 mouse-off
};

class ControlSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(ControlSearchTest, VisitsWhatTheFlagsAllow)
{
    CTestContainer parent;
    CControlUI* kids[4];
    for (auto& k : kids) {
        k = new CControlUI;
        parent.AddItem(k);
    }
    kids[1]->Show(false);
    kids[2]->Enable(false);
    kids[3]->EnableMouse(false);
    parent.Place(RECT{0, 0, 10, 10});
    CControlUI* byIndex[] = {&parent, kids[0], kids[1], kids[2], kids[3]};

    std::vector<CControlUI*> seen;
    POINT pt = {5, 5};
    void* data = (GetParam().flags & UIFIND_HITTEST) ? static_cast<void*>(&pt) : &seen;
    if (GetParam().flags & UIFIND_HITTEST) {
        CControlUI* hit = parent.Search(First, data, GetParam().flags);
        ASSERT_FALSE(GetParam().expect.empty());
        EXPECT_EQ(hit, byIndex[GetParam().expect[0]]) << GetParam().label;
        return;
    }
    parent.Search(Collect, data, GetParam().flags);
    std::vector<CControlUI*> expect;
    for (int i : GetParam().expect)
        expect.push_back(byIndex[i]);
    EXPECT_EQ(seen, expect) << GetParam().label;
}

const SearchCase kSearchCases[] = {
    {"everything, children first", UIFIND_ALL, {1, 2, 3, 4, 0}},
    {"container first", UIFIND_ME_FIRST, {0, 1, 2, 3, 4}},
    {"visible only", UIFIND_VISIBLE, {1, 3, 4, 0}},
    {"visible and enabled", UIFIND_VISIBLE | UIFIND_ENABLED, {1, 4, 0}},
    {"topmost first", UIFIND_TOP_FIRST, {4, 3, 2, 1, 0}},
    {"hit test takes the topmost mouse-enabled visible child",
     UIFIND_HITTEST | UIFIND_VISIBLE | UIFIND_TOP_FIRST, {3}},
    {"hit test with enabled skips the disabled one too",
     UIFIND_HITTEST | UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_TOP_FIRST, {1}},
};

INSTANTIATE_TEST_SUITE_P(Control, ControlSearchTest, ::testing::ValuesIn(kSearchCases));

TEST(ControlNames, VirtualWindowNameComesFromTheNearestAncestor)
{
    CTestContainer page;
    auto* inner = new CTestContainer;
    auto* button = new CControlUI;
    page.ApplyAttribute(L"virtualwnd", L"install1");
    page.AddItem(inner);
    inner->AddItem(button);
    EXPECT_EQ(button->VirtualWindowName(), L"install1");
    button->AssignVirtualWindowName(L"own");
    EXPECT_EQ(button->VirtualWindowName(), L"own");
    EXPECT_TRUE(inner->OwnVirtualWindowName().IsEmpty());
}

} // namespace
