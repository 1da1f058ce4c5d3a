// The installer's entry: COM, GDI+ and the framework's process-wide state
// (module, screen DPI, the skin archive inside this executable), then the
// wizard, run modally until its window is gone. The command line is not used.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdlib>

#include "KeInstall/KEMainFrame.h"
#include "KeInstall/KESkinStartup.h"
#include "KeInstall/ProductConstants.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (FAILED(::CoInitialize(nullptr))) return 0;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);

    KEStartSkin(instance);

    CreateMainFrame(nullptr, nullptr, true, KE_PRODUCT_NAME, std::function<void()>(), 0x10CC0000, 0x100, true);

    if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    ::CoUninitialize();
    return 0;
}

// Nothing here throws, but the C++ runtime's default handler for an uncaught
// exception prints the type's demangled name, and its demangler is 46 KB of
// the download. Ending at once is what an uncaught exception does anyway.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
} // namespace __gnu_cxx
