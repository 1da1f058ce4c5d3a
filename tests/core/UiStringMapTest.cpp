#include <gtest/gtest.h>

#include "ui/core/UiStringMap.h"

#include <string>

using SkinUI::CUiStringMap;

static void* Ptr(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

TEST(UiStringMap, BucketCountHasAFloorOfSixteen)
{
    EXPECT_EQ(16, CUiStringMap(0).GetBucketCount());
    EXPECT_EQ(83, CUiStringMap(83).GetBucketCount());
}

TEST(UiStringMap, InsertSetFindRemove)
{
    CUiStringMap m(0);
    EXPECT_EQ(nullptr, m.Find(L"a"));
    EXPECT_TRUE(m.Insert(L"a", Ptr(1)));
    EXPECT_FALSE(m.Insert(L"a", Ptr(2)));
    EXPECT_EQ(Ptr(1), m.Find(L"a"));
    EXPECT_EQ(Ptr(1), m.Set(L"a", Ptr(3)));
    EXPECT_EQ(Ptr(3), m.Find(L"a"));
    EXPECT_EQ(nullptr, m.Set(L"b", Ptr(4)));
    EXPECT_EQ(2, m.GetSize());
    EXPECT_EQ(nullptr, m.Find(L"A")); // keys are case-sensitive
    EXPECT_TRUE(m.Remove(L"a"));
    EXPECT_FALSE(m.Remove(L"a"));
    EXPECT_EQ(1, m.GetSize());
}

TEST(UiStringMap, HashRunsFromLastCharacterToFirst)
{
    // "ab": h = 'b'; h = h*33 + 'a'
    EXPECT_EQ(98u * 33u + 97u, CUiStringMap::Hash(L"ab"));
    EXPECT_EQ(0u, CUiStringMap::Hash(L""));
    // Wraps in 32 bits instead of overflowing into anything else.
    std::wstring longKey(40, L'\xFFFF');
    unsigned int h = 0;
    for (size_t i = longKey.size(); i > 0; --i) h = h * 33u + 0xFFFFu;
    EXPECT_EQ(h, CUiStringMap::Hash(longKey.c_str()));
}

TEST(UiStringMap, IterationIsBucketsFromLastAndFindMovesToFront)
{
    CUiStringMap m(16);
    // Find three keys that share one bucket.
    std::wstring same[3];
    int found = 0;
    unsigned int target = CUiStringMap::Hash(L"k0") % 16;
    for (int i = 0; found < 3; ++i) {
        std::wstring k = L"k" + std::to_wstring(i);
        if (CUiStringMap::Hash(k.c_str()) % 16 == target) same[found++] = k;
    }
    for (auto& k : same) m.Insert(k.c_str(), Ptr(1));
    // Newest first within the bucket.
    EXPECT_EQ(same[2], m.GetAt(0));
    EXPECT_EQ(same[1], m.GetAt(1));
    EXPECT_EQ(same[0], m.GetAt(2));
    EXPECT_EQ(nullptr, m.GetAt(3));
    m.Find(same[0].c_str());
    EXPECT_EQ(same[0], m.GetAt(0));
    EXPECT_EQ(same[2], m.GetAt(1));
    m.Find(same[1].c_str(), false);
    EXPECT_EQ(same[0], m.GetAt(0));
    // Unlinking from the middle keeps the chain intact.
    EXPECT_TRUE(m.Remove(same[2].c_str()));
    EXPECT_EQ(same[0], m.GetAt(0));
    EXPECT_EQ(same[1], m.GetAt(1));

    CUiStringMap order(16);
    std::wstring keys[2] = {L"", L""};
    for (int i = 0, n = 0; n < 2; ++i) {
        std::wstring k = L"x" + std::to_wstring(i);
        unsigned b = CUiStringMap::Hash(k.c_str()) % 16;
        if (n == 0 && b == 2) keys[n++] = k;
        else if (n == 1 && b == 9) keys[n++] = k;
    }
    order.Insert(keys[0].c_str(), Ptr(1));
    order.Insert(keys[1].c_str(), Ptr(2));
    EXPECT_EQ(keys[1], order.GetAt(0)); // bucket 9 comes before bucket 2
    EXPECT_EQ(keys[0], order.GetAt(1));
}

TEST(UiStringMap, ResizeDropsItemsAndNoBucketsRefusesInserts)
{
    CUiStringMap m;
    m.Insert(L"a", Ptr(1));
    m.Resize(-5);
    EXPECT_EQ(0, m.GetSize());
    EXPECT_EQ(0, m.GetBucketCount());
    EXPECT_FALSE(m.Insert(L"a", Ptr(1)));
    EXPECT_EQ(nullptr, m.Find(L"a"));
    EXPECT_EQ(nullptr, m.Set(L"a", Ptr(1)));
    m.Resize(20);
    EXPECT_TRUE(m.Insert(L"a", Ptr(1)));
}

TEST(UiStringMap, OwnsItsKeys)
{
    CUiStringMap m;
    {
        std::wstring key(100, L'k');
        m.Insert(key.c_str(), Ptr(5));
    }
    EXPECT_EQ(Ptr(5), m.Find(std::wstring(100, L'k').c_str()));
}
