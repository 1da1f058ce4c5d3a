#include "BoxTestSkin.h"

#include <string>

#include "support/TestSupport.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"

namespace BoxTests {

bool UseInstallerSkin()
{
    // Registered once and kept for the life of the process, like the resource.
    static std::string* archive = nullptr;
    if (archive) return true;
    auto* bytes = new std::string();
    if (!TestSupport::ReadFileBytes(TestSupport::FromHostPath(VELKARO_SKIN_ZIP), bytes) ||
        bytes->empty()) {
        delete bytes;
        return false;
    }
    archive = bytes;
    SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    SkinUI::CUiResourceLocation::SetSkinFolder(L"");
    SkinUI::CUiResourceLocation::SetSkinArchiveInMemory(archive->data(),
                                                        static_cast<DWORD>(archive->size()), nullptr);
    return true;
}

OwnerWindow::OwnerWindow(const RECT& rect, bool show)
{
    static const wchar_t* const kClass = L"VelkaroBoxOwnerTest";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClass;
        registered = RegisterClassW(&wc) != 0;
    }
    m_window = CreateWindowExW(0, kClass, L"owner", WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                   WS_MINIMIZEBOX, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (m_window && show) ShowWindow(m_window, SW_SHOWNOACTIVATE);
}

OwnerWindow::~OwnerWindow()
{
    if (m_window && IsWindow(m_window)) DestroyWindow(m_window);
}

RECT PrimaryMonitor()
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

} // namespace BoxTests
