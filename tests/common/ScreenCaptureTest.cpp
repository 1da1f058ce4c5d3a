// BMP files, image copies, the shade overlay, screen capture and the window
// under a point, on the test's X display.
#include "common/ScreenCapture.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

using TestSupport::TempFolder;

namespace {

class GdiplusScope : public testing::Test {
protected:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token); }
    ULONG_PTR token = 0;
};

// A 32-bit top-down DIB section with the given pixels (0x00RRGGBB).
HBITMAP MakeBitmap(int width, int height, const DWORD* pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) memcpy(bits, pixels, width * height * 4);
    return bitmap;
}

DWORD PixelOf(HBITMAP bitmap, int x, int y)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(info.bmWidth * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels[y * info.bmWidth + x] & 0xFFFFFF;
}

void PumpFor(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

struct ColourWindow {
    HWND window = nullptr;
    HBRUSH brush = nullptr;
    ColourWindow(COLORREF colour, int x, int y, int width, int height)
    {
        brush = CreateSolidBrush(colour);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush;
        wc.lpszClassName = L"KeCommonColourTest";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"KeCommonColourTest", L"colour",
                                 WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(window);
        PumpFor(500);
    }
    ~ColourWindow()
    {
        if (window != nullptr) DestroyWindow(window);
        UnregisterClassW(L"KeCommonColourTest", GetModuleHandleW(nullptr));
        DeleteObject(brush);
    }
};

} // namespace

using CommonScreen = GdiplusScope;

TEST_F(CommonScreen, BmpFileHasHeadersAndPaddedBottomUpRows)
{
    const DWORD pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF,   // top row
                            0x00112233, 0x00445566, 0x00778899};  // bottom row
    HBITMAP bitmap = MakeBitmap(3, 2, pixels);
    ASSERT_NE(nullptr, bitmap);
    TempFolder temp;
    std::wstring path = temp.Path() + L"shot.bmp";
    ASSERT_TRUE(SaveBitmapToFile(bitmap, path.c_str()));

    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadFileBytes(path, &bytes));
    ASSERT_GE(bytes.size(), 54u);
    const BITMAPFILEHEADER* file = reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    const BITMAPINFOHEADER* info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + 14);
    EXPECT_EQ(0x4D42, file->bfType);
    EXPECT_EQ(bytes.size(), file->bfSize);
    ASSERT_EQ(24, info->biBitCount) << "the test display is expected to be a true-colour one";
    EXPECT_EQ(54u, file->bfOffBits);
    EXPECT_EQ(40u, info->biSize);
    EXPECT_EQ(3, info->biWidth);
    EXPECT_EQ(2, info->biHeight);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), info->biCompression);
    ASSERT_EQ(54u + 2 * 12, bytes.size());  // rows of 9 bytes padded to 12
    const std::string rows = bytes.substr(54);
    EXPECT_EQ(std::string("\x33\x22\x11\x66\x55\x44\x99\x88\x77\0\0\0", 12), rows.substr(0, 12));
    EXPECT_EQ(std::string("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00\0\0\0", 12), rows.substr(12, 12));

    // Written back in through GDI+: same pixels, and the file is not held.
    std::unique_ptr<Gdiplus::Bitmap> image;
    ASSERT_TRUE(LoadImageCopy(path.c_str(), &image));
    ASSERT_EQ(3u, image->GetWidth());
    ASSERT_EQ(2u, image->GetHeight());
    EXPECT_EQ(PixelFormat32bppARGB, image->GetPixelFormat());
    Gdiplus::Color colour;
    image->GetPixel(0, 0, &colour);
    EXPECT_EQ(0xFFFF0000u, colour.GetValue());
    image->GetPixel(2, 1, &colour);
    EXPECT_EQ(0xFF778899u, colour.GetValue());
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    image->GetPixel(1, 1, &colour);
    EXPECT_EQ(0xFF445566u, colour.GetValue());
    DeleteObject(bitmap);
}

