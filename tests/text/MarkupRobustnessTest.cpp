// Damaged marked-up text through the layout. Every text ends right before a page
// that cannot be read, so reading past its NUL crashes the test; an endless loop
// runs into the test's timeout. Besides that, what the layout hands on must stay
// within the text and the link slots.
#include <gtest/gtest.h>

#include "TextTestUtil.h"
#include "support/TestSupport.h"
#include "ui/render/UiMarkedLayout.h"

using namespace SkinUI;
using TextTest::FakeCanvas;
using TextTest::GuardedText;

namespace {

TEST(MarkupRobustness, MutatedTextsLayOutSafely)
{
    struct Frame {
        RECT rect;
        UINT format;
    } frames[] = {
        {{0, 0, 200, 60}, 0},
        {{0, 0, 200, 60}, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS},
        {{5, 5, 40, 400}, DT_WORDBREAK | DT_CALCRECT},
        {{0, 0, 3, 50}, DT_WORDBREAK | DT_END_ELLIPSIS | DT_BOTTOM | DT_RIGHT},
    };
    std::vector<std::wstring> texts = TextTest::MarkupMutants(300);
    ASSERT_GT(texts.size(), 1500u);
    FakeCanvas canvas;
    for (const std::wstring& text : texts) {
        GuardedText guarded(text);
        const wchar_t* begin = guarded.Text();
        const wchar_t* end = begin + text.size();
        for (const Frame& frame : frames) {
            UiMarkupInput input;
            input.text = begin;
            input.rect = frame.rect;
            input.format = frame.format;
            input.linkSlots = 2;
            input.hoveredLink = L"x";
            UiMarkupLayout layout;
            LayoutMarkedText(input, &canvas, &layout);
            ASSERT_FALSE(layout.lines.empty());
            ASSERT_LE(layout.links.size(), 2u);
            ASSERT_GE(layout.linkCount, static_cast<int>(layout.links.size()));
            for (const UiMarkupItem& item : layout.items) {
                if (item.kind == UiMarkupItem::IMAGE) {
                    ASSERT_LT(static_cast<size_t>(item.image), layout.images.size());
                    continue;
                }
                bool inText = item.text >= begin && item.text + item.length <= end;
                bool dots = item.length == 3 && wcsncmp(item.text, L"...", 3) == 0;
                ASSERT_TRUE(inText || dots) << TestSupport::ToUtf8(text);
                ASSERT_GT(item.length, 0);
                ASSERT_LT(static_cast<size_t>(item.line), layout.lines.size());
            }
        }
    }
}

} // namespace
