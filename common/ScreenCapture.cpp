#include "common/ScreenCapture.h"

#include "common/ComPtr.h"
#include "common/ScopedHandle.h"

#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <vector>

namespace {

class CDisplayDc {
public:
    CDisplayDc() : m_dc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)) {}
    ~CDisplayDc() { if (m_dc != nullptr) DeleteDC(m_dc); }
    CDisplayDc(const CDisplayDc&) = delete;
    CDisplayDc& operator=(const CDisplayDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

class CWindowDc {
public:
    explicit CWindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDc() { if (m_dc != nullptr) ReleaseDC(m_window, m_dc); }
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory DC with one bitmap selected; the bitmap is put back out on exit.
class CMemoryDc {
public:
    CMemoryDc(HDC reference, HBITMAP bitmap) : m_dc(CreateCompatibleDC(reference)), m_old(nullptr)
    {
        if (m_dc != nullptr) m_old = SelectObject(m_dc, bitmap);
    }
    ~CMemoryDc()
    {
        if (m_dc == nullptr) return;
        if (m_old != nullptr) SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    CMemoryDc(const CMemoryDc&) = delete;
    CMemoryDc& operator=(const CMemoryDc&) = delete;
    HDC Get() const { return m_dc; }
    bool IsValid() const { return m_dc != nullptr && m_old != nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

int DisplayBitsPerPixel()
{
    CDisplayDc display;
    if (display.Get() == nullptr) return 24;
    int bits = GetDeviceCaps(display.Get(), PLANES) * GetDeviceCaps(display.Get(), BITSPIXEL);
    if (bits <= 1) return 1;
    if (bits <= 4) return 4;
    if (bits <= 8) return 8;
    return 24;
}

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

} // namespace

HBITMAP CaptureScreenRect(const RECT& rect)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return nullptr;
    CDisplayDc display;
    if (display.Get() == nullptr) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(display.Get(), width, height);
    if (bitmap == nullptr) return nullptr;
    bool copied = false;
    {
        CMemoryDc memory(display.Get(), bitmap);
        copied = memory.IsValid()
            && BitBlt(memory.Get(), 0, 0, width, height, display.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    }
    if (!copied) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP CreateShadeBitmap(HWND window, const RECT& rect)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return nullptr;
    CWindowDc windowDc(window);
    if (windowDc.Get() == nullptr) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc.Get(), width, height);
    if (bitmap == nullptr) return nullptr;
    bool filled = false;
    {
        CMemoryDc memory(windowDc.Get(), bitmap);
        if (memory.IsValid()) {
            Gdiplus::Graphics graphics(memory.Get());
            Gdiplus::SolidBrush shade(Gdiplus::Color(0x8F000000));
            filled = graphics.FillRectangle(&shade, 0, 0, width, height) == Gdiplus::Ok;
        }
    }
    if (!filled) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

bool SaveBitmapToFile(HBITMAP bitmap, const wchar_t* path)
{
    BITMAP info = {};
    if (bitmap == nullptr || path == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
    if (info.bmWidth <= 0 || info.bmHeight <= 0) return false;

    const int bits = DisplayBitsPerPixel();
    const DWORD colours = bits <= 8 ? (1u << bits) : 0;
    const DWORD stride = ((info.bmWidth * bits + 31) / 32) * 4;
    const DWORD pixelBytes = stride * info.bmHeight;

    // Header and colour table in one block, as GetDIBits fills them.
    std::vector<BYTE> header(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = info.bmWidth;
    bih->biHeight = info.bmHeight;
    bih->biPlanes = 1;
    bih->biBitCount = static_cast<WORD>(bits);
    bih->biCompression = BI_RGB;
    bih->biSizeImage = pixelBytes;
    bih->biClrUsed = 0;

    std::vector<BYTE> pixels(pixelBytes, 0);
    {
        CWindowDc screen(nullptr);
        if (screen.Get() == nullptr) return false;
        if (GetDIBits(screen.Get(), bitmap, 0, info.bmHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(bih),
                      DIB_RGB_COLORS) == 0)
            return false;
    }
    // GetDIBits may have rewritten the header; the file states what is written.
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biBitCount = static_cast<WORD>(bits);
    bih->biCompression = BI_RGB;
    bih->biSizeImage = pixelBytes;
    bih->biClrUsed = 0;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + header.size());
    file.bfSize = file.bfOffBits + pixelBytes;

    CKEScopedHandle out(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.IsValid()) return false;
    bool ok = WriteAll(out.Get(), &file, sizeof(file)) && WriteAll(out.Get(), header.data(), header.size())
        && WriteAll(out.Get(), pixels.data(), pixelBytes);
    out.Close();
    if (!ok) DeleteFileW(path);  // no half-written image left behind
    return ok;
}

bool LoadImageCopy(const wchar_t* path, std::unique_ptr<Gdiplus::Bitmap>* image)
{
    if (path == nullptr || image == nullptr) return false;
    image->reset();
    CKEComPtr<IStream> stream;
    if (FAILED(SHCreateStreamOnFileEx(path, STGM_READ | STGM_SHARE_DENY_NONE, FILE_ATTRIBUTE_NORMAL, FALSE, nullptr,
                                      stream.Receive())))
        return false;
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) return false;
    UINT width = decoded->GetWidth();
    UINT height = decoded->GetHeight();
    if (width == 0 || height == 0) return false;
    // Clone decodes everything now, so nothing still reads from the stream.
    std::unique_ptr<Gdiplus::Bitmap> copy(
        decoded->Clone(0, 0, static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) return false;
    *image = std::move(copy);
    return true;
}

HWND WindowUnderPoint(POINT point, RECT* rect)
{
    RECT dummy;
    if (rect == nullptr) rect = &dummy;
    SetRectEmpty(rect);
    HWND desktop = GetDesktopWindow();
    HWND top = ChildWindowFromPointEx(desktop, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (top == nullptr || top == desktop) return nullptr;

    wchar_t className[64] = {};
    GetClassNameW(top, className, 64);
    if (wcscmp(className, L"WorkerW") == 0) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor)) {
            *rect = monitor.rcMonitor;
            InflateRect(rect, -2, -2);
        }
        return nullptr;
    }

    HWND window = top;
    for (;;) {
        POINT local = point;
        ScreenToClient(window, &local);
        HWND child = ChildWindowFromPointEx(window, local, CWP_SKIPINVISIBLE);
        if (child == nullptr || child == window) break;
        window = child;
    }
    GetWindowRect(window, rect);
    return window;
}
