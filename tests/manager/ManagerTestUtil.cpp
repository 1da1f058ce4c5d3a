#include "ManagerTestUtil.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <vector>

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"

namespace ManagerTest {

namespace {
void AppendBytes(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}
} // namespace

std::string MakePng(int width, int height, uint32_t argb)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = (argb >> 16) & 0xFF;
        rgba[i + 1] = (argb >> 8) & 0xFF;
        rgba[i + 2] = argb & 0xFF;
        rgba[i + 3] = argb >> 24;
    }
    std::string png;
    stbi_write_png_to_func(AppendBytes, &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

SkinFolder::SkinFolder() { SkinUI::CUiResourceLocation::SetSkinFolder(m_folder.Path().c_str()); }

SkinFolder::~SkinFolder() { SkinUI::CUiResourceLocation::SetSkinFolder(L""); }

bool SkinFolder::Write(const wchar_t* name, const std::string& bytes)
{
    return TestSupport::WriteFileBytes(PathOf(name), bytes);
}

GlobalDpi::GlobalDpi(int dpi) { SkinUI::CUiDpi::SetGlobalDpi(dpi); }

GlobalDpi::~GlobalDpi() { SkinUI::CUiDpi::SetGlobalDpi(96); }

void ResetShared()
{
    SkinUI::CPaintManagerUI manager;
    manager.RemoveAllFonts(true);
    manager.RemoveAllImages(true);
    manager.RemoveAllStyles(true);
    manager.RemoveAllDefaultAttributes(true);
    SkinUI::UiColors defaults;
    manager.SetDisabledTextColor(defaults.disabledText, true);
    manager.SetTextColor(defaults.text, true);
    manager.SetLinkColor(defaults.link, true);
    manager.SetLinkHoverColor(defaults.linkHover, true);
    manager.SetSelectionColor(defaults.selection, true);
    manager.SetColorAdjustment(false, 0, 0, 0);
}

LOGFONTW LogFontOf(HFONT font)
{
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

bool IsLiveGdiObject(HGDIOBJ object) { return object && GetObjectType(object) != 0; }

Canvas::Canvas(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    Clear(0);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void Canvas::Clear(uint32_t argb)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = argb;
}

} // namespace ManagerTest
