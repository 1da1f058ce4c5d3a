// Paint figures for a window like the wizard's: 732 x 452, layered, a background
// image, four tab-page containers holding 40 controls (images, nine-part buttons,
// Chinese and Latin labels). Prints medians; never fails on timing.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "PaintTestUtil.h"
#include "ui/core/UiPaintManagerLive.h"
#include "ui/render/UiGdi.h"
#include "ui/render/UiText.h"

using namespace PaintTest;

namespace {

int g_pushes = 0;
double g_pushTime = 0;   // spent inside UpdateLayeredWindow
UpdateLayeredWindowFn g_realUpdate = nullptr;
UpdateLayeredWindowIndirectFn g_realIndirect = nullptr;
double Now();

BOOL WINAPI CountingUpdate(HWND w, HDC d, POINT* p, SIZE* s, HDC src, POINT* sp, COLORREF k,
                           BLENDFUNCTION* b, DWORD f)
{
    ++g_pushes;
    const double t0 = Now();
    const BOOL ok = g_realUpdate(w, d, p, s, src, sp, k, b, f);
    g_pushTime += Now() - t0;
    return ok;
}

BOOL WINAPI CountingIndirect(HWND w, const UPDATELAYEREDWINDOWINFO* info)
{
    ++g_pushes;
    const double t0 = Now();
    const BOOL ok = g_realIndirect(w, info);
    g_pushTime += Now() - t0;
    return ok;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A premultiplied 32-bit image made in code: a vertical gradient with a soft edge.
void AddGradientImage(CPaintManagerUI& m, const wchar_t* name, int w, int h, DWORD top, DWORD bottom)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<BYTE*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const DWORD c = y < h / 2 ? top : bottom;
            const BYTE a = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? 160 : 255;
            BYTE* p = px + (static_cast<size_t>(y) * w + x) * 4;
            p[0] = static_cast<BYTE>((c & 0xFF) * a / 255);
            p[1] = static_cast<BYTE>(((c >> 8) & 0xFF) * a / 255);
            p[2] = static_cast<BYTE>(((c >> 16) & 0xFF) * a / 255);
            p[3] = a;
        }
    m.AddImage(name, bitmap, w, h, true);
}

void AddResources(CPaintManagerUI& m)
{
    AddGradientImage(m, L"bg.png", 732, 452, 0xF4F7FB, 0xE8EEF6);
    AddGradientImage(m, L"btn.png", 60, 24, 0x2F80ED, 0x2A73D6);
    AddGradientImage(m, L"btn_hot.png", 60, 24, 0x4A92F0, 0x3C86EA);
    AddGradientImage(m, L"icon.png", 48, 48, 0xF2994A, 0xEB5757);
}

ProbeControl* Label(const char* name, RECT place, const wchar_t* text, CPaintManagerUI* m)
{
    auto* label = new ProbeControl(name, nullptr, place, 0);
    label->painter = [text, m](HDC dc, const RECT& r) {
        RECT box = r;
        DrawPlainText(dc, m, box, text, 0xFF333333, -1, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    };
    return label;
}

// The tree: root with background, four pages of ten controls, the first page shown.
TestBox* BuildTree(CPaintManagerUI* m, ProbeControl** firstButton)
{
    auto* root = new TestBox();
    root->AssignBkImage(L"file='bg.png'");
    root->AssignBorderRound(SIZE{8, 8});
    for (int page = 0; page < 4; ++page) {
        auto* box = new TestBox(RECT{20, 60, 712, 432});
        for (int i = 0; i < 3; ++i) {
            auto* image = new ProbeControl("img", nullptr, RECT{20 + i * 70, 10, 68 + i * 70, 58}, 0);
            image->AssignBkImage(L"file='icon.png'");
            box->AddItem(image);
        }
        for (int i = 0; i < 3; ++i) {
            auto* button = new ProbeControl("btn", nullptr, RECT{20 + i * 130, 300, 140 + i * 130, 340}, 0);
            button->AssignBkImage(L"file='btn.png' corner='6,6,6,6'");
            if (page == 0 && i == 0) *firstButton = button;
            box->AddItem(button);
        }
        box->AddItem(Label("cn1", RECT{20, 80, 400, 110}, L"欢迎使用 Velkaro 视频转换器安装向导", m));
        box->AddItem(Label("cn2", RECT{20, 120, 400, 150}, L"安装程序将把产品安装到以下文件夹", m));
        box->AddItem(Label("en1", RECT{20, 160, 600, 190}, L"Welcome to the Velkaro Setup Wizard", m));
        box->AddItem(Label("en2", RECT{20, 200, 600, 230}, L"C:\\Program Files (x86)\\Velkaro\\Velkaro 5", m));
        if (page != 0) box->Show(false);
        root->AddItem(box);
    }
    return root;
}

} // namespace

int wmain()
{
    CUiGdiplusSession gdiplus;
    LiveProcessState& live = LiveProcessState::Get();
    g_realUpdate = live.UpdateLayered();
    if (!g_realUpdate) {
        std::printf("UpdateLayeredWindow is missing\n");
        return 1;
    }
    live.OverrideUpdateLayered(CountingUpdate);
    g_realIndirect = live.UpdateLayeredIndirect();
    if (g_realIndirect) live.OverrideUpdateLayeredIndirect(CountingIndirect);

    std::vector<double> attach;
    for (int run = 0; run < 7; ++run) {
        TestWindow window(732, 452, true, 60, 60, L"PaintBench");
        AddResources(window.Manager());
        ProbeControl* button = nullptr;
        TestBox* root = BuildTree(&window.Manager(), &button);
        ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
        PumpFor(30);
        const int pushes = g_pushes;
        const double t0 = Now();
        window.Manager().AttachRoot(root);
        MSG msg;
        while (g_pushes == pushes && Now() - t0 < 5000) {
            UpdateWindow(window.Handle());
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        attach.push_back(Now() - t0);
    }

    TestWindow window(732, 452, true, 60, 60, L"PaintBench");
    AddResources(window.Manager());
    ProbeControl* button = nullptr;
    TestBox* root = BuildTree(&window.Manager(), &button);
    if (!window.Show(root)) {
        std::printf("no first frame\n");
        return 1;
    }
    PumpFor(100);
    std::vector<double> full, hover, fullPush, hoverPush;
    for (int i = 0; i < 60; ++i) {
        window.Manager().Invalidate();
        g_pushTime = 0;
        const double t0 = Now();
        UpdateWindow(window.Handle());
        full.push_back(Now() - t0);
        fullPush.push_back(g_pushTime);
    }
    for (int i = 0; i < 60; ++i) {
        button->AssignBkImage(i % 2 ? L"file='btn.png' corner='6,6,6,6'" : L"file='btn_hot.png' corner='6,6,6,6'");
        g_pushTime = 0;
        const double t0 = Now();
        UpdateWindow(window.Handle());
        hover.push_back(Now() - t0);
        hoverPush.push_back(g_pushTime);
    }
    std::printf("window 732x452 layered, 4 tab pages, 40 controls (10 on the shown page)\n");
    std::printf("full repaint incl. UpdateLayeredWindow: median %.2f ms (%zu runs), of which UpdateLayeredWindow %.2f ms\n",
                Median(full), full.size(), Median(fullPush));
    std::printf("one button's hover repaint:             median %.2f ms (%zu runs), of which UpdateLayeredWindow %.2f ms\n",
                Median(hover), hover.size(), Median(hoverPush));
    std::printf("attach-root to first pushed frame:      median %.2f ms (%zu runs)\n", Median(attach), attach.size());
    return 0;
}
