// Image files into premultiplied 32-bit DIB sections.
#include "ui/render/UiImage.h"

#include <stb_image.h>

#include <climits>
#include <cwchar>
#include <new>

#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"
#include "ui/render/UiGdi.h"

namespace SkinUI {

namespace {

// Skin images are icons and backgrounds: anything larger is a damaged or hostile
// file, refused from its header before the decoder allocates for it.
const int kMaxImageSide = 16384;
const long long kMaxImagePixels = 16LL * 1024 * 1024;
const DWORD kMaxImageFileBytes = 64u * 1024 * 1024;

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool Ok() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

bool ReadPlainFile(const wchar_t* path, CUiByteBuffer* bytes)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxImageFileBytes)
        return false;
    DWORD total = static_cast<DWORD>(size.QuadPart);
    if (!bytes->Allocate(total)) return false;
    DWORD done = 0;
    while (done < total) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes->GetData() + done, total - done, &read, nullptr) || read == 0) {
            bytes->Free();
            return false;
        }
        done += read;
    }
    return true;
}

// A module resource stays mapped for the life of the module: no copy needed.
bool FindModuleResource(const wchar_t* name, const wchar_t* type, HINSTANCE module,
                        const BYTE** data, DWORD* size)
{
    if (module == nullptr) module = CUiResourceLocation::GetResourceInstance();
    const wchar_t* id = name;
    if (!IS_INTRESOURCE(name) && name[0] >= L'0' && name[0] <= L'9') {
        // "113" names resource id 113, as the skin writes numeric ids.
        wchar_t* end = nullptr;
        unsigned long value = wcstoul(name, &end, 10);
        if (value == 0 || value > 0xFFFF) return false;
        id = MAKEINTRESOURCEW(value);
    }
    HRSRC found = FindResourceW(module, id, type);
    if (found == nullptr) return false;
    DWORD length = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* locked = loaded ? LockResource(loaded) : nullptr;
    if (locked == nullptr || length == 0) return false;
    *data = static_cast<const BYTE*>(locked);
    *size = length;
    return true;
}

bool HasType(const wchar_t* type) { return type != nullptr && (IS_INTRESOURCE(type) || type[0] != L'\0'); }

} // namespace

HBITMAP CreateArgbSurface(HDC dc, int width, int height, BYTE** bits)
{
    if (bits) *bits = nullptr;
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * height * 4;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap && bits) *bits = static_cast<BYTE*>(pixels);
    return bitmap;
}

UiImageInfo* DecodeImageBytes(const BYTE* data, DWORD size, DWORD mask)
{
    if (data == nullptr || size == 0 || size > static_cast<DWORD>(INT_MAX)) return nullptr;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels)) return nullptr;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        static_cast<long long>(width) * height > kMaxImagePixels)
        return nullptr;

    int loadedWidth = 0, loadedHeight = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &loadedWidth, &loadedHeight,
                                          &channels, 4);
    if (rgba == nullptr) return nullptr;
    struct Release {
        stbi_uc* p;
        ~Release() { stbi_image_free(p); }
    } release{rgba};
    // The header said one thing, the decoder another: trust neither.
    if (loadedWidth != width || loadedHeight != height) return nullptr;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * height * 4;
    void* pixels = nullptr;
    CUiBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || pixels == nullptr) return nullptr;

    BYTE* out = static_cast<BYTE*>(pixels);
    const stbi_uc* in = rgba;
    bool hasAlpha = false;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
        BYTE a = in[3];
        if (a == 255) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        } else {
            out[0] = static_cast<BYTE>(in[2] * a / 255);
            out[1] = static_cast<BYTE>(in[1] * a / 255);
            out[2] = static_cast<BYTE>(in[0] * a / 255);
            hasAlpha = true;
        }
        out[3] = a;
        DWORD argb = static_cast<DWORD>(out[3]) << 24 | static_cast<DWORD>(out[2]) << 16 |
                     static_cast<DWORD>(out[1]) << 8 | out[0];
        if (argb == mask) {
            out[0] = out[1] = out[2] = out[3] = 0;
            hasAlpha = true;
        }
    }

    UiImageInfo* image = new (std::nothrow) UiImageInfo;
    if (image == nullptr) return nullptr;
    image->bitmap = bitmap.Detach();
    image->bits = static_cast<BYTE*>(pixels);
    image->width = width;
    image->height = height;
    image->hasAlpha = hasAlpha;
    image->mask = mask;
    return image;
}

UiImageInfo* DecodeImage(const wchar_t* name, const wchar_t* type, DWORD mask, HINSTANCE module)
{
    if (name == nullptr || (!IS_INTRESOURCE(name) && name[0] == L'\0')) return nullptr;

    UiImageInfo* image = nullptr;
    if (HasType(type)) {
        const BYTE* data = nullptr;
        DWORD size = 0;
        if (FindModuleResource(name, type, module, &data, &size)) image = DecodeImageBytes(data, size, mask);
        if (image && !IS_INTRESOURCE(type)) image->resourceType = type;
        // A numeric id is not a file name to fall back on.
        if (image || IS_INTRESOURCE(name)) return image;
    } else {
        if (IS_INTRESOURCE(name)) return nullptr;
        const wchar_t* alias = CUiSkinAlias::Instance().GetImagePath(name);
        if (alias != nullptr && alias[0] != L'\0') name = alias;
        CUiByteBuffer bytes;
        if (CUiResourceLocation::ReadSkinFile(name, kMaxImageFileBytes, &bytes) == SKIN_READ_OK)
            image = DecodeImageBytes(bytes.GetData(), bytes.GetSize(), mask);
        if (image) return image;
    }

    CUiByteBuffer bytes;
    if (ReadPlainFile(name, &bytes)) image = DecodeImageBytes(bytes.GetData(), bytes.GetSize(), mask);
    return image;
}

} // namespace SkinUI
