// The event base: what a page passes on to its parent, and the callback that
// runs when an object goes.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "KeInstall/KeBase.h"

namespace KeBaseTests {

struct Event {
    int code, wparam, lparam;
    bool operator==(const Event& other) const
    {
        return code == other.code && wparam == other.wparam && lparam == other.lparam;
    }
};

// A main frame that only listens.
class Recorder : public KeBase {
public:
    void OnEvent(int code, int wparam, int lparam) override { heard.push_back({code, wparam, lparam}); }
    std::vector<Event> heard;
};

TEST(KeBaseEvents, APageForwardsOnlyPostToUiUnchanged)
{
    struct Case {
        Event sent;
        bool forwarded;
    };
    const Case kCases[] = {
        {{EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 0}, true},
        {{EVENT_POST_TO_UI, -7, 123456}, true},
        {{EVENT_SHOW_PAGE, 2, 0}, false},
        {{EVENT_START_INSTALL, 0, 0}, false},
        {{EVENT_PROGRESS_CHANGED, 0, 0}, false},
        {{EVENT_INSTALL_FAILED, 0, 3}, false},
        {{0, 1, 1}, false},
        {{-1, 0, 0}, false},
    };
    for (const Case& c : kCases) {
        Recorder frame;
        KePageEvents page;
        page.SetEventParent(&frame);
        page.OnEvent(c.sent.code, c.sent.wparam, c.sent.lparam);
        if (c.forwarded) {
            ASSERT_EQ(frame.heard.size(), 1u) << "code " << c.sent.code;
            EXPECT_TRUE(frame.heard[0] == c.sent) << "code " << c.sent.code;
        } else {
            EXPECT_TRUE(frame.heard.empty()) << "code " << c.sent.code;
        }
    }
}

TEST(KeBaseEvents, WithoutAParentEventsAreDropped)
{
    Recorder frame;
    KePageEvents page;
    page.OnEvent(EVENT_POST_TO_UI, 66, 0);   // never had one
    page.SetEventParent(&frame);
    page.SetEventParent(nullptr);            // had one, cleared
    page.OnEvent(EVENT_POST_TO_UI, 66, 0);
    EXPECT_TRUE(frame.heard.empty());
    EXPECT_EQ(page.GetEventParent(), nullptr);
}

// An object that is its own parent would hand code 1 to itself without end.
TEST(KeBaseEvents, AnObjectIsNeverItsOwnParent)
{
    KePageEvents page;
    page.SetEventParent(&page);
    EXPECT_EQ(page.GetEventParent(), nullptr);
    page.OnEvent(EVENT_POST_TO_UI, 66, 0);   // returns
}

TEST(KeBaseEvents, AParentIsNeverOwned)
{
    auto frame = std::make_unique<Recorder>();
    {
        KePageEvents page;
        page.SetEventParent(frame.get());
    }
    // Still whole after its child went: the handle freed nothing.
    frame->OnEvent(EVENT_SHOW_PAGE, 1, 0);
    EXPECT_EQ(frame->heard.size(), 1u);
}

TEST(KeBaseLife, TheOnDestroyCallbackRunsOnceWhenTheObjectGoes)
{
    struct Case {
        const char* what;
        int setCount;   // how many callbacks were set, the last one counting
        int expectedCalls;
    };
    const Case kCases[] = {
        {"none set", 0, 0},
        {"one set", 1, 1},
        {"replaced", 2, 1},
    };
    for (const Case& c : kCases) {
        int lastCalls = 0, earlierCalls = 0;
        {
            auto object = std::make_unique<KeBase>();
            for (int i = 0; i < c.setCount; ++i) {
                const bool last = i == c.setCount - 1;
                object->SetOnDestroy([&, last] { ++(last ? lastCalls : earlierCalls); });
            }
            EXPECT_EQ(lastCalls, 0) << c.what << ": ran before the object went";
        }
        EXPECT_EQ(lastCalls, c.expectedCalls) << c.what;
        EXPECT_EQ(earlierCalls, 0) << c.what;
    }
}

TEST(KeBaseLife, ACallbackSetFromTheCallbackDoesNotRun)
{
    int outer = 0, inner = 0;
    {
        auto object = std::make_unique<KeBase>();
        KeBase* raw = object.get();
        object->SetOnDestroy([&, raw] {
            ++outer;
            raw->SetOnDestroy([&] { ++inner; });
        });
    }
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0);
}

} // namespace KeBaseTests
