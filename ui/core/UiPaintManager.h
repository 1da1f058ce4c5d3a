#pragma once
// CPaintManagerUI: the per-window engine of the framework. This header declares
// the whole class; its sources are split by concern:
//   UiPaintManager.cpp           life of a manager, DPI changes
//   UiPaintManagerFonts.cpp      fonts, default font, font rebuild on DPI change
//   UiPaintManagerImages.cpp     image table, HSL adjustment, draw-information cache
//   UiPaintManagerResources.cpp  default lists, styles, colours, option groups,
//                                custom attributes, statics, shutdown
// Messages, painting, focus, timers and notifications come in later files.
#include <windows.h>
#include "ui/core/UiArray.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiResourceInfo.h"
#include "ui/core/UiString.h"
#include "ui/core/UiStringMap.h"

namespace SkinUI {

struct UiImageSpec;

// The five colours a window draws text, links and selection with (ARGB).
struct UiColors {
    DWORD disabledText = 0xFFA7A6AA;
    DWORD text = 0xFF000000;
    DWORD link = 0xFF0000FF;
    DWORD linkHover = 0xFFD3215F;
    DWORD selection = 0xFFBAE4FF;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    virtual ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ---- window (the message half fills these in; the resource half reads them)
    HWND GetPaintWindow() const { return m_paintWindow; }
    HDC GetPaintDC() const { return m_paintDC; }
    const CUiString& GetName() const { return m_name; }
    bool IsLayered() const { return m_layered; }
    void SetLayered(bool layered) { m_layered = layered; }
    POINT GetLastMousePos() const { return m_lastMousePos; }
    bool IsUseGdiplusText() const { return m_gdiplusText; }
    void SetUseGdiplusText(bool use) { m_gdiplusText = use; }
    int GetGdiplusTextRenderingHint() const { return m_textRenderingHint; }
    void SetGdiplusTextRenderingHint(int hint) { m_textRenderingHint = hint; }
    // Invalidates the whole client area (no-op without a window).
    void Invalidate();

    // ---- DPI
    CUiDpi& GetDpi();
    int GetScale() { return GetDpi().GetScale(); }
    int Scale(int value) { return GetDpi().Scale(value); }
    // Rescales fonts, drops images for reload at the new scale, resizes the window.
    void SetDpi(int dpi);

    // ---- fonts
    HFONT AddFont(int id, const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    UiFontInfo* GetFontInfo(int id);          // <0 or unknown: the default font
    HFONT GetFont(int id);
    HFONT GetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
    int GetFontId(HFONT font, bool shared = false);
    int GetFontId(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    UiFontInfo* GetFontDetails(HFONT font);   // metrics filled; null when unknown
    void RemoveFont(HFONT font, bool shared = false);
    void RemoveAllFonts(bool shared = false);
    void SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline, bool italic,
                        bool shared = false);
    UiFontInfo* GetDefaultFontInfo();
    bool RegisterFontFile(const wchar_t* path);

    // ---- images
    UiImageInfo* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                          bool useAdjustment = false, bool shared = false);
    UiImageInfo* AddImage(const wchar_t* name, HBITMAP bitmap, int width, int height,
                          bool hasAlpha, bool shared = false);
    UiImageInfo* GetImage(const wchar_t* name);
    UiImageInfo* GetImageEx(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                            bool useAdjustment = false);
    void RemoveImage(const wchar_t* name, bool shared = false);
    void RemoveAllImages(bool shared = false);
    void ReloadImages();
    static void ReloadSharedImages();
    static void ReloadAllImages();
    // Parsed and cached per window under description + modifier; null for an empty key.
    const UiImageSpec* GetImageSpec(const wchar_t* description, const wchar_t* modifier = nullptr);
    void RemoveAllImageSpecs();

    // ---- default attribute lists and styles
    void SetDefaultAttributes(const wchar_t* name, const wchar_t* list, bool shared = false);
    const wchar_t* GetDefaultAttributes(const wchar_t* name) const;
    bool RemoveDefaultAttributes(const wchar_t* name, bool shared = false);
    void RemoveAllDefaultAttributes(bool shared = false);
    void AddStyle(const wchar_t* name, const wchar_t* value, bool shared = false);
    const wchar_t* GetStyle(const wchar_t* name) const;
    bool RemoveStyle(const wchar_t* name, bool shared = false);
    void RemoveAllStyles(bool shared = false);

