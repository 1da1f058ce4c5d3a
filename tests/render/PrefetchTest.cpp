// Images decoded ahead on a second thread: DecodeImage must hand each one over
// once, exactly for the file the paint manager asks for, and decode afresh in
// every other case.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RenderTestUtil.h"
#include "ZipBuilder.h"
#include "support/TestSupport.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiPrefetch.h"

using namespace SkinUI;
using namespace RenderTest;

namespace {

const DWORD kBlue = 0xFF0000FF;
const DWORD kRed = 0xFFFF0000;

std::string SolidPng(DWORD argb)
{
    return EncodePng(2, 2, [argb](int, int) { return argb; });
}

// The colour of a freshly decoded (or handed over) image; 0 for none.
DWORD ColourOf(const wchar_t* name, DWORD mask = 0)
{
    UiImageInfo* image = DecodeImage(name, nullptr, mask);
    if (!image) return 0;
    const DWORD colour = *reinterpret_cast<const DWORD*>(image->bits);
    FreeImageInfo(image);
    return colour;
}

// The skin archive: these files, all in one colour. The prefetch reads one
// archive and the checks another, so a blue pixel can only have come from the
// prefetch.
class SkinArchive {
public:
    SkinArchive(const std::vector<std::string>& files, DWORD colour)
    {
        std::vector<ZipTest::Item> items;
        for (const std::string& file : files) {
            ZipTest::Item item;
            item.name = file;
            item.data = file.find("bad") == 0 ? std::string("not a picture") : SolidPng(colour);
            items.push_back(item);
        }
        m_bytes = ZipTest::Build(items);
        CUiResourceLocation::Shutdown();
        CUiResourceLocation::SetSkinFolder(L"");
        CUiResourceLocation::SetSkinArchiveInMemory(m_bytes.data(), static_cast<DWORD>(m_bytes.size()), nullptr);
    }
    ~SkinArchive() { CUiResourceLocation::Shutdown(); }
    SkinArchive(const SkinArchive&) = delete;
    SkinArchive& operator=(const SkinArchive&) = delete;

private:
    std::string m_bytes;
};

CUiPrefetch::Request Images(std::vector<CUiString> names, int scale = 100)
{
    CUiPrefetch::Request request;
    request.images = std::move(names);
    request.scalePercent = scale;
    return request;
}

std::vector<std::wstring> Names(const std::vector<CUiString>& names)
{
    std::vector<std::wstring> out;
    for (const CUiString& name : names) out.push_back(name.GetData());
    return out;
}

TEST(Prefetch, EachImageIsHandedOverOnceForTheFileTheManagerAsksFor)
{
    struct Ask {
        const wchar_t* name;
        DWORD mask;
        DWORD colour;   // blue: the prefetched image; red: decoded afresh; 0: none
    };
    const struct {
        const char* what;
        std::vector<std::string> files;
        int scale;
        std::vector<Ask> asks;   // in order
    } cases[] = {
        {"plain name", {"a.png"}, 100, {{L"a.png", 0, kBlue}, {L"a.png", 0, kRed}}},
        {"the sharper sibling at 150 %", {"a.png", "a@1.5x.png"}, 150,
         {{L"a@1.5x.png", 0, kBlue}, {L"a.png", 0, kRed}}},
        {"no sibling: the manager's tries miss, then the name itself", {"a.png"}, 150,
         {{L"a@1.5x.png", 0, 0}, {L"a@1.25x.png", 0, 0}, {L"a.png", 0, kBlue}}},
        {"the 125 % sibling at 150 %", {"a.png", "a@1.25x.png"}, 150,
         {{L"a@1.5x.png", 0, 0}, {L"a@1.25x.png", 0, kBlue}}},
        {"another mask", {"a.png"}, 100, {{L"a.png", 0xFF123456, kRed}, {L"a.png", 0, kBlue}}},
        {"a name not requested", {"a.png", "b.png"}, 100, {{L"b.png", 0, kRed}, {L"a.png", 0, kBlue}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SkinArchive first(c.files, kBlue);
        CUiPrefetch prefetch(Images({L"a.png"}, c.scale));
        ASSERT_EQ(Names(prefetch.Untaken()), std::vector<std::wstring>{L"a.png"});
        SkinArchive second(c.files, kRed);
        for (const Ask& ask : c.asks) EXPECT_EQ(ColourOf(ask.name, ask.mask), ask.colour) << ask.name;
    }
}

TEST(Prefetch, TheUiThreadWaitsForImagesNotDecodedYetRatherThanDecodingThemTwice)
{
    std::vector<std::string> files;
    std::vector<CUiString> names;
    for (int i = 0; i < 40; ++i) {
        files.push_back("img" + std::to_string(i) + ".png");
        names.push_back(CUiString(std::to_wstring(i).insert(0, L"img").append(L".png").c_str()));
    }
    SkinArchive archive(files, kBlue);
    CUiPrefetch prefetch(Images(names));
    for (const CUiString& name : names) EXPECT_EQ(ColourOf(name), kBlue) << name.GetData();
    EXPECT_TRUE(prefetch.Untaken().empty());
}

TEST(Prefetch, MissingAndDamagedFilesGiveNullAsWithoutIt)
{
    SkinArchive archive({"bad.png"}, kBlue);
    CUiPrefetch prefetch(Images({L"missing.png", L"bad.png"}));
    EXPECT_EQ(ColourOf(L"missing.png"), 0u);
    EXPECT_EQ(ColourOf(L"bad.png"), 0u);
    EXPECT_EQ(Names(prefetch.Untaken()), (std::vector<std::wstring>{L"missing.png", L"bad.png"}));
}

TEST(Prefetch, OnlyOneRunsAtATimeAndWhatNoOneTookIsFreed)
{
    SkinArchive archive({"a.png", "b.png"}, kBlue);
    const unsigned long objectsBefore = TestSupport::LiveGdiObjects();
    {
        CUiPrefetch first(Images({L"a.png"}));
        CUiPrefetch second(Images({L"b.png"}));
        first.Untaken();
        EXPECT_EQ(ColourOf(L"b.png"), kBlue);
        EXPECT_EQ(Names(second.Untaken()), std::vector<std::wstring>{L"b.png"});
    }
    EXPECT_EQ(TestSupport::LiveGdiObjects(), objectsBefore);
    // Both gone: the next one runs.
    CUiPrefetch later(Images({L"a.png"}));
    later.Untaken();
    SkinArchive red({"a.png"}, kRed);
    EXPECT_EQ(ColourOf(L"a.png"), kBlue);
}

} // namespace
