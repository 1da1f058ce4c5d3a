/* The yardstick for the installer's start-up: the least a Win32 program does
 * to put a painted window on screen. One class, one window the size of the
 * wizard, filled with a single colour the bench looks for from outside. */
#include <windows.h>

static LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        HBRUSH blue = CreateSolidBrush(RGB(0x38, 0x9B, 0xFD));
        FillRect(dc, &ps.rcPaint, blue);
        DeleteObject(blue);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmd, int show)
{
    (void)prev;
    /* With a title given it is the bench's keeper instead: a small window in
     * the corner that holds Wine's desktop open between the measured starts,
     * so no start pays for bringing the desktop up again. */
    int keeper = cmd && *cmd;
    WNDCLASSW wc = {0};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = L"VelkaroBareWindow";
    if (!RegisterClassW(&wc)) return 1;
    /* Centred like the wizard, and without a frame, so both are measured the
     * same way: mapped, then painted. */
    int w = keeper ? 64 : 700, h = keeper ? 64 : 420;
    int x = keeper ? 0 : (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    int y = keeper ? 0 : (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, keeper ? cmd : L"VelkaroBare", WS_POPUP,
                               x, y, w, h, NULL, NULL, inst, NULL);
    if (!wnd) return 1;
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}
