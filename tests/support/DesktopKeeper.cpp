// Holds Wine's desktop for a whole test run. Wine ends its desktop process
// (explorer.exe /desktop) about a second after the last program on the desktop
// has ended, and the next program to need the desktop starts another; with a
// test program starting every few tenths of a second the desktop went down and
// came up again all run long, old and new desktop processes overlapping. A
// thread that stays on the desktop keeps one desktop process for the run, and
// no test has to wait for one to come up. Ended by the run's server shutdown.
#include <windows.h>

int main()
{
    // A window, never shown, attaches this thread to the desktop; asking for
    // the desktop window makes sure its process is up before the tests start.
    HWND window = CreateWindowExW(0, L"STATIC", L"VelkaroDesktopKeeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window || !GetDesktopWindow()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
