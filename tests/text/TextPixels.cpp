#include "TextPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ui/render/UiGdi.h"

namespace TextTest {

namespace {

// GDI+ text needs a running GDI+, as the program's entry point provides.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_session.reset(new SkinUI::CUiGdiplusSession());
        ASSERT_TRUE(m_session->Ok());
    }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<SkinUI::CUiGdiplusSession> m_session;
};

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

Surface::Surface(int width, int height, DWORD fill) : m_width(width), m_height(height), m_fill(fill)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down: row y starts at y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

Surface::~Surface()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void Surface::Fill(DWORD argb)
{
    GdiFlush();
    m_fill = argb;
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
}

DWORD Surface::Pixel(int x, int y) const
{
    GdiFlush();
    return m_bits[y * m_width + x];
}

std::vector<DWORD> Surface::Pixels() const
{
    GdiFlush();
    return std::vector<DWORD>(m_bits, m_bits + m_width * m_height);
}

int Surface::InkInside(const RECT& rect) const
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) count += IsInk(x, y) ? 1 : 0;
    }
    return count;
}

int Surface::InkOutside(const RECT& rect) const
{
    int count = 0;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            POINT p = {x, y};
            if (!PtInRect(&rect, p) && IsInk(x, y)) ++count;
        }
    }
    return count;
}

RECT Surface::InkBounds() const
{
    RECT all = {0, 0, m_width, m_height};
    return InkBounds(all);
}

RECT Surface::InkBounds(const RECT& within) const
{
    RECT box = {};
    bool any = false;
    for (int y = within.top; y < within.bottom; ++y) {
        for (int x = within.left; x < within.right; ++x) {
            if (!IsInk(x, y)) continue;
            if (!any) box = {x, y, x + 1, y + 1};
            box.left = std::min<LONG>(box.left, x);
            box.right = std::max<LONG>(box.right, x + 1);
            box.top = std::min<LONG>(box.top, y);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
            any = true;
        }
    }
    return box;
}

} // namespace TextTest
