#include <gtest/gtest.h>

#include "ui/core/UiArray.h"

using SkinUI::CUiPtrArray;
using SkinUI::CUiValArray;

static void* P(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

TEST(UiPtrArray, GrowsOneBeforeFullFromElevenSlots)
{
    CUiPtrArray a;
    EXPECT_EQ(nullptr, a.GetData());
    ASSERT_TRUE(a.Add(P(1)));
    EXPECT_EQ(11, a.GetCapacity());
    for (int i = 2; i <= 10; ++i) a.Add(P(i));
    EXPECT_EQ(11, a.GetCapacity());
    a.Add(P(11)); // the eleventh element already doubles the block
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(11, a.GetSize());
}

TEST(UiPtrArray, InsertSetRemoveKeepOrder)
{
    CUiPtrArray a;
    a.Add(P(1));
    a.Add(P(3));
    EXPECT_TRUE(a.InsertAt(1, P(2)));
    EXPECT_TRUE(a.InsertAt(3, P(4))); // at the end: an add
    EXPECT_FALSE(a.InsertAt(5, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    ASSERT_EQ(4, a.GetSize());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(P(i + 1), a[i]);
    EXPECT_TRUE(a.SetAt(0, P(7)));
    EXPECT_FALSE(a.SetAt(4, P(7)));
    EXPECT_TRUE(a.Remove(0));
    EXPECT_FALSE(a.Remove(3));
    EXPECT_EQ(P(2), a.GetAt(0));
    EXPECT_EQ(nullptr, a.GetAt(3));
    EXPECT_EQ(2, a.Find(P(4)));
    EXPECT_EQ(-1, a.Find(P(7)));
}

TEST(UiPtrArray, ResizeZeroesAndEmptyFrees)
{
    CUiPtrArray a(5);
    EXPECT_EQ(5, a.GetCapacity());
    EXPECT_TRUE(a.IsEmpty());
    a.Add(P(1));
    a.Resize(4);
    EXPECT_EQ(4, a.GetSize());
    EXPECT_EQ(4, a.GetCapacity());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(nullptr, a[i]);
    a.Empty();
    EXPECT_EQ(0, a.GetSize());
    EXPECT_EQ(0, a.GetCapacity());
    EXPECT_EQ(nullptr, a.GetData());
}

TEST(UiValArray, CopiesElementsBytewise)
{
    struct Pair { int a; int b; };
    CUiValArray v(sizeof(Pair));
    for (int i = 0; i < 30; ++i) {
        Pair p{i, -i};
        ASSERT_TRUE(v.Add(&p));
    }
    EXPECT_EQ(30, v.GetSize());
    EXPECT_EQ(44, v.GetCapacity());
    EXPECT_TRUE(v.Remove(0));
    EXPECT_FALSE(v.Remove(29));
    EXPECT_EQ(1, static_cast<Pair*>(v.GetAt(0))->a);
    EXPECT_EQ(-29, static_cast<Pair*>(v[28])->b);
    EXPECT_EQ(nullptr, v.GetAt(29));
    v.Empty();
    EXPECT_TRUE(v.IsEmpty());
}