    // ---- colours
    const UiColors& GetColors() const { return m_colors; }
    void SetDisabledTextColor(DWORD color, bool shared = false);
    void SetTextColor(DWORD color, bool shared = false);
    void SetLinkColor(DWORD color, bool shared = false);
    void SetLinkHoverColor(DWORD color, bool shared = false);
    void SetSelectionColor(DWORD color, bool shared = false);
    DWORD GetDisabledTextColor() const { return m_colors.disabledText; }
    DWORD GetTextColor() const { return m_colors.text; }
    DWORD GetLinkColor() const { return m_colors.link; }
    DWORD GetLinkHoverColor() const { return m_colors.linkHover; }
    DWORD GetSelectionColor() const { return m_colors.selection; }
    static const UiColors& GetSharedColors();

    void SetUseSharedResources(bool use) { m_useShared = use; }
    bool IsUsingSharedResources() const { return m_useShared; }

    // ---- global hue/saturation/lightness of images that ask for it
    static void SetColorAdjustment(bool enable, short hue, short saturation, short lightness);
    static bool IsColorAdjustmentOn();
    static void GetColorAdjustment(short* hue, short* saturation, short* lightness);

    // ---- window custom attributes
    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetCustomAttribute(const wchar_t* name) const;
    bool RemoveCustomAttribute(const wchar_t* name);
    void RemoveAllCustomAttributes();

    // ---- option groups (members are controls; the manager never owns them)
    bool JoinOptionGroup(const wchar_t* group, void* control);
    CUiPtrArray* GetOptionGroup(const wchar_t* group);
    void LeaveOptionGroup(const wchar_t* group, void* control);
    void RemoveAllOptionGroups();

    // ---- statics
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static CUiString GetInstancePath();       // folder of the executable, with '\'
    static CUiString GetCurrentPath();
    static void SetCurrentPath(const wchar_t* path);
    static CPaintManagerUI* FindManager(const wchar_t* name);
    // Every live manager, in order of construction (a manager joins at birth).
    static const CUiPtrArray& GetManagers();
    // Frees every shared resource and closes the kept-open archive; once, at exit.
    static void Shutdown();

protected:
    // Clears the window's own resource tables (init for another window, destruction).
    void ReleaseWindowResources();
    // Text metrics through the paint DC, or a screen DC while there is no window.
    void FillMetrics(UiFontInfo* info);
    // At a new scale: every font made again from its stored face, size and flags.
    void RebuildFonts();
    // At a new scale: loaded images and parsed descriptions go, to be loaded again
    // at that scale; images made in code have nothing to reload from and stay.
    void ReleaseScaledImages();
    // shared: the shared colour changes, and every window still on the old shared
    // value follows it.
    void SetColorField(DWORD UiColors::*field, DWORD color, bool shared);

    // ---- window state shared with the message half
    HWND m_paintWindow = nullptr;
    HDC m_paintDC = nullptr;
    CUiString m_name;
    bool m_layered = false;
    bool m_gdiplusText = false;
    int m_textRenderingHint = 0;
    POINT m_lastMousePos = {-1, -1};

    // ---- resources
    CUiDpi* m_dpi = nullptr;
    CUiStringMap m_fonts;          // "id" -> UiFontInfo*
    CUiStringMap m_images;         // name -> UiImageInfo*
    CUiStringMap m_defaultAttributes; // element name -> CUiString*
    CUiStringMap m_styles;         // name -> CUiString*
    CUiStringMap m_imageSpecs;     // description + modifier -> UiImageSpec*
    CUiStringMap m_customAttributes; // name -> CUiString*
    CUiStringMap m_optionGroups;   // group -> CUiPtrArray*
    UiFontInfo m_defaultFont;      // empty face: use the shared default font
    UiColors m_colors;
    bool m_useShared = false;
    CUiPtrArray m_privateFonts;    // AddFontMemResourceEx handles
};

} // namespace SkinUI
