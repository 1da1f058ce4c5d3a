#include "KeInstall/KESkinStartup.h"

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

} // namespace

void KEStartSkin(HINSTANCE instance)
{
    CUiResourceLocation::SetInstance(instance);
    CUiDpi::SetGlobalDpi(ScreenDpi());
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
