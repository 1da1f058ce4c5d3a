#include "RenderTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/render/UiGdi.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace RenderTest {

namespace {

// GDI+ for the whole test run, as the program entry starts it for the product.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override { m_session = new SkinUI::CUiGdiplusSession(); }
    void TearDown() override { delete m_session; }

private:
    SkinUI::CUiGdiplusSession* m_session = nullptr;
};

testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

HBITMAP TopDownDib(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

Canvas::Canvas(int width, int height, DWORD argb) : m_width(width), m_height(height)
{
    void* bits = nullptr;
    m_bitmap = TopDownDib(width, height, &bits);
    m_bits = static_cast<DWORD*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(argb);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

DWORD Canvas::At(int x, int y) const
{
    GdiFlush();
    return m_bits[y * m_width + x];
}

void Canvas::Set(int x, int y, DWORD argb)
{
    GdiFlush();
    m_bits[y * m_width + x] = argb;
}

void Canvas::Fill(DWORD argb)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
}

HBITMAP MakeBitmap(int width, int height, const std::function<DWORD(int, int)>& colour)
{
    void* bits = nullptr;
    HBITMAP bitmap = TopDownDib(width, height, &bits);
    DWORD* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) p[y * width + x] = colour(x, y);
    return bitmap;
}

std::string EncodePng(int width, int height, const std::function<DWORD(int, int)>& argb)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            DWORD c = argb(x, y);
            unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<unsigned char>(c >> 16);
            p[1] = static_cast<unsigned char>(c >> 8);
            p[2] = static_cast<unsigned char>(c);
            p[3] = static_cast<unsigned char>(c >> 24);
        }
    }
    std::string out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
        },
        &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

namespace {
const DWORD kNine[9] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
                        0xFFFF00FF, 0xFF800000, 0xFF008000, 0xFF000080};
}

DWORD NineColour(int x, int y)
{
    int col = x < 4 ? 0 : x < 6 ? 1 : 2;
    int row = y < 4 ? 0 : y < 6 ? 1 : 2;
    return kNine[row * 3 + col];
}

int NineRegion(DWORD c)
{
    for (int i = 0; i < 9; ++i)
        if (kNine[i] == c) return i;
    return -1;
}

int ChannelDistance(DWORD a, DWORD b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        if (d > worst) worst = d;
    }
    return worst;
}

std::string Hex(DWORD c)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(c));
    return text;
}

} // namespace RenderTest
