// CPaintManagerUI: life of a manager and its DPI.
#include "ui/core/UiPaintManagerShared.h"

namespace SkinUI {

UiSharedState& SharedState()
{
    static UiSharedState state;
    return state;
}

CPaintManagerUI::CPaintManagerUI()
{
    UiSharedState& shared = SharedState();
    if (!shared.initialised) {
        shared.initialised = true;
        shared.colors = UiColors();
        InitSharedDefaultFont(&shared.defaultFont);
    }
    m_colors = shared.colors;
    // In the list from birth to death, so process-wide changes (colour adjustment,
    // shared colours, image reloads) reach every manager that holds resources.
    shared.managers.Add(this);
    SetDpi(CUiDpi::GetGlobalDpi());
}

CPaintManagerUI::~CPaintManagerUI()
{
    // The control tree goes first: its controls still talk to a whole manager.
    ReleaseLiveState();
    ReleaseWindowResources();
    for (int i = 0; i < m_privateFonts.GetSize(); ++i)
        RemoveFontMemResourceEx(static_cast<HANDLE>(m_privateFonts[i]));
    m_privateFonts.Empty();
    delete m_dpi;
    CUiPtrArray& managers = SharedState().managers;
    int index = managers.Find(this);
    if (index >= 0) managers.Remove(index);
}

void CPaintManagerUI::ReleaseWindowResources()
{
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllImageSpecs();
    RemoveAllDefaultAttributes(false);
    RemoveAllStyles(false);
    RemoveAllCustomAttributes();
    RemoveAllOptionGroups();
    FreeFontInfo(&m_defaultFont);
}

CUiDpi& CPaintManagerUI::GetDpi()
{
    if (m_dpi == nullptr) m_dpi = new CUiDpi();
    return *m_dpi;
}

void CPaintManagerUI::SetDpi(int dpi)
{
    CUiDpi& scaling = GetDpi();
    int oldScale = scaling.GetScale();
    scaling.SetScale(dpi);
    int newScale = scaling.GetScale();

    RebuildFonts();
    ReleaseScaledImages();

    if (m_paintWindow == nullptr || !IsWindow(m_paintWindow)) return;
    if (newScale != oldScale && !IsZoomed(m_paintWindow)) {
        RECT rect;
        GetWindowRect(m_paintWindow, &rect);
        POINT topLeft = {rect.left, rect.top};
        HWND parent = GetParent(m_paintWindow);
        if (parent && (GetWindowLongW(m_paintWindow, GWL_STYLE) & WS_CHILD))
            MapWindowPoints(nullptr, parent, &topLeft, 1);
        int width = (rect.right - rect.left) * newScale / oldScale;
        int height = (rect.bottom - rect.top) * newScale / oldScale;
        SetWindowPos(m_paintWindow, nullptr, topLeft.x, topLeft.y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PostMessageW(m_paintWindow, WM_USER + 2, 0, 0);
}

} // namespace SkinUI
