// Image attribute strings: parsing, placement, drawing through a paint manager,
// and damaged strings that must neither read past their end nor loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RenderTestUtil.h"
#include "skin/SkinTestUtil.h"
#include "support/TestSupport.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/render/UiImageSpec.h"

using namespace SkinUI;
using namespace RenderTest;

namespace {

const DWORD kSpecBack = 0xFF202020;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST(ImageSpecParse, KeysAndGrammar)
{
    struct Case {
        const wchar_t* draw;
        const wchar_t* modifier;
        void (*check)(const UiImageSpec& s);
    };
    const Case cases[] = {
        {L"btn.png", nullptr, [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"btn.png");
             EXPECT_EQ(s.fade, 255);
         }},
        {L"file='a.png' source='1,2,3,4' corner='4,5,6,7' dest='10,11,12,13' padding='1,2,3,4'", nullptr,
         [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"a.png");
             EXPECT_TRUE(SameRect(s.source, RECT{1, 2, 3, 4})) << Text(s.source);
             EXPECT_TRUE(SameRect(s.corner, RECT{4, 5, 6, 7}));
             EXPECT_TRUE(SameRect(s.dest, RECT{10, 11, 12, 13}));
             EXPECT_TRUE(SameRect(s.padding, RECT{1, 2, 3, 4}));
         }},
        {L"res='113' restype='PNG' mask='#FFFF00FF' fade='128' hole='TRUE' xtiled='true' ytiled='yes' hsl='True'",
         nullptr,
         [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"113");
             EXPECT_STREQ(s.resourceType, L"PNG");
             EXPECT_EQ(s.mask, 0xFFFF00FFu);
             EXPECT_EQ(s.fade, 128);
             EXPECT_TRUE(s.hole && s.xTiled && s.hsl);
             EXPECT_FALSE(s.yTiled);
         }},
        // Whitespace around '=', a mask without '#', size and align.
        {L"  file = 'b.png'  mask='ff00ff00' size='16,8' align='right bottom'", nullptr, [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"b.png");
             EXPECT_EQ(s.mask, 0xFF00FF00u);
             EXPECT_EQ(s.size.cx, 16);
             EXPECT_EQ(s.size.cy, 8);
             EXPECT_STREQ(s.align, L"right bottom");
         }},
        // The modifier comes second and wins.
        {L"file='a.png' fade='10'", L"fade='20' file='b.png'", [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"b.png");
             EXPECT_EQ(s.fade, 20);
             EXPECT_STREQ(s.modifierString, L"fade='20' file='b.png'");
         }},
        // Anything but a space after a closing quote ends the string.
        {L"file='a.png',fade='10'", nullptr, [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"a.png");
             EXPECT_EQ(s.fade, 255);
         }},
        // A missing '=' or opening quote ends it too; what came before stays.
        {L"fade='9' file 'x.png' hole='true'", nullptr, [](const UiImageSpec& s) {
             EXPECT_EQ(s.fade, 9);
             EXPECT_FALSE(s.hole);
             EXPECT_STREQ(s.name, L"fade='9' file 'x.png' hole='true'");
         }},
        {L"fade=9 hole='true'", nullptr, [](const UiImageSpec& s) { EXPECT_FALSE(s.hole); }},
        // Empty values are skipped; keys are case-sensitive; unknown keys are ignored.
        {L"file='' FADE='3' what='ever' fade='4'", nullptr, [](const UiImageSpec& s) {
             EXPECT_STREQ(s.name, L"file='' FADE='3' what='ever' fade='4'");
             EXPECT_EQ(s.fade, 4);
         }},
        // An unterminated value runs to the end of the text.
        {L"fade='7' file='c.png", nullptr, [](const UiImageSpec& s) { EXPECT_STREQ(s.name, L"c.png"); }},
        // Lenient numbers: malformed fields are 0, absurd ones are held in range.
        {L"source='5,,7,9999999999999' fade='300' corner='-4' dest='1'", nullptr, [](const UiImageSpec& s) {
             EXPECT_TRUE(SameRect(s.source, RECT{5, 0, 7, 1000000})) << Text(s.source);
             EXPECT_EQ(s.fade, 255);
             EXPECT_TRUE(SameRect(s.corner, RECT{-4, 0, 0, 0}));
             EXPECT_TRUE(SameRect(s.dest, RECT{1, 0, 0, 0}));
         }},
        {L"", nullptr, [](const UiImageSpec& s) { EXPECT_TRUE(s.name.IsEmpty()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(TestSupport::ToUtf8(c.draw));
        UiImageSpec spec;
        spec.fade = 1; // parsing starts from a clean record
        ParseImageSpec(&spec, c.draw, c.modifier, nullptr);
        c.check(spec);
    }
}

TEST(ImageSpecParse, ManagerScalesLengthsButNotSize)
{
    CPaintManagerUI manager;
    manager.SetDpi(144); // 150 %
    UiImageSpec spec;
    ParseImageSpec(&spec, L"file='none.png' dest='10,10,20,20' corner='1,1,2,2' padding='2,0,0,4' size='16,16'",
                   nullptr, &manager);
    EXPECT_TRUE(SameRect(spec.dest, RECT{15, 15, 30, 30})) << Text(spec.dest);
    // Widths scale one by one: 2 at 150 % is 3, whatever the left border rounds to.
    EXPECT_TRUE(SameRect(spec.corner, RECT{2, 2, 3, 3})) << Text(spec.corner);
    EXPECT_TRUE(SameRect(spec.padding, RECT{3, 0, 0, 6})) << Text(spec.padding);
    EXPECT_EQ(spec.size.cx, 16);
    EXPECT_EQ(spec.imageScale, 1.0);
}

TEST(ImageSpecDestination, DestAlignmentAndPadding)
{
    const RECT item = {100, 50, 150, 90}; // 50 x 40
    struct Case {
        const wchar_t* text;
        RECT expected;
    } cases[] = {
        {L"file='a'", {100, 50, 150, 90}},
        {L"file='a' dest='5,6,15,26'", {105, 56, 115, 76}},
        {L"file='a' size='16,16' align='right bottom'", {134, 74, 150, 90}},
        {L"file='a' size='16,16' align='center vcenter'", {117, 62, 133, 78}},
        // "vcenter" alone centres vertically only; it is not the word "center".
        {L"file='a' size='16,16' align='vcenter' dest='1,2,3,4'", {101, 62, 103, 78}},
        // First present word of each group wins.
        {L"file='a' size='16,16' align='right left bottom top'", {100, 50, 116, 66}},
        // Padding shifts; right and bottom stay inside the item.
        {L"file='a' size='16,16' align='right bottom' padding='4,0,0,2'", {138, 72, 150, 88}},
        {L"file='a' size='16,0' align='right'", {100, 50, 150, 90}},
    };
    for (const auto& c : cases) {
        UiImageSpec spec;
        ParseImageSpec(&spec, c.text, nullptr, nullptr);
        RECT dest = ImageSpecDestination(spec, item);
        EXPECT_TRUE(SameRect(dest, c.expected)) << TestSupport::ToUtf8(c.text) << " -> " << Text(dest);
    }
}

// ---- drawing through a manager, from a skin folder

class SkinFolder {
public:
    SkinFolder() { CUiResourceLocation::SetSkinFolder(m_temp.Path().c_str()); }
    ~SkinFolder() { CUiResourceLocation::SetSkinFolder(L""); }
    void Add(const wchar_t* name, const std::string& bytes)
    {
        ASSERT_TRUE(TestSupport::WriteFileBytes(m_temp.Path() + name, bytes));
    }

private:
    TestSupport::TempFolder m_temp;
};

// Opaque images go through GDI's copy, which keeps colour but not the fourth byte.
std::string Rgb(DWORD c) { return Hex(c & 0xFFFFFF); }

std::string Solid(int w, int h, DWORD argb)
{
    return EncodePng(w, h, [argb](int, int) { return argb; });
}

TEST(PaintImageSpec, AlignedImageLandsInTheCorner)
{
    SkinFolder skin;
    skin.Add(L"dot.png", Solid(4, 4, 0xFF00FF00));
    CPaintManagerUI manager;
    Canvas canvas(50, 40, kSpecBack);
    RECT item = {0, 0, 50, 40};
    ASSERT_TRUE(PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='dot.png' size='16,16' align='right bottom'"));
    EXPECT_EQ(Rgb(canvas.At(34, 24)), Rgb(0xFF00FF00));
    EXPECT_EQ(Rgb(canvas.At(49, 39)), Rgb(0xFF00FF00));
    EXPECT_EQ(Rgb(canvas.At(33, 39)), Rgb(kSpecBack));
    EXPECT_EQ(Rgb(canvas.At(49, 23)), Rgb(kSpecBack));
    // A missing image, an empty string and a missing manager are failures.
    EXPECT_FALSE(PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='nothere.png'"));
    EXPECT_FALSE(PaintImageSpec(canvas.Dc(), &manager, item, item, L""));
    EXPECT_FALSE(PaintImageSpec(canvas.Dc(), nullptr, item, item, L"dot.png"));
    // Nothing visible is still success.
    EXPECT_TRUE(PaintImageSpec(canvas.Dc(), &manager, item, RECT{0, 0, 5, 5}, L"file='dot.png' dest='40,30,50,40'"));
}

TEST(PaintImageSpec, MaskClearsItsColourAndTheImageBlends)
{
    SkinFolder skin;
    skin.Add(L"mask.png", EncodePng(2, 1, [](int x, int) { return x == 0 ? 0xFFFF00FFu : 0xFF0000FFu; }));
    CPaintManagerUI manager;
    Canvas canvas(2, 1, kSpecBack);
    RECT item = {0, 0, 2, 1};
    ASSERT_TRUE(PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='mask.png' mask='#FFFF00FF'"));
    EXPECT_EQ(Rgb(canvas.At(0, 0)), Rgb(kSpecBack));
    EXPECT_EQ(Rgb(canvas.At(1, 0)), Rgb(0xFF0000FF));
}

TEST(PaintImageSpec, HighDpiPicksTheLargestVariantThatExists)
{
    SkinFolder skin;
    skin.Add(L"btn.png", Solid(10, 10, 0xFFFF0000));
    skin.Add(L"btn@2x.png", EncodePng(20, 20, [](int x, int) { return x < 10 ? 0xFF0000FFu : 0xFF00FF00u; }));
    skin.Add(L"only@1.5x.png", Solid(15, 15, 0xFF00FFFF));
    skin.Add(L"only.png", Solid(10, 10, 0xFFFF0000));
    CPaintManagerUI manager;
    manager.SetDpi(192); // 200 %
    ASSERT_EQ(manager.GetScale(), 200);

    const UiImageSpec* spec = manager.GetImageSpec(L"btn.png");
    ASSERT_NE(spec, nullptr);
    EXPECT_STREQ(spec->name, L"btn@2x.png");
    EXPECT_EQ(spec->imageScale, 2.0);
    spec = manager.GetImageSpec(L"file='only.png'");
    EXPECT_STREQ(spec->name, L"only@1.5x.png");
    EXPECT_EQ(spec->imageScale, 1.5);

    // The @2x image maps one to one at 200 %; a source in skin pixels picks its half.
    Canvas canvas(20, 20, kSpecBack);
    RECT item = {0, 0, 20, 20};
    ASSERT_TRUE(PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='btn.png'"));
    EXPECT_EQ(Rgb(canvas.At(0, 0)), Rgb(0xFF0000FF));
    EXPECT_EQ(Rgb(canvas.At(9, 19)), Rgb(0xFF0000FF));
    EXPECT_EQ(Rgb(canvas.At(10, 0)), Rgb(0xFF00FF00));
    ASSERT_TRUE(PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='btn.png' source='5,0,10,10'"));
    EXPECT_EQ(Rgb(canvas.At(0, 0)), Rgb(0xFF00FF00));

    // At 100 % the plain image is used as written.
    CPaintManagerUI plain;
    plain.SetDpi(96);
    spec = plain.GetImageSpec(L"btn.png");
    EXPECT_STREQ(spec->name, L"btn.png");
    EXPECT_EQ(spec->imageScale, 1.0);
}

// ---- damaged strings

// A wide string that ends exactly at an inaccessible page.
class GuardedText {
public:
    explicit GuardedText(const std::wstring& text)
        : m_copy(std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t)))
    {
    }
    const wchar_t* Get() const { return reinterpret_cast<const wchar_t*>(m_copy.Data()); }

private:
    SkinTest::GuardedCopy m_copy;
};

TEST(ImageSpecRobustness, MutatedStringsParseWithinTheirBounds)
{
    const std::wstring seeds[] = {
        L"file='btn.png' source='0,0,20,20' corner='4,4,4,4' mask='#FFFF00FF' fade='128' hole='true'",
        L"res='113' restype='PNG' dest='1,2,3,4' xtiled='true' ytiled='true' size='16,16' align='right bottom' "
        L"padding='1,1,1,1' hsl='true'",
        L"plain.png",
    };
    const wchar_t alphabet[] = L"'= ,#-0123456789afilex\t";
    CPaintManagerUI manager;
    manager.SetDpi(192);
    Lcg rng{12345};
    int parsed = 0;
    for (const std::wstring& seed : seeds) {
        // Every prefix: strings cut anywhere, inside a key, a quote or a number.
        for (size_t n = 0; n <= seed.size(); ++n) {
            GuardedText text(seed.substr(0, n));
            UiImageSpec spec;
            ParseImageSpec(&spec, text.Get(), text.Get(), &manager);
            ++parsed;
        }
        for (int round = 0; round < 400; ++round) {
            std::wstring s = seed;
            int edits = 1 + rng.Next() % 4;
            for (int e = 0; e < edits && !s.empty(); ++e) {
                size_t at = rng.Next() % s.size();
                switch (rng.Next() % 3) {
                case 0: s[at] = alphabet[rng.Next() % (sizeof(alphabet) / sizeof(wchar_t) - 1)]; break;
                case 1: s.erase(at, 1 + rng.Next() % 3); break;
                default: s.insert(at, 1, alphabet[rng.Next() % (sizeof(alphabet) / sizeof(wchar_t) - 1)]); break;
                }
            }
            GuardedText text(s);
            UiImageSpec spec;
            ParseImageSpec(&spec, text.Get(), nullptr, round % 2 ? &manager : nullptr);
            EXPECT_LE(spec.source.right, 2000000);
            EXPECT_GE(spec.source.left, -2000000);
            RECT dest = ImageSpecDestination(spec, RECT{0, 0, 100, 100});
            if (spec.size.cx > 0 && spec.size.cy > 0) {
                EXPECT_LE(dest.right, 100);
            }
            ++parsed;
        }
    }
    EXPECT_GT(parsed, 1000);
}

} // namespace
