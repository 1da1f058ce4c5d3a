// Damaged marked-up text drawn for real: the manager's fonts (f tags with absurd
// indices and sizes), its image cache (image tags naming nothing) and GDI. Each
// text ends right before an unreadable page; ink never leaves the rectangle and
// the link slots are never overrun.
#include <gtest/gtest.h>

#include "TextPixels.h"
#include "TextTestUtil.h"
#include "support/TestSupport.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiText.h"

using namespace SkinUI;
using TextTest::GuardedText;
using TextTest::Surface;

namespace {

TEST(MarkedTextRobustness, MutatedTextsDrawSafely)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 14, false, false, false));
    ASSERT_NE(nullptr, manager.AddFont(1, L"Arial", 20, true, false, false));
    struct Frame {
        RECT rect;
        UINT format;
    } frames[] = {
        {{10, 10, 150, 50}, DT_WORDBREAK},
        {{10, 10, 150, 50}, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS},
        {{40, 5, 43, 55}, DT_WORDBREAK | DT_END_ELLIPSIS},
    };
    std::vector<std::wstring> texts = TextTest::MarkupMutants(60);
    Surface surface(160, 60);
    for (const std::wstring& text : texts) {
        GuardedText guarded(text);
        for (const Frame& frame : frames) {
            surface.Fill(0xFFFFFFFF);
            RECT links[3] = {};
            CUiString linkTexts[3];
            int count = 2;   // one slot more than offered, to catch an overrun
            RECT rect = frame.rect;
            DrawMarkedText(surface.DC(), &manager, rect, guarded.Text(), 0xFF000000, links, linkTexts, &count, 0,
                           frame.format);
            ASSERT_GE(count, 0);
            ASSERT_LE(count, 2);
            ASSERT_TRUE(IsRectEmpty(&links[2]) && linkTexts[2].IsEmpty()) << TestSupport::ToUtf8(text);
            ASSERT_TRUE(EqualRect(&rect, &frame.rect));
            ASSERT_EQ(0, surface.InkOutside(frame.rect)) << TestSupport::ToUtf8(text);

            RECT measured = frame.rect;
            DrawMarkedText(surface.DC(), &manager, measured, guarded.Text(), 0xFF000000, nullptr, nullptr,
                           nullptr, 0, frame.format | DT_CALCRECT);
            ASSERT_GE(measured.right, measured.left);
            ASSERT_GE(measured.bottom, measured.top);
        }
    }
}

// Plain text reads "&#x" entities and "&&" pairs; texts that end inside them.
TEST(PlainTextRobustness, TextsEndingInsideEntities)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 14, false, false, false));
    const wchar_t* texts[] = {L"&", L"&&", L"a&&&", L"&#", L"&#x", L"&#x4", L"&#x4E2", L"&#x4E2D", L"x&#x;",
                              L"&#x&#x41", L"", L"&#xFFFF", L"&#xD800"};
    Surface surface(100, 30);
    for (bool gdiplus : {false, true}) {
        manager.SetUseGdiplusText(gdiplus);
        for (const wchar_t* text : texts) {
            GuardedText guarded(text);
            const UINT formats[] = {0, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS,
                                    DT_CALCRECT | DT_WORDBREAK};
            for (UINT format : formats) {
                RECT rect = {10, 5, 90, 25};
                DrawPlainText(surface.DC(), &manager, rect, guarded.Text(), 0xFF000000, 0, format);
                if (!(format & DT_CALCRECT)) {
                    ASSERT_EQ(0, surface.InkOutside({10, 5, 90, 25})) << TestSupport::ToUtf8(text);
                }
            }
        }
    }
}

} // namespace
