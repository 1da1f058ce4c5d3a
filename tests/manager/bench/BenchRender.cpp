// Render benchmark: one 732 x 452 frame into a 32-bit DIB, the way the wizard's
// layered window is painted: a full background image with 10-pixel corners, 20
// nine-part buttons and 30 single-line labels (Chinese and Latin). Prints the
// median time per frame over 200 frames for msimg32's AlphaBlend and for the
// software blend, and the share of each layer, with the thread's mean CPU time per
// frame beside the wall-clock median. Never fails on timing.
//   bench_render.exe [frames]
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiImageSpec.h"
#include "ui/render/UiText.h"

using namespace SkinUI;

namespace {

const int FRAME_WIDTH = 732;
const int FRAME_HEIGHT = 452;

void AppendBytes(void* context, void* data, int size)
{
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

// A translucent-edged panel: opaque middle, alpha ramp in the outer 10 pixels.
bool WritePng(const std::wstring& path, int width, int height, unsigned rgb, int edge)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int d = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
            unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = (rgb >> 16) & 0xFF;
            p[1] = (rgb >> 8) & 0xFF;
            p[2] = rgb & 0xFF;
            p[3] = d >= edge ? 255 : static_cast<unsigned char>(255 * (d + 1) / (edge + 1));
        }
    std::string png;
    stbi_write_png_to_func(AppendBytes, &png, width, height, 4, rgba.data(), width * 4);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == png.size();
}

struct Frame {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    BYTE* bits = nullptr;
    Frame()
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateArgbSurface(dc, FRAME_WIDTH, FRAME_HEIGHT, &bits);
        old = SelectObject(dc, bitmap);
    }
    ~Frame()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

enum Layers { LAYER_BACKGROUND = 1, LAYER_BUTTONS = 2, LAYER_LABELS = 4, LAYER_ALL = 7 };

void DrawFrame(Frame& frame, CPaintManagerUI& manager, int layers)
{
    RECT whole = {0, 0, FRAME_WIDTH, FRAME_HEIGHT};
    // A layered window's frame starts fully transparent.
    GdiFlush();
    ZeroMemory(frame.bits, static_cast<size_t>(FRAME_WIDTH) * FRAME_HEIGHT * 4);
    if (layers & LAYER_BACKGROUND)
        PaintImageSpec(frame.dc, &manager, whole, whole, L"file='bg.png' corner='10,10,10,10'");
    if (layers & LAYER_BUTTONS)
        for (int i = 0; i < 20; ++i) {
            int x = 20 + (i % 5) * 140, y = 250 + (i / 5) * 46;
            RECT item = {x, y, x + 120, y + 36};
            PaintImageSpec(frame.dc, &manager, item, whole,
                           L"file='btn.png' source='0,0,60,30' corner='6,6,6,6'");
        }
    if (layers & LAYER_LABELS)
        for (int i = 0; i < 30; ++i) {
            int x = 20 + (i % 3) * 236, y = 20 + (i / 3) * 22;
            RECT rect = {x, y, x + 220, y + 20};
            const wchar_t* text = (i & 1) ? L"Velkaro Setup 5.3.1.0 - install folder"
                                          : L"正在安装视频转换软件，请稍候";
            DrawPlainText(frame.dc, &manager, rect, text, 0xFF202020, (i & 1) ? 2 : 1,
                          DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        }
    GdiFlush();
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return n == 0 ? 0 : (n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2);
}

double ThreadCpuMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// CPU time of this thread per frame, averaged: on a busy machine the wall-clock
// median also counts the time other processes held the cores.
double g_cpuPerFrame = 0;

double MedianMs(Frame& frame, CPaintManagerUI& manager, int layers, int frames)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    DrawFrame(frame, manager, layers); // images load and fonts warm up outside the timing
    std::vector<double> samples;
    samples.reserve(frames);
    double cpuStart = ThreadCpuMs();
    for (int i = 0; i < frames; ++i) {
        QueryPerformanceCounter(&start);
        DrawFrame(frame, manager, layers);
        QueryPerformanceCounter(&end);
        samples.push_back((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    }
    g_cpuPerFrame = (ThreadCpuMs() - cpuStart) / frames;
    return Median(samples);
}

} // namespace

int main(int argc, char** argv)
{
    int frames = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"velkaro-bench-render\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!WritePng(folder + L"bg.png", 200, 120, 0xF4F6FA, 10) ||
        !WritePng(folder + L"btn.png", 60, 30, 0x2D7FF9, 6)) {
        std::printf("bench-render: cannot write the images\n");
        return 0;
    }
    CUiResourceLocation::SetSkinFolder(folder.c_str());

    CPaintManagerUI manager;
    manager.SetLayered(true);
    manager.AddFont(1, L"微软雅黑", 12, false, false, false);
    manager.AddFont(2, L"Tahoma", 12, false, false, false);
    Frame frame;
    if (frame.bitmap == nullptr) {
        std::printf("bench-render: cannot create the frame\n");
        return 0;
    }

    struct Path { const char* name; UiBlendPath path; } paths[] = {
        {"msimg32 AlphaBlend", UI_BLEND_SYSTEM}, {"software blend", UI_BLEND_SOFTWARE}};
    std::printf("bench-render: %d x %d frame, 1 background, 20 buttons, 30 labels; median of %d frames\n",
                FRAME_WIDTH, FRAME_HEIGHT, frames);
    // The wizard's window is layered, and a layered window draws its text through
    // GDI+; the GDI figures show what the same frame costs with GDI text.
    for (const Path& p : paths) {
        SetBlendPath(p.path);
        manager.SetLayered(true);
        double all = MedianMs(frame, manager, LAYER_ALL, frames);
        double allCpu = g_cpuPerFrame;
        double background = MedianMs(frame, manager, LAYER_BACKGROUND, frames);
        double buttons = MedianMs(frame, manager, LAYER_BUTTONS, frames);
        double labels = MedianMs(frame, manager, LAYER_LABELS, frames);
        manager.SetLayered(false);
        double gdiAll = MedianMs(frame, manager, LAYER_ALL, frames);
        double gdiCpu = g_cpuPerFrame;
        double gdiLabels = MedianMs(frame, manager, LAYER_LABELS, frames);
        std::printf("  %-18s layered frame  %8.3f ms, cpu %.3f  (background %.3f, 20 buttons %.3f, "
                    "30 GDI+ labels %.3f)\n", p.name, all, allCpu, background, buttons, labels);
        std::printf("  %-18s GDI-text frame %8.3f ms, cpu %.3f  (30 GDI labels %.3f)\n", "", gdiAll,
                    gdiCpu, gdiLabels);
    }
    SetBlendPath(UI_BLEND_AUTO);
    DeleteFileW((folder + L"bg.png").c_str());
    DeleteFileW((folder + L"btn.png").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