TEST_F(CommonScreen, FailuresAreResults)
{
    const DWORD pixel = 0;
    HBITMAP bitmap = MakeBitmap(1, 1, &pixel);
    TempFolder temp;
    EXPECT_FALSE(SaveBitmapToFile(bitmap, (temp.Path() + L"missing\\x.bmp").c_str()));
    EXPECT_FALSE(SaveBitmapToFile(nullptr, (temp.Path() + L"x.bmp").c_str()));
    EXPECT_FALSE(TestSupport::FileExists(temp.Path() + L"x.bmp"));
    DeleteObject(bitmap);

    std::unique_ptr<Gdiplus::Bitmap> image;
    EXPECT_FALSE(LoadImageCopy((temp.Path() + L"none.png").c_str(), &image));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"bad.png", "\x89PNG not really"));
    EXPECT_FALSE(LoadImageCopy((temp.Path() + L"bad.png").c_str(), &image));
    EXPECT_EQ(nullptr, image.get());

    RECT empty = {10, 10, 10, 30};
    EXPECT_EQ(nullptr, CaptureScreenRect(empty));
    EXPECT_EQ(nullptr, CreateShadeBitmap(nullptr, empty));
}

TEST_F(CommonScreen, ShadeBitmapHasTheRectanglesSizeAndIsBlack)
{
    RECT rect = {5, 7, 45, 27};
    HBITMAP shade = CreateShadeBitmap(nullptr, rect);
    ASSERT_NE(nullptr, shade);
    BITMAP info = {};
    GetObjectW(shade, sizeof(info), &info);
    EXPECT_EQ(40, info.bmWidth);
    EXPECT_EQ(20, info.bmHeight);
    EXPECT_EQ(0u, PixelOf(shade, 0, 0));
    EXPECT_EQ(0u, PixelOf(shade, 39, 19));
    DeleteObject(shade);
}

TEST_F(CommonScreen, CaptureReadsWhatIsOnTheScreen)
{
    ColourWindow red(RGB(255, 0, 0), 900, 650, 120, 90);
    ASSERT_NE(nullptr, red.window);
    RECT where;
    GetWindowRect(red.window, &where);
    // The compositor shows a new window a moment after it is painted.
    DWORD centre = 0;
    for (int attempt = 0; attempt < 30 && centre != 0xFF0000u; ++attempt) {
        if (attempt > 0) PumpFor(100);
        HBITMAP shot = CaptureScreenRect(where);
        ASSERT_NE(nullptr, shot);
        BITMAP info = {};
        GetObjectW(shot, sizeof(info), &info);
        EXPECT_EQ(where.right - where.left, info.bmWidth);
        EXPECT_EQ(where.bottom - where.top, info.bmHeight);
        centre = PixelOf(shot, info.bmWidth / 2, info.bmHeight / 2);
        DeleteObject(shot);
    }
    EXPECT_EQ(0xFF0000u, centre);
}

TEST_F(CommonScreen, WindowUnderPointIsTheDeepestVisibleChild)
{
    ColourWindow top(RGB(0, 0, 255), 600, 100, 200, 150);
    ASSERT_NE(nullptr, top.window);
    HWND child = CreateWindowExW(0, L"STATIC", L"child", WS_CHILD | WS_VISIBLE, 20, 30, 60, 40, top.window, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    HWND hidden = CreateWindowExW(0, L"STATIC", L"hidden", WS_CHILD, 120, 30, 60, 40, top.window, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, child);
    PumpFor(200);
    RECT childRect;
    GetWindowRect(child, &childRect);
    POINT inChild = {(childRect.left + childRect.right) / 2, (childRect.top + childRect.bottom) / 2};
    RECT found = {};
    EXPECT_EQ(child, WindowUnderPoint(inChild, &found));
    EXPECT_TRUE(EqualRect(&childRect, &found));

    // Over a hidden child the parent is the answer.
    RECT hiddenRect, topRect;
    GetWindowRect(hidden, &hiddenRect);
    GetWindowRect(top.window, &topRect);
    POINT inHidden = {(hiddenRect.left + hiddenRect.right) / 2, (hiddenRect.top + hiddenRect.bottom) / 2};
    EXPECT_EQ(top.window, WindowUnderPoint(inHidden, &found));
    EXPECT_TRUE(EqualRect(&topRect, &found));
}
