// A layered window for the pointer test driven from outside: a round-cornered
// blue root with one button. It runs until the file named on the command line
// appears (or 40 s pass), then prints what the button received.
#include <cstdio>
#include <string>

#include "PaintTestUtil.h"

using namespace PaintTest;

namespace {

std::wstring g_quitFile;
DWORD g_start = 0;

void CALLBACK CheckQuit(HWND window, UINT, UINT_PTR, DWORD)
{
    if (GetFileAttributesW(g_quitFile.c_str()) != INVALID_FILE_ATTRIBUTES ||
        GetTickCount() - g_start > 40000) {
        DestroyWindow(window);
        PostQuitMessage(0);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    g_quitFile = argv[1];
    g_start = GetTickCount();
    EventLog log;
    Recorder recorder(&log);
    const bool layered = argc < 3 || wcscmp(argv[2], L"opaque") != 0;
    auto* window = new TestWindow(240, 160, layered, 300, 200, L"PaintDemo");
    auto* root = new TestBox();
    root->AssignBkColor(0xFF3366CC);
    root->AssignBorderRound(SIZE{40, 40});
    auto* button = new ProbeControl("btn", &log, RECT{40, 40, 140, 100}, 0);
    button->AssignBkColor(0xFFEEEEEE);
    root->AddItem(button);
    window->Manager().AddNotifier(&recorder);
    // Focus and capture changes from the window manager, for a failure report.
    auto classOf = [](HWND other) {
        char name[64] = "none";
        if (other) GetClassNameA(other, name, sizeof(name));
        return std::string(name);
    };
    window->onMessage = [&log, classOf](UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_KILLFOCUS: log.Add("msg:killfocus to " + classOf(reinterpret_cast<HWND>(wParam))); break;
        case WM_SETFOCUS: log.Add("msg:setfocus"); break;
        case WM_CAPTURECHANGED: log.Add("msg:capturechanged to " + classOf(reinterpret_cast<HWND>(lParam))); break;
        case WM_MOUSELEAVE: log.Add("msg:mouseleave"); break;
        case WM_LBUTTONDOWN: log.Add("msg:lbuttondown"); break;
        case WM_LBUTTONUP: log.Add("msg:lbuttonup"); break;
        case WM_ACTIVATE:
            log.Add("msg:activate " + std::to_string(LOWORD(wParam)) + " other " +
                    classOf(reinterpret_cast<HWND>(lParam)));
            break;
        default: break;
        }
    };
    if (!window->Show(root)) {
        std::printf("no first frame\n");
        return 1;
    }
    // Shown active, as the wizard is, with a frame pushed after the activation:
    // Wine maps a layered window anew on the first frame after it is activated,
    // and the focus round trip that causes would take the capture from the click.
    ShowWindow(window->Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(window->Handle());
    SetFocus(window->Handle());
    window->Manager().Invalidate();
    UpdateWindow(window->Handle());
    PumpFor(300);
    SetTimer(window->Handle(), 1, 50, CheckQuit);
    CPaintManagerUI::RunMessageLoop();
    for (const std::string& entry : log.entries)
        if (entry.find(":move") == std::string::npos) std::printf("%s\n", entry.c_str());
    for (const char* kind : {"enter", "down", "up", "leave"})
        std::printf("count btn:%s=%d\n", kind, log.Count(std::string("ev:btn:") + kind));
    std::printf("count click=%d\n", log.Count("n:click:btn"));
    std::fflush(stdout);
    window->Manager().RemoveNotifier(&recorder);
    delete window;
    return 0;
}
