// Notification tables: which handler a notification reaches, through the class's
// own table, its base tables and the sub-pumps of virtual windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/UiControl.h"
#include "ui/core/UiNotifyPump.h"

using namespace SkinUI;

namespace {

std::vector<std::string> g_calls;

class BasePage : public CNotifyPump {
    UI_DECLARE_NOTIFY_MAP()
protected:
    void BaseAny(UiNotification&) { g_calls.push_back("base:any"); }
    void BaseTimer(UiNotification&) { g_calls.push_back("base:timer"); }
    void BaseOk(UiNotification&) { g_calls.push_back("base:ok"); }
};

UI_BEGIN_NOTIFY_MAP(BasePage, CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", BaseAny)
    UI_ON_NOTIFY(L"click", L"ok", BaseOk)
    UI_ON_NOTIFY(L"timer", L"", BaseTimer)
UI_END_NOTIFY_MAP()

// Something that is not a pump comes first, so the handlers sit at an offset
// from the pump inside the object.
struct Padding {
    virtual ~Padding() = default;
    char bytes[40] = {};
};

class Page : public Padding, public BasePage {
    UI_DECLARE_NOTIFY_MAP()
public:
    explicit Page(const char* tag) : tag(tag) {}
    std::string tag;

private:
    void Any(UiNotification&) { g_calls.push_back(tag + ":any"); }
    void AnySelect(UiNotification&) { g_calls.push_back(tag + ":select:any"); }
    void Agree(UiNotification& n) { g_calls.push_back(tag + ":agree:" + std::to_string(n.wParam)); }
    void Params(WPARAM w, LPARAM l)
    {
        g_calls.push_back(tag + ":params:" + std::to_string(w) + "," + std::to_string(l));
    }
};

UI_BEGIN_NOTIFY_MAP(Page, BasePage)
    UI_ON_NOTIFY(L"click", L"", Any)
    UI_ON_NOTIFY(L"selectchanged", L"", AnySelect)
    UI_ON_NOTIFY(L"selectchanged", L"agree", Agree)
    UI_ON_NOTIFY_PARAMS(L"itemselect", L"", Params)
UI_END_NOTIFY_MAP()

// A table whose entry carries a signature nobody knows.
class OddPage : public CNotifyPump {
public:
    const UiNotifyMap* NotifyMap() const override
    {
        static const UiNotifyEntry entries[] = {
            {L"click", L"", 7, nullptr, nullptr},
            {nullptr, nullptr, UINOTIFY_END, nullptr, nullptr},
        };
        static const UiNotifyMap map = {&CNotifyPump::ThisNotifyMap(), entries};
        return &map;
    }
};

struct Sent {
    const wchar_t* type;
    const wchar_t* sender;      // null: no sender
    const wchar_t* virtualWindow;
};

UiNotification Make(const Sent& sent, CControlUI* sender)
{
    UiNotification n;
    n.type = sent.type;
    n.sender = sender;
    if (sent.virtualWindow) n.virtualWindow = sent.virtualWindow;
    n.wParam = 3;
    n.lParam = 4;
    return n;
}

} // namespace

TEST(NotifyPump, EntriesAreChosenByTypeThenNameThenBase)
{
    struct Case {
        const char* what;
        Sent sent;
        const char* expected;   // the one handler that ran, "" for none
        bool dispatched;
    };
    const Case cases[] = {
        {"named entry beats the empty name", {L"selectchanged", L"agree", nullptr}, "main:agree:3", true},
        {"another control takes the empty name", {L"selectchanged", L"other", nullptr}, "main:select:any", true},
        {"own table beats the base table", {L"click", L"ok", nullptr}, "main:any", true},
        {"base table searched for a missing type", {L"timer", L"x", nullptr}, "base:timer", true},
        {"signature 1 gets the parameters", {L"itemselect", L"x", nullptr}, "main:params:3,4", true},
        {"no sender matches the empty name", {L"click", nullptr, nullptr}, "main:any", true},
        {"types compare exactly", {L"Click", L"x", nullptr}, "", false},
        {"unknown type", {L"nothing", L"x", nullptr}, "", false},
        {"empty type", {L"", L"x", nullptr}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Page page("main");
        CControlUI sender;
        if (c.sent.sender) sender.AssignName(c.sent.sender);
        UiNotification n = Make(c.sent, c.sent.sender ? &sender : nullptr);
        g_calls.clear();
        EXPECT_EQ(page.DispatchByMap(n), c.dispatched);
        const std::string joined = g_calls.empty() ? "" : g_calls.front();
        EXPECT_EQ(joined, c.expected);
        EXPECT_LE(g_calls.size(), 1u);
    }
}

TEST(NotifyPump, VirtualWindowsGoToTheirSubPump)
{
    struct Case {
        const char* what;
        Sent sent;
        const char* expected;
    };
    const Case cases[] = {
        {"registered name", {L"click", L"x", L"page1"}, "one:any"},
        {"name ignoring case", {L"click", L"x", L"PAGE2"}, "two:any"},
        {"unknown virtual window: own table", {L"click", L"x", L"page9"}, "main:any"},
        {"no virtual window: own table", {L"click", L"x", nullptr}, "main:any"},
        // The sub-pump has no table entry for this one (only its base has), so it
        // still takes it through its base table.
        {"sub-pump's base table", {L"timer", L"x", L"page1"}, "base:timer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Page main("main"), one("one"), two("two");
        ASSERT_TRUE(main.RegisterSubPump(L"page1", &one));
        ASSERT_TRUE(main.RegisterSubPump(L"Page2", &two));
        CControlUI sender;
        sender.AssignName(c.sent.sender);
        UiNotification n = Make(c.sent, &sender);
        g_calls.clear();
        main.DispatchNotification(n);
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls.front(), c.expected);
    }
}

TEST(NotifyPump, SubPumpThatDoesNotTakeItFallsBackToTheOwner)
{
    Page main("main");
    CNotifyPump empty;   // no entries at all
    ASSERT_TRUE(main.RegisterSubPump(L"page1", &empty));
    CControlUI sender;
    UiNotification n = Make({L"click", L"x", L"page1"}, &sender);
    g_calls.clear();
    main.DispatchNotification(n);
    EXPECT_EQ(g_calls, std::vector<std::string>{"main:any"});
}

TEST(NotifyPump, SubPumpRegistrationRefusesBadInput)
{
    Page main("main"), one("one");
    struct Case {
        const char* what;
        const wchar_t* name;
        CNotifyPump* pump;
        bool accepted;
    };
    const Case cases[] = {
        {"first registration", L"page1", &one, true},
        {"same name again", L"page1", &one, false},
        {"same name in other case", L"PAGE1", &one, false},
        {"null pump", L"page2", nullptr, false},
        {"empty name", L"", &one, false},
        {"null name", nullptr, &one, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(main.RegisterSubPump(c.name, c.pump), c.accepted);
    }
    EXPECT_FALSE(main.UnregisterSubPump(nullptr));
    EXPECT_FALSE(main.UnregisterSubPump(L"page9"));
    EXPECT_TRUE(main.UnregisterSubPump(L"Page1"));
    EXPECT_FALSE(main.UnregisterSubPump(L"page1"));
    // Gone: the notification comes back to the owner.
    CControlUI sender;
    UiNotification n = Make({L"click", L"x", L"page1"}, &sender);
    g_calls.clear();
    main.DispatchNotification(n);
    EXPECT_EQ(g_calls, std::vector<std::string>{"main:any"});
}

TEST(NotifyPump, UnknownSignatureEndsTheSearch)
{
    OddPage odd;
    CControlUI sender;
    UiNotification n = Make({L"click", L"x", nullptr}, &sender);
    EXPECT_FALSE(odd.DispatchByMap(n));
}
