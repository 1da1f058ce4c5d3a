// The installer's entry: COM, GDI+ and the framework's process-wide state
// (module, screen DPI, the skin archive inside this executable), then the
// wizard, run modally until its window is gone. The command line is not used.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdlib>

#include "KeInstall/KEMainFrame.h"
#include "KeInstall/ProductConstants.h"
#include "common/Folders.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"

using namespace SkinUI;

namespace {

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    if (!screen) return 96;
    const int x = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int y = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return static_cast<int>(static_cast<float>(x + y) * 0.5f);
}

// The skin is the zip held as this executable's own resource: its bytes stay
// mapped for the life of the process. Without it the framework has no
// archive, and the window's skin load reports that.
void UseSkinResource(HINSTANCE instance)
{
    CUiResourceLocation::SetSkinKind(CUiResourceLocation::KIND_ARCHIVE_RESOURCE);
    CUiResourceLocation::SetSkinFolder(GetExeFolder() + L"\\skin\\");
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(KE_SKIN_RESOURCE_ID), KE_SKIN_RESOURCE_TYPE);
    if (!found) return;
    HGLOBAL loaded = ::LoadResource(instance, found);
    const DWORD size = ::SizeofResource(instance, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes && size > 0) {
        CUiResourceLocation::SetSkinArchiveInMemory(bytes, size, nullptr);
        // No alias file ships with the skin; a missing one changes nothing.
        CUiSkinAlias::Instance().Load(L"res.xml");
    }
    if (loaded) ::FreeResource(loaded);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (FAILED(::CoInitialize(nullptr))) return 0;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);

    CUiResourceLocation::SetInstance(instance);
    CUiDpi::SetGlobalDpi(ScreenDpi());
    UseSkinResource(instance);

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
