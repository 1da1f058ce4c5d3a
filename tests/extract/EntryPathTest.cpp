#include "EntryPath.h"

#include <gtest/gtest.h>

using SevenZCore::IsLinkTargetInside;
using SevenZCore::MakeSafeRelativePath;

namespace {

std::wstring Safe(const wchar_t* name)
{
    std::wstring relative;
    return MakeSafeRelativePath(name, &relative) ? relative : L"<refused>";
}

} // namespace

TEST(EntryPath, NormalNamesBecomeBackslashPaths)
{
    EXPECT_EQ(L"a\\b\\c.txt", Safe(L"a/b/c.txt"));
    EXPECT_EQ(L"a\\b", Safe(L"a\\b\\"));
    EXPECT_EQ(L"a\\b", Safe(L"./a//./b"));
    EXPECT_EQ(L"视频\\été ü.txt", Safe(L"视频/été ü.txt"));
    EXPECT_EQ(L"..a\\b..c", Safe(L"..a/b..c"));
}

TEST(EntryPath, NamesThatLeaveTheFolderAreRefused)
{
    for (const wchar_t* name : {L"../x", L"a/../../x", L"a/..", L"..", L"/etc/passwd", L"\\x", L"\\\\server\\share\\x",
                                L"C:x", L"C:/x", L"c:\\windows\\x", L"a/b:stream"})
        EXPECT_EQ(L"<refused>", Safe(name)) << name;
}

TEST(EntryPath, NamesWindowsWouldReadDifferentlyAreRefused)
{
    for (const wchar_t* name : {L"", L".", L"./", L"a/CON", L"nul.txt", L"Com1.log", L"LPT9", L"a/aux ", L"trailing.",
                                L"space ", L"...", L"a/b?c", L"x*y", L"q\"uote", L"p|ipe", L"l<t", L"tab\there"})
        EXPECT_EQ(L"<refused>", Safe(name)) << name;
    std::wstring relative;
    EXPECT_FALSE(MakeSafeRelativePath(nullptr, &relative));
    // Only whole device names are special.
    EXPECT_EQ(L"console.txt", Safe(L"console.txt"));
    EXPECT_EQ(L"COM10", Safe(L"COM10"));
}

TEST(EntryPath, LinksMustStayInside)
{
    std::set<std::wstring> none;
    EXPECT_TRUE(IsLinkTargetInside(L"sub\\link", L"../data/t.txt", none));
    EXPECT_TRUE(IsLinkTargetInside(L"link", L"data/t.txt", none));
    EXPECT_TRUE(IsLinkTargetInside(L"a\\b\\link", L"../../top.txt", none));
    EXPECT_FALSE(IsLinkTargetInside(L"a\\b\\link", L"../../../up.txt", none));
    EXPECT_FALSE(IsLinkTargetInside(L"link", L"../x", none));
    EXPECT_FALSE(IsLinkTargetInside(L"link", L"/etc/passwd", none));
    EXPECT_FALSE(IsLinkTargetInside(L"link", L"C:\\Windows", none));
    EXPECT_FALSE(IsLinkTargetInside(L"link", L"", none));
    EXPECT_FALSE(IsLinkTargetInside(L"link", L".../x", none));
    std::wstring resolved;
    EXPECT_TRUE(SevenZCore::ResolveLinkTarget(L"sub\\link", L"../data/./t.txt", &resolved));
    EXPECT_EQ(L"data\\t.txt", resolved);
    EXPECT_TRUE(SevenZCore::ResolveLinkTarget(L"a\\link", L"..", &resolved));
    EXPECT_EQ(L"", resolved);
    EXPECT_FALSE(SevenZCore::ResolveLinkTarget(L"link", L"../x", &resolved));
}

TEST(EntryPath, LinksMayNotWalkThroughOtherLinks)
{
    // "sub\up" points at the root; through it, "../.." would end outside.
    std::set<std::wstring> links = {L"sub\\up", L"m"};
    EXPECT_TRUE(IsLinkTargetInside(L"sub\\up", L"..", links));
    EXPECT_FALSE(IsLinkTargetInside(L"m", L"sub/up/..", links));
    EXPECT_FALSE(IsLinkTargetInside(L"sub\\UP\\deeper", L"x", links));
    // Ending on another link is fine: that link is checked on its own.
    EXPECT_TRUE(IsLinkTargetInside(L"m", L"sub/up", links));
}
