// Start-up window of the installer while the wizard is being built: a borderless
// layered window drawn with per-pixel alpha, proving the display path end to end.
#include <windows.h>

namespace {

const wchar_t kTitle[] = L"Velkaro";
const int kWidth = 480, kHeight = 300, kRadius = 24;

// Premultiplied ARGB: a round-cornered card fading from opaque to half-transparent.
void PaintCard(DWORD* pixels)
{
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int dx = x < kRadius ? kRadius - x : (x >= kWidth - kRadius ? x - (kWidth - kRadius - 1) : 0);
            int dy = y < kRadius ? kRadius - y : (y >= kHeight - kRadius ? y - (kHeight - kRadius - 1) : 0);
            bool inside = dx * dx + dy * dy <= kRadius * kRadius;
            unsigned alpha = inside ? 255 - (127 * y) / kHeight : 0;
            unsigned r = 0x2B, g = 0x7C, b = 0xE8;
            pixels[y * kWidth + x] = (alpha << 24) | ((r * alpha / 255) << 16) | ((g * alpha / 255) << 8) | (b * alpha / 255);
        }
    }
}

void PushLayered(HWND hwnd)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintCard(static_cast<DWORD*>(bits));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    RECT text = {0, 0, kWidth, kHeight};
    DrawTextW(memory, L"Velkaro Setup", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // GDI text clears alpha: make the text pixels opaque again.
    DWORD* p = static_cast<DWORD*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i)
        if ((p[i] >> 24) == 0 && (p[i] & 0xFFFFFF)) p[i] |= 0xFF000000;
    POINT source = {0, 0};
    SIZE size = {kWidth, kHeight};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"VelkaroPreview";
    RegisterClassW(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, wc.lpszClassName, kTitle, WS_POPUP,
                                x, y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    PushLayered(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
