#pragma once
// Process-wide state behind CPaintManagerUI's statics: the shared resource tables
// every window falls back to, the colour adjustment and the list of managers.
// Private to the paint manager's sources; UI thread only, so nothing is locked.
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

struct UiSharedState {
    CUiStringMap fonts;            // "id" -> UiFontInfo*
    CUiStringMap images;           // name -> UiImageInfo*
    CUiStringMap defaultAttributes; // element name -> CUiString*
    CUiStringMap styles;           // name -> CUiString*
    UiFontInfo defaultFont;
    UiColors colors;
    bool initialised = false;      // colours and default font set by the first manager

    bool adjustOn = false;
    short hue = 0;
    short saturation = 0;
    short lightness = 0;

    CUiPtrArray managers;          // every live CPaintManagerUI
};

UiSharedState& SharedState();

// Walks a string map without reordering it. fn(key, data).
template <typename Fn>
void ForEachEntry(const CUiStringMap& map, Fn fn)
{
    for (int i = 0; i < map.GetSize(); ++i) {
        const wchar_t* key = map.GetAt(i);
        fn(key, map.Find(key, false));
    }
}

// Deletes every value (as T) and empties the map.
template <typename T>
void DeleteAllEntries(CUiStringMap& map)
{
    ForEachEntry(map, [](const wchar_t*, void* data) { delete static_cast<T*>(data); });
    map.RemoveAll();
}

// Fonts: the system GUI font as the shared default (first manager), and the
// deletion of font records.
void InitSharedDefaultFont(UiFontInfo* info);
void FreeFontInfo(UiFontInfo* info);
void DeleteAllFonts(CUiStringMap& map);
void DeleteAllImages(CUiStringMap& map);

} // namespace SkinUI
