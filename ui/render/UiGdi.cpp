#include "ui/render/UiGdi.h"

#include <gdiplus.h>

namespace SkinUI {

CUiGdiplusSession::CUiGdiplusSession() : m_token(0)
{
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
}

CUiGdiplusSession::~CUiGdiplusSession()
{
    if (m_token) Gdiplus::GdiplusShutdown(m_token);
}

} // namespace SkinUI
