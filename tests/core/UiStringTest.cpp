#include <gtest/gtest.h>

#include "ui/core/UiString.h"

#include <string>

using SkinUI::CUiString;

TEST(UiString, ShortTextStaysInlineLongTextGoesToHeap)
{
    CUiString s(std::wstring(62, L'x').c_str());
    EXPECT_TRUE(s.IsInline());
    EXPECT_EQ(62, s.GetLength());
    s = std::wstring(63, L'y').c_str();
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(63, s.GetLength());
    s = L"back";
    EXPECT_TRUE(s.IsInline());
    EXPECT_STREQ(L"back", s);
}

TEST(UiString, ConstructionForms)
{
    EXPECT_STREQ(L"", CUiString());
    EXPECT_STREQ(L"q", CUiString(L'q'));
    EXPECT_STREQ(L"abc", CUiString(L"abcdef", 3));
    EXPECT_STREQ(L"", CUiString(nullptr));
    CUiString heap(std::wstring(100, L'h').c_str());
    CUiString copy(heap);
    EXPECT_EQ(100, copy.GetLength());
    EXPECT_NE(heap.GetData(), copy.GetData());
}

TEST(UiString, AppendAfterShorteningThroughData)
{
    CUiString s(std::wstring(100, L'a').c_str());
    s.GetBuffer()[10] = L'\0';
    s.Append(L'b');
    EXPECT_EQ(11, s.GetLength());
    EXPECT_STREQ((std::wstring(10, L'a') + L"b").c_str(), s);
    EXPECT_TRUE(s.IsInline());
}

TEST(UiString, AppendCrossesIntoHeapAndKeepsContent)
{
    CUiString s(std::wstring(60, L'a').c_str());
    s += L"bcd";
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(63, s.GetLength());
    EXPECT_EQ(L'd', s[62]);
    s += s; // appending itself must not read a freed block
    EXPECT_EQ(126, s.GetLength());
    EXPECT_EQ(L'a', s[63]);
    s.Append(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(126, s.GetLength());
}

TEST(UiString, AssignFromItsOwnTail)
{
    CUiString s(std::wstring(80, L'z').c_str());
    s.GetBuffer()[79] = L'!';
    s.Assign(s.GetData() + 70);
    EXPECT_STREQ(L"zzzzzzzzz!", s);
    CUiString big(std::wstring(200, L'q').c_str());
    big.Assign(big.GetData() + 50); // 150 characters, same block
    EXPECT_EQ(150, big.GetLength());
}

TEST(UiString, AnsiConversion)
{
    CUiString s;
    s = "plain";
    EXPECT_STREQ(L"plain", s);
    s.AppendAnsi(" text");
    EXPECT_STREQ(L"plain text", s);
    s.AssignAnsi(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    std::string longAnsi(5000, 'k');
    s.AssignAnsi(longAnsi.c_str());
    EXPECT_EQ(5000, s.GetLength());
}

TEST(UiString, ConcatenationOperators)
{
    CUiString a(L"left"), b(L"right");
    EXPECT_STREQ(L"leftright", a + b);
    EXPECT_STREQ(L"left-", a + L"-");
    EXPECT_STREQ(L"left", a);
}

TEST(UiString, Comparisons)
{
    CUiString s(L"Button");
    EXPECT_EQ(0, s.Compare(L"Button"));
    EXPECT_EQ(-1, s.Compare(L"Buttons"));
    EXPECT_EQ(1, s.Compare(L"Butt"));
    EXPECT_EQ(1, s.Compare(L"BUTTON"));
    EXPECT_EQ(0, s.CompareNoCase(L"BUTTON"));
    EXPECT_TRUE(s == L"Button");
    EXPECT_TRUE(s != L"button");
    EXPECT_TRUE(s < L"C");
    EXPECT_TRUE(s <= L"Button");
    EXPECT_TRUE(s > L"A");
    EXPECT_TRUE(s >= L"Button");
    // Code units above 0x7FFF order after ASCII.
    EXPECT_EQ(-1, CUiString(L"a").Compare(L"\x4E2D"));
}

TEST(UiString, CaseConversion)
{
    CUiString s(L"MiXeD");
    EXPECT_STREQ(L"mixed", s.ToLower());
    EXPECT_STREQ(L"MIXED", s.ToUpper());
    EXPECT_STREQ(L"MiXeD", s);
    s.MakeUpper();
    EXPECT_STREQ(L"MIXED", s);
}

TEST(UiString, LeftMidRight)
{
    CUiString s(L"abcdef");
    EXPECT_STREQ(L"cdef", s.Mid(2, -1));
    EXPECT_STREQ(L"cd", s.Mid(2, 2));
    EXPECT_STREQ(L"ef", s.Mid(4, 10));
    EXPECT_STREQ(L"", s.Mid(6, 3));
    EXPECT_STREQ(L"", s.Mid(2, 0));
    EXPECT_STREQ(L"abc", CUiString(L"abc").Right(10));
    EXPECT_STREQ(L"ef", s.Right(2));
    EXPECT_STREQ(L"", s.Left(-1));
    EXPECT_STREQ(L"abcdef", s.Left(99));
}

TEST(UiString, FindRules)
{
    CUiString s(L"one two one");
    EXPECT_EQ(0, s.Find(L"one"));
    EXPECT_EQ(8, s.Find(L"one", 1));
    EXPECT_EQ(-1, s.Find(L"three"));
    EXPECT_EQ(-1, s.Find(L"one", 12));
    EXPECT_EQ(-1, s.Find(L"one", -1));
    EXPECT_EQ(4, s.Find(L't'));
    EXPECT_EQ(-1, s.Find(L't', 11)); // character search may not start at the end
    EXPECT_EQ(-1, CUiString().Find(L'x'));
    EXPECT_EQ(10, s.ReverseFind(L'e'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
}

TEST(UiString, ReplaceContinuesAfterReplacement)
{
    CUiString s(L"aaa");
    EXPECT_EQ(3, s.Replace(L"a", L"aa"));
    EXPECT_STREQ(L"aaaaaa", s);
    CUiString path(L"a/b/c");
    EXPECT_EQ(2, path.Replace(L"/", L"\\"));
    EXPECT_STREQ(L"a\\b\\c", path);
    EXPECT_EQ(0, path.Replace(L"x", L"y"));
    CUiString shrink(L"<br><br>");
    EXPECT_EQ(2, shrink.Replace(L"<br>", L""));
    EXPECT_TRUE(shrink.IsEmpty());
}

TEST(UiString, FormatMeasuresThenFormats)
{
    CUiString s;
    EXPECT_EQ(11, s.Format(L"%s-%d", L"value", 12345));
    EXPECT_STREQ(L"value-12345", s);
    std::wstring big(500, L'w');
    EXPECT_EQ(502, s.Format(L"[%s]", big.c_str()));
    EXPECT_EQ(502, s.GetLength());
}

TEST(UiString, FormatShortKeepsAtMost127)
{
    CUiString s;
    std::wstring big(300, L'w');
    s.FormatShort(L"%s", big.c_str());
    EXPECT_EQ(127, s.GetLength());
    s.FormatShort(L"%d,%d", 3, 4);
    EXPECT_STREQ(L"3,4", s);
}
