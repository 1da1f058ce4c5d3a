// CPaintManagerUI: the image tables, the global hue/saturation/lightness
// adjustment and the cache of parsed image descriptions.
#include "ui/core/UiPaintManagerShared.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "ui/render/UiColor.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiImageSpec.h"

namespace SkinUI {

namespace {

size_t PixelBytes(const UiImageInfo* image)
{
    return static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 4;
}

// The pixels are premultiplied: the shift sees the straight colour, and the result
// is premultiplied again so no channel ends up above its alpha.
DWORD ShiftPremultiplied(DWORD pixel, short hue, short saturation, short lightness)
{
    DWORD alpha = pixel >> 24;
    if (alpha == 0) return pixel;
    if (alpha == 255) return ShiftHsl(pixel, hue, saturation, lightness);
    auto straight = [alpha](DWORD c) { return (c * 255 + alpha / 2) / alpha; };
    DWORD r = straight((pixel >> 16) & 0xFF), g = straight((pixel >> 8) & 0xFF),
          b = straight(pixel & 0xFF);
    DWORD shifted = ShiftHsl(0xFF000000 | (r > 255 ? 255 : r) << 16 | (g > 255 ? 255 : g) << 8 |
                                 (b > 255 ? 255 : b),
                             hue, saturation, lightness);
    auto premultiply = [alpha](DWORD c) { return c * alpha / 255; };
    return alpha << 24 | premultiply((shifted >> 16) & 0xFF) << 16 |
           premultiply((shifted >> 8) & 0xFF) << 8 | premultiply(shifted & 0xFF);
}

// Writes the image's pixels from its unadjusted copy: shifted while the
// adjustment is on, restored as they were when it is off.
void ApplyAdjustment(UiImageInfo* image)
{
    if (!image->useAdjustment || image->unadjustedBits == nullptr || image->bits == nullptr) return;
    const UiSharedState& shared = SharedState();
    GdiFlush(); // GDI may still be drawing into the DIB
    size_t count = PixelBytes(image) / 4;
    const auto* source = reinterpret_cast<const DWORD*>(image->unadjustedBits);
    auto* target = reinterpret_cast<DWORD*>(image->bits);
    if (!shared.adjustOn) {
        std::memcpy(target, source, count * 4);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        target[i] = ShiftPremultiplied(source[i], shared.hue, shared.saturation, shared.lightness);
}

// The image as the skin names it, with the manager's bookkeeping; null on failure.
UiImageInfo* LoadImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool useAdjustment)
{
    if (name == nullptr || *name == L'\0') return nullptr;
    UiImageInfo* image = nullptr;
    if (type && *type) {
        // Resource images are named by number; "#id" is how FindResource takes one.
        if (!iswdigit(name[0])) return nullptr;
        CUiString id;
        id.Format(L"#%u", static_cast<unsigned>(wcstoul(name, nullptr, 10)));
        image = DecodeImage(id, type, mask);
    } else {
        image = DecodeImage(name, nullptr, mask);
    }
    if (image == nullptr) return nullptr;
    image->useAdjustment = useAdjustment;
    image->resourceType = type ? type : L"";
    image->mask = mask;
    image->madeInCode = false;
    if (useAdjustment && image->bits) {
        image->unadjustedBits = static_cast<BYTE*>(std::malloc(PixelBytes(image)));
        if (image->unadjustedBits) std::memcpy(image->unadjustedBits, image->bits, PixelBytes(image));
        ApplyAdjustment(image);
    }
    return image;
}

// Puts image under name, freeing what was there. False (image freed) on failure.
bool StoreImage(CUiStringMap& table, const wchar_t* name, UiImageInfo* image)
{
    if (auto* old = static_cast<UiImageInfo*>(table.Find(name, false))) {
        table.Remove(name);
        FreeImageInfo(old);
    }
    if (table.Insert(name, image)) return true;
    FreeImageInfo(image);
    return false;
}

// Loads every file image of the table again into its own record; one that no
// longer loads is dropped. Images made in code have nothing to load from and stay.
void ReloadTable(CUiStringMap& table)
{
    CUiPtrArray failed;
    ForEachEntry(table, [&](const wchar_t* name, void* data) {
        auto* image = static_cast<UiImageInfo*>(data);
        if (image->madeInCode) return;
        UiImageInfo* fresh = LoadImage(name, image->resourceType, image->mask, image->useAdjustment);
        if (fresh == nullptr) {
            failed.Add(new CUiString(name));
            return;
        }
        if (image->bitmap) DeleteObject(image->bitmap);
        std::free(image->unadjustedBits);
        *image = *fresh;
        // The record's fields moved into image; only the shell is freed.
        fresh->bitmap = nullptr;
        fresh->unadjustedBits = nullptr;
        FreeImageInfo(fresh);
    });
    for (int i = 0; i < failed.GetSize(); ++i) {
        auto* name = static_cast<CUiString*>(failed[i]);
        FreeImageInfo(static_cast<UiImageInfo*>(table.Find(*name, false)));
        table.Remove(*name);
        delete name;
    }
}

void InvalidateAll()
{
    const CUiPtrArray& managers = SharedState().managers;
    for (int i = 0; i < managers.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(managers[i])->Invalidate();
}

} // namespace

void DeleteAllImages(CUiStringMap& map)
{
    ForEachEntry(map, [](const wchar_t*, void* data) { FreeImageInfo(static_cast<UiImageInfo*>(data)); });
    map.RemoveAll();
}

UiImageInfo* CPaintManagerUI::AddImage(const wchar_t* name, const wchar_t* type, DWORD mask,
                                       bool useAdjustment, bool shared)
{
    UiImageInfo* image = LoadImage(name, type, mask, useAdjustment);
    if (image == nullptr) return nullptr;
    CUiStringMap& table = (shared || m_useShared) ? SharedState().images : m_images;
    return StoreImage(table, name, image) ? image : nullptr;
}

UiImageInfo* CPaintManagerUI::AddImage(const wchar_t* name, HBITMAP bitmap, int width, int height,
                                       bool hasAlpha, bool shared)
{
    if (name == nullptr || *name == L'\0' || bitmap == nullptr || width <= 0 || height <= 0)
        return nullptr;
    auto* image = new UiImageInfo();
    image->bitmap = bitmap;
    DIBSECTION dib = {};
    if (GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib))
        image->bits = static_cast<BYTE*>(dib.dsBm.bmBits);
    image->width = width;
    image->height = height;
    image->hasAlpha = hasAlpha;
    image->madeInCode = true;
    CUiStringMap& table = (shared || m_useShared) ? SharedState().images : m_images;
    return StoreImage(table, name, image) ? image : nullptr;
}

UiImageInfo* CPaintManagerUI::GetImage(const wchar_t* name)
{
    if (name == nullptr) return nullptr;
    auto* image = static_cast<UiImageInfo*>(m_images.Find(name));
    return image ? image : static_cast<UiImageInfo*>(SharedState().images.Find(name));
}

UiImageInfo* CPaintManagerUI::GetImageEx(const wchar_t* name, const wchar_t* type, DWORD mask,
                                         bool useAdjustment)
{
    UiImageInfo* image = GetImage(name);
    return image ? image : AddImage(name, type, mask, useAdjustment, m_useShared);
}

void CPaintManagerUI::RemoveImage(const wchar_t* name, bool shared)
{
    if (name == nullptr) return;
    CUiStringMap& table = shared ? SharedState().images : m_images;
    if (auto* image = static_cast<UiImageInfo*>(table.Find(name, false))) {
        table.Remove(name);
        FreeImageInfo(image);
    }
}

void CPaintManagerUI::RemoveAllImages(bool shared)
{
    DeleteAllImages(shared ? SharedState().images : m_images);
}

void CPaintManagerUI::ReleaseScaledImages()
{
    CUiPtrArray loaded;
    ForEachEntry(m_images, [&](const wchar_t* name, void* data) {
        if (!static_cast<UiImageInfo*>(data)->madeInCode) loaded.Add(new CUiString(name));
    });
    for (int i = 0; i < loaded.GetSize(); ++i) {
        auto* name = static_cast<CUiString*>(loaded[i]);
        RemoveImage(*name, false);
        delete name;
    }
    RemoveAllImageSpecs();
}

void CPaintManagerUI::ReloadImages()
{
    ReloadTable(m_images);
    Invalidate();
}

void CPaintManagerUI::ReloadSharedImages()
{
    ReloadTable(SharedState().images);
    InvalidateAll();
}

void CPaintManagerUI::ReloadAllImages()
{
    ReloadTable(SharedState().images);
    const CUiPtrArray& managers = SharedState().managers;
    for (int i = 0; i < managers.GetSize(); ++i)
        static_cast<CPaintManagerUI*>(managers[i])->ReloadImages();
}

const UiImageSpec* CPaintManagerUI::GetImageSpec(const wchar_t* description,
                                                 const wchar_t* modifier)
{
    CUiString key(description ? description : L"");
    if (modifier) key += modifier;
    if (key.IsEmpty()) return nullptr;
    if (auto* spec = static_cast<UiImageSpec*>(m_imageSpecs.Find(key))) return spec;
    auto* spec = new UiImageSpec();
    ParseImageSpec(spec, description ? description : L"", modifier, this);
    if (!m_imageSpecs.Insert(key, spec)) {
        delete spec;
        return nullptr;
    }
    return spec;
}

void CPaintManagerUI::RemoveAllImageSpecs()
{
    DeleteAllEntries<UiImageSpec>(m_imageSpecs);
}

void CPaintManagerUI::SetColorAdjustment(bool enable, short hue, short saturation, short lightness)
{
    UiSharedState& shared = SharedState();
    if (!shared.adjustOn && !enable) return;
    auto clamp = [](short value, short top) -> short {
        return value < 0 ? 0 : (value > top ? top : value);
    };
    hue = clamp(hue, 360);
    saturation = clamp(saturation, 200);
    lightness = clamp(lightness, 200);
    // Turning the adjustment off must restore the pixels even when the values stay.
    if (shared.adjustOn == enable && shared.hue == hue && shared.saturation == saturation &&
        shared.lightness == lightness)
        return;
    shared.adjustOn = enable;
    shared.hue = hue;
    shared.saturation = saturation;
    shared.lightness = lightness;

    auto adjustTable = [](const CUiStringMap& table) {
        ForEachEntry(table, [](const wchar_t*, void* data) {
            ApplyAdjustment(static_cast<UiImageInfo*>(data));
        });
    };
    adjustTable(shared.images);
    for (int i = 0; i < shared.managers.GetSize(); ++i) {
        auto* manager = static_cast<CPaintManagerUI*>(shared.managers[i]);
        adjustTable(manager->m_images);
        manager->Invalidate();
    }
}

bool CPaintManagerUI::IsColorAdjustmentOn() { return SharedState().adjustOn; }

void CPaintManagerUI::GetColorAdjustment(short* hue, short* saturation, short* lightness)
{
    const UiSharedState& shared = SharedState();
    if (hue) *hue = shared.hue;
    if (saturation) *saturation = shared.saturation;
    if (lightness) *lightness = shared.lightness;
}

} // namespace SkinUI
