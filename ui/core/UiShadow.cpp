// CShadowUI: settings. The shadow window itself is not drawn yet: CreateShadow
// and UpdateShadow are placeholders until the shadow window lands.
#include "ui/core/UiShadow.h"

namespace SkinUI {

CShadowUI::~CShadowUI() = default;

bool CShadowUI::AssignShadowSize(int size)
{
    if (size < -35 || size > 35) return false;
    m_size = static_cast<signed char>(size);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowSharpness(unsigned sharpness)
{
    if (sharpness > 35) return false;
    m_sharpness = static_cast<BYTE>(sharpness);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowDarkness(unsigned darkness)
{
    if (darkness > 255) return false;
    m_darkness = static_cast<BYTE>(darkness);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowOffset(int x, int y)
{
    if (x < -35 || x > 35 || y < -35 || y > 35) return false;
    m_offsetX = static_cast<signed char>(x);
    m_offsetY = static_cast<signed char>(y);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowColour(COLORREF rgb)
{
    m_colour = rgb & 0x00FFFFFF;
    Changed();
    return true;
}

bool CShadowUI::AssignShadowImage(const wchar_t* image)
{
    if (!image) return false;
    m_image = image;
    m_imageMode = true;
    Changed();
    return true;
}

bool CShadowUI::AssignShadowCorner(const RECT& corner)
{
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
    m_corner = corner;
    Changed();
    return true;
}

void CShadowUI::Changed()
{
    if (m_window && IsWindowVisible(m_window)) UpdateShadow();
}

bool CShadowUI::CreateShadow(CPaintManagerUI* manager)
{
    (void)manager;
    return false;
}

void CShadowUI::SuspendShadow(bool suspend) { m_suspended = suspend; }

bool CShadowUI::CopyShadowTo(CShadowUI* other) const
{
    if (!other) return false;
    if (m_imageMode) {
        other->m_image = m_image;
        other->m_imageMode = true;
        other->m_corner = m_corner;
        other->m_size = m_size;
    } else {
        other->m_size = m_size;
        other->m_sharpness = m_sharpness;
        other->m_darkness = m_darkness;
        other->m_colour = m_colour;
        other->m_offsetX = m_offsetX;
        other->m_offsetY = m_offsetY;
    }
    other->m_show = m_show;
    return true;
}

void CShadowUI::UpdateShadow() {}

} // namespace SkinUI
