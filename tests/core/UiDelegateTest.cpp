#include <gtest/gtest.h>

#include "ui/core/UiDelegate.h"

#include <string>

using namespace SkinUI;

namespace {
std::string g_calls;
bool First(void* p) { g_calls += "1"; return true; }
bool Second(void* p) { g_calls += "2"; return true; }
bool Stop(void* p) { g_calls += "S"; return false; }

struct Receiver {
    int seen = 0;
    bool OnEvent(void* p) { seen += *static_cast<int*>(p); return true; }
    bool OnOther(void* p) { return false; }
};
} // namespace

TEST(UiListenerList, RaisesInOrderAndStopsAtFirstFalse)
{
    CUiListenerList list;
    EXPECT_TRUE(list.Raise(nullptr)); // empty list: true
    list += First;
    list += Stop;
    list += Second;
    g_calls.clear();
    EXPECT_FALSE(list.Raise(nullptr));
    EXPECT_EQ("1S", g_calls);
    EXPECT_TRUE(list.Remove(Stop));
    EXPECT_FALSE(list.Remove(Stop));
    g_calls.clear();
    EXPECT_TRUE(list(nullptr));
    EXPECT_EQ("12", g_calls);
}

TEST(UiListenerList, EqualDelegateIsNotAddedTwice)
{
    CUiListenerList list;
    EXPECT_TRUE(list.Add(First));
    EXPECT_TRUE(list.Add(First));
    EXPECT_EQ(1, list.GetSize());
    EXPECT_TRUE(list.HasAny());
}

TEST(UiListenerList, MemberDelegatesCompareByObjectAndFunction)
{
    Receiver a, b;
    CUiListenerList list;
    list += MakeDelegate(&a, &Receiver::OnEvent);
    list += MakeDelegate(&a, &Receiver::OnEvent);
    list += MakeDelegate(&b, &Receiver::OnEvent);
    EXPECT_EQ(2, list.GetSize());
    EXPECT_FALSE(list.Remove(MakeDelegate(&a, &Receiver::OnOther)));
    int value = 5;
    EXPECT_TRUE(list.Raise(&value));
    EXPECT_EQ(5, a.seen);
    EXPECT_EQ(5, b.seen);
    EXPECT_TRUE(list.Remove(MakeDelegate(&a, &Receiver::OnEvent)));
    list.Raise(&value);
    EXPECT_EQ(5, a.seen);
    EXPECT_EQ(10, b.seen);
}
