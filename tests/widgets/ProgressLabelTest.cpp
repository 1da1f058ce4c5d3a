// Progress fills read back from the painted pixels, and a label that sizes
// itself to its text.
#include <gtest/gtest.h>

#include <memory>

#include "WidgetWindow.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiText.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/render/UiGdi.h"

using namespace SkinUI;
using WidgetTests::CWidgetWindow;

namespace {

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_session.reset(new CUiGdiplusSession); }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<CUiGdiplusSession> m_session;
};
const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// Pixels as the window reads them back (RGB).
constexpr DWORD kBack = 0x0000FF;
constexpr DWORD kFore = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;

// A window holding one progress bar at (0,0) of the given size.
struct Bar {
    CVerticalLayoutUI* root = new CVerticalLayoutUI();
    CProgressUI* progress = new CProgressUI();
    Bar(const wchar_t* attributes)
    {
        progress->ApplyAttributes(attributes);
        root->AddItem(progress);
    }
};

// The first column (or row, vertical) where the colour stops being `color`.
int FillEnd(CWidgetWindow& w, DWORD color, int length, bool horizontal, int across)
{
    if (horizontal) {
        for (int x = 0; x < length; ++x)
            if (w.PixelAt(x, across) != color)
                return x;
        return length;
    }
    for (int y = length - 1; y >= 0; --y)
        if (w.PixelAt(across, y) != color)
            return y + 1;
    return 0;
}

// A 594 x 12 image, green on its left half and red on its right half.
void AddHalvesImage(CPaintManagerUI& manager)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 594;
    info.bmiHeader.biHeight = -12;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 594; ++x)
            px[y * 594 + x] = 0xFF000000 | (x < 297 ? kGreen : kFore);
    manager.AddImage(L"halves", bitmap, 594, 12, false);
}

} // namespace

TEST(Progress, HorizontalFillMeasuredOnPixels)
{
    Bar b(L"width=\"594\" height=\"12\" bkcolor=\"#FF0000FF\" forecolor=\"#FFFF0000\" value=\"50\"");
    CWidgetWindow w(600, 40, b.root);
    EXPECT_EQ(FillEnd(w, kFore, 594, true, 6), 297);
    EXPECT_EQ(w.PixelAt(297, 6), kBack);

    b.progress->AssignValue(150);   // outside the range: ignored
    EXPECT_EQ(b.progress->Value(), 50);
    b.progress->AssignValue(-1);
    EXPECT_EQ(b.progress->Value(), 50);
    b.progress->AssignValue(100);
    w.PaintNow();
    EXPECT_EQ(FillEnd(w, kFore, 594, true, 6), 594);

    // An empty range paints as if the maximum were one above the minimum.
    b.progress->AssignMinimum(10);
    b.progress->AssignMaximum(10);
    b.progress->AssignValue(10);
    w.PaintNow();
    EXPECT_EQ(b.progress->Maximum(), 11);
    EXPECT_EQ(FillEnd(w, kFore, 594, true, 6), 0);
}

TEST(Progress, VerticalFillsFromTheBottom)
{
    Bar b(L"width=\"20\" height=\"200\" hor=\"false\" bkcolor=\"#FF0000FF\" "
          L"forecolor=\"#FFFF0000\" value=\"25\"");
    CWidgetWindow w(40, 220, b.root);
    EXPECT_EQ(FillEnd(w, kFore, 200, false, 10), 150);
    EXPECT_EQ(w.PixelAt(10, 149), kBack);
}

TEST(Progress, ForeImageStretchedOrCut)
{
    for (bool stretch : {true, false}) {
        SCOPED_TRACE(stretch ? "stretched" : "cut");
        Bar b(stretch ? L"width=\"594\" height=\"12\" bkcolor=\"#FF0000FF\" value=\"50\""
                      : L"width=\"594\" height=\"12\" bkcolor=\"#FF0000FF\" value=\"50\" "
                        L"isstretchfore=\"false\"");
        b.progress->AssignForeImage(L"halves");
        CWidgetWindow w(600, 40, b.root);
        AddHalvesImage(w.manager());
        w.PaintNow();
        EXPECT_EQ(w.PixelAt(10, 6), kGreen);
        // Squeezed into the filled half, the red half shows; cut, it does not.
        EXPECT_EQ(w.PixelAt(250, 6), stretch ? kFore : kGreen);
        EXPECT_EQ(w.PixelAt(300, 6), kBack);   // the fill ends at 297 either way
        EXPECT_EQ(w.PixelAt(296, 6), stretch ? kFore : kGreen);
    }
}

TEST(Progress, PercentText)
{
    CProgressUI p;
    p.AssignMaximum(3);
    p.ShowPercentText(true);
    p.AssignValue(1);
    EXPECT_STREQ(p.Text().GetData(), L"33%");
    p.ShowPercentText(false);
    EXPECT_STREQ(p.Text().GetData(), L"");
}

TEST(Label, AutoWidthFollowsTheText)
{
    auto* root = new CHorizontalLayoutUI();
    auto* label = new CLabelUI();
    label->ApplyAttributes(L"autocalcwidth=\"true\" textpadding=\"5,0,5,0\" text=\"Hi\"");
    auto* rest = new CControlUI();
    root->AddItem(label);
    root->AddItem(rest);
    CWidgetWindow w(400, 40, root);
    const int shortWidth = label->BoundsWidth();
    const SIZE shortText = label->TextExtent(L"Hi", -1);
    EXPECT_GT(shortText.cx, 0);
    EXPECT_EQ(shortWidth, shortText.cx + 10);

    label->AssignText(L"Hello, a much longer text");
    w.PaintNow();
    const SIZE longText = label->TextExtent(L"Hello, a much longer text", -1);
    EXPECT_EQ(label->BoundsWidth(), longText.cx + 10);
    EXPECT_GT(label->BoundsWidth(), shortWidth);
    EXPECT_EQ(rest->BoundsRef().left, label->BoundsRef().right);
}

TEST(Text, LinksAreClickable)
{
    auto* root = new CVerticalLayoutUI();
    auto* text = new CTextUI();
    text->ApplyAttributes(L"name=\"t\" showhtml=\"true\" height=\"30\" "
                          L"text=\"<a http://velkaro.example/licence>licence</a> and more\"");
    root->AddItem(text);
    CWidgetWindow w(300, 60, root);
    ASSERT_EQ(text->LinkCount(), 1);
    const RECT link = text->LinkRect(0);
    ASSERT_FALSE(IsRectEmpty(&link));
    EXPECT_STREQ(text->LinkText(0).GetData(), L"http://velkaro.example/licence");
    w.Click((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    EXPECT_EQ(w.CountHeard(L"link:t:0"), 1);
    // Beside the link: nothing.
    w.Click(link.right + 40, (link.top + link.bottom) / 2);
    EXPECT_EQ(w.CountType(L"link"), 1);
    EXPECT_EQ(text->Flags() & UIFLAG_SETCURSOR, static_cast<UINT>(UIFLAG_SETCURSOR));
}
