// The painting layers of the control base: their order, the clip they run
// under, and a few named pixels of what they draw.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestContainer.h"
#include "ui/controls/UiControl.h"
#include "ui/render/UiGdi.h"

using namespace SkinUI;
using ControlTests::CTestContainer;

namespace {

// Fills and strokes go through GDI+, which the program entry starts in the product.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_session.reset(new CUiGdiplusSession); }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<CUiGdiplusSession> m_session;
};
const ::testing::Environment* const g_gdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// A 32-bit top-down surface with a memory DC, cleared to 0.
class Surface {
public:
    Surface(int width, int height) : m_width(width)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                    nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        memset(m_bits, 0, static_cast<size_t>(width) * height * 4);
    }
    ~Surface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    // 0xAARRGGBB as stored.
    DWORD Pixel(int x, int y) const
    {
        GdiFlush();
        return m_bits[y * m_width + x];
    }
    DWORD Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// Records which layers ran and the clip box each one saw.
class LayerRecorder : public CControlUI {
public:
    std::vector<std::string>* log = nullptr;
    std::string tag;
    RECT clipBox = {};

    void DrawBackColor(HDC dc) override
    {
        GetClipBox(dc, &clipBox);
        Note("backcolor");
        CControlUI::DrawBackColor(dc);
    }
    void DrawBackImage(HDC dc) override { Note("backimage"); CControlUI::DrawBackImage(dc); }
    void DrawStateImage(HDC dc) override { Note("stateimage"); CControlUI::DrawStateImage(dc); }
    void DrawForeColor(HDC dc) override { Note("forecolor"); CControlUI::DrawForeColor(dc); }
    void DrawForeImage(HDC dc) override { Note("foreimage"); CControlUI::DrawForeImage(dc); }
    void DrawLabel(HDC) override { Note("label"); }
    void DrawBorder(HDC dc) override { Note("border"); CControlUI::DrawBorder(dc); }

private:
    void Note(const char* layer) { log->push_back(tag + layer); }
};

TEST(ControlPaint, LayersRunInOrderUnderTheItemClip)
{
    Surface surface(200, 100);
    std::vector<std::string> log;
    LayerRecorder control;
    control.log = &log;
    control.Place(RECT{10, 10, 110, 60});
    EXPECT_TRUE(control.Render(surface.dc(), RECT{50, 0, 200, 40}));
    const std::vector<std::string> expected = {"backcolor", "backimage", "stateimage", "forecolor",
                                               "foreimage", "label", "border"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(control.PaintRect().left, 50);
    EXPECT_EQ(control.PaintRect().top, 10);
    EXPECT_EQ(control.PaintRect().right, 110);
    EXPECT_EQ(control.PaintRect().bottom, 40);
    EXPECT_EQ(control.clipBox.left, 50);
    EXPECT_EQ(control.clipBox.bottom, 40);

    // The clip is given back: the DC paints everywhere again.
    RECT box;
    EXPECT_EQ(GetClipBox(surface.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 200);
    EXPECT_EQ(box.bottom, 100);
}

TEST(ControlPaint, StopControlEndsPaintingBeforeIt)
{
    Surface surface(100, 100);
    std::vector<std::string> log;
    CTestContainer parent;
    auto* first = new LayerRecorder;
    auto* second = new LayerRecorder;
    auto* third = new LayerRecorder;
    first->tag = "1:";
    second->tag = "2:";
    third->tag = "3:";
    for (LayerRecorder* c : {first, second, third}) {
        c->log = &log;
        parent.AddItem(c);
    }
    parent.Place(RECT{0, 0, 100, 100});
    EXPECT_FALSE(parent.Render(surface.dc(), RECT{0, 0, 100, 100}, second));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "1:backcolor");
    EXPECT_EQ(log.back(), "1:border");
    EXPECT_FALSE(second->Render(surface.dc(), RECT{0, 0, 100, 100}, second));
}

TEST(ControlPaint, RoundCornersStayUnpainted)
{
    Surface surface(100, 100);
    CControlUI control;
    control.ApplyAttributes(L"bkcolor=\"#FFFF0000\" borderround=\"30,30\"");
    control.Place(RECT{0, 0, 100, 100});
    control.Render(surface.dc(), RECT{0, 0, 100, 100});
    EXPECT_EQ(surface.Pixel(1, 1), 0u) << "corner is transparent";
    EXPECT_EQ(surface.Pixel(98, 98), 0u) << "far corner is transparent";
    EXPECT_EQ(surface.Rgb(50, 50), 0xFF0000u) << "centre is filled";
    EXPECT_EQ(surface.Rgb(50, 0), 0xFF0000u) << "edge middle is filled";
}

struct BorderCase {
    const char* label;
    const wchar_t* attributes;
    POINT onBorder;      // must carry the border colour
    POINT offBorder;     // must keep the back colour
};

class ControlBorderTest : public ::testing::TestWithParam<BorderCase> {};

TEST_P(ControlBorderTest, DrawsTheRightOutline)
{
    const BorderCase& c = GetParam();
    Surface surface(60, 60);
    CControlUI control;
    control.ApplyAttributes(L"bkcolor=\"#FFFFFFFF\" bordercolor=\"#FF0000FF\"");
    control.ApplyAttributes(c.attributes);
    control.Place(RECT{10, 10, 50, 50});
    control.Render(surface.dc(), RECT{0, 0, 60, 60});
    EXPECT_EQ(surface.Rgb(c.onBorder.x, c.onBorder.y), 0x0000FFu) << c.label;
    EXPECT_EQ(surface.Rgb(c.offBorder.x, c.offBorder.y), 0xFFFFFFu) << c.label;
}

const BorderCase kBorderCases[] = {
    {"plain rectangle of width 2", L"bordersize=\"2\"", {10, 30}, {13, 30}},
    {"plain rectangle reaches the bottom edge", L"bordersize=\"2\"", {30, 48}, {30, 46}},
    {"side sizes: only the left one", L"bordersize=\"3,0,0,0\"", {10, 30}, {30, 10}},
    {"side sizes: bottom along bottom - 1", L"bottombordersize=\"1\"", {30, 49}, {30, 10}},
    {"a plain size after side sizes clears them", L"bordersize=\"1,1,1,1\" bordersize=\"2\"",
     {10, 30}, {13, 30}},
};

INSTANTIATE_TEST_SUITE_P(Control, ControlBorderTest, ::testing::ValuesIn(kBorderCases));

TEST(ControlPaint, FocusBorderReplacesTheBorderOnlyWhileFocused)
{
    Surface surface(40, 40);
    CControlUI control;
    control.ApplyAttributes(L"bordersize=\"1\" bordercolor=\"#FF0000FF\" focusbordercolor=\"#FFFF0000\"");
    control.Place(RECT{0, 0, 40, 40});
    control.Render(surface.dc(), RECT{0, 0, 40, 40});
    EXPECT_EQ(surface.Rgb(0, 20), 0x0000FFu);
    UiEvent focus;
    focus.kind = UIEVENT_SETFOCUS;
    control.HandleEvent(focus);
    control.Render(surface.dc(), RECT{0, 0, 40, 40});
    EXPECT_EQ(surface.Rgb(0, 20), 0xFF0000u);
}

} // namespace
