#pragma once
// CPaintManagerUI: the per-window engine of the framework. This header declares
// the whole class; its sources are split by concern:
//   UiPaintManager.cpp           life of a manager, DPI changes
//   UiPaintManagerFonts.cpp      fonts, default font, font rebuild on DPI change
//   UiPaintManagerImages.cpp     image table, HSL adjustment, draw-information cache
//   UiPaintManagerResources.cpp  default lists, styles, colours, option groups,
//                                custom attributes, statics, shutdown
//   UiPaintManagerTree.cpp       init, root, tree binding, lookups, delayed clean-up
//   UiPaintManagerInput.cpp      the message table: mouse, keys, capture, reflection
//   UiPaintManagerFocus.cpp      focus and tab order, timers, tooltips
//   UiPaintManagerNotify.cpp     notifications, filters, accelerators, message loop
//   UiPaintManagerPaint.cpp      painting, the layered path, invalidation
#include <windows.h>
#include <memory>
#include <vector>
#include "ui/core/UiArray.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiResourceInfo.h"
#include "ui/core/UiShadow.h"
#include "ui/core/UiString.h"
#include "ui/core/UiStringMap.h"

namespace SkinUI {

struct UiImageSpec;
class CControlUI;
struct UiEvent;
struct UiNotification;
class INotifyUI;
class IMessageFilterUI;

// Sees every message of the loop before translation; true swallows it.
class ITranslateAcceleratorUI {
public:
    virtual bool TranslateAccelerator(MSG* msg) = 0;
protected:
    ~ITranslateAcceleratorUI() = default;
};

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
    void SetLayered(bool layered);
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


    // ==== the live half: control tree, messages, painting, focus, timers,
    // ==== notifications (UiPaintManagerTree/Input/Focus/Notify/Paint.cpp)

    // ---- life and tree
    // Binds the manager to a window and clears the window's own resource tables.
    void Init(HWND window, const wchar_t* name = nullptr);
    // The manager owns the root; an earlier root goes to delayed clean-up.
    bool AttachRoot(CControlUI* root);
    // Makes `container` (a container control, its inset given by the caller) the
    // root around the current one, for a window that draws its own shadow inside
    // the layered window; only the first call counts.
    bool WrapRoot(CControlUI* container, const RECT& inset);
    RECT GetWrappedRootInset() const { return m_wrappedRootInset; }
    CControlUI* GetRoot() const { return m_root; }
    // Gives the subtree this manager (initialising it) and records its names.
    bool BindTree(CControlUI* control, CControlUI* parent = nullptr);
    // A control's destructor: drop every pointer the manager keeps to it.
    void ForgetControl(CControlUI* control);
    // Takes ownership; the control is deleted when the async message is handled.
    void DestroyLater(CControlUI* control);
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(const wchar_t* name) const;
    CControlUI* FindDescendantByName(CControlUI* parent, const wchar_t* name) const;
    CControlUI* FindDescendantAt(CControlUI* parent, POINT pt) const;
    CControlUI* FindDescendantByClass(CControlUI* parent, const wchar_t* className,
                                      int index = 0);
    // The returned array is scratch space of the manager, valid until the next call.
    CUiPtrArray* FindDescendantsByClass(CControlUI* parent, const wchar_t* className);
    // A layout pass is due before the next paint.
    void MarkForUpdate() { m_updateNeeded = true; }
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void Invalidate(const RECT& rect);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_mouseCapture; }
    void SetUseVirtualWindowNames(bool use) { m_useVirtualWindowNames = use; }
    bool UsesVirtualWindowNames() const { return m_useVirtualWindowNames; }
    void SetNoActivate(bool noActivate) { m_noActivate = noActivate; }
    bool IsNoActivate() const { return m_noActivate; }
    CControlUI* GetHover() const { return m_hover; }
    CControlUI* GetClick() const { return m_click; }

    // ---- window geometry: stored as the skin gives it, read back DPI-scaled
    SIZE GetInitSize();
    void SetInitSize(int cx, int cy);   // stored already scaled
    RECT GetCaptionRect();
    void SetCaptionRect(const RECT& rect) { m_caption = rect; }
    RECT GetSizeBox();
    void SetSizeBox(const RECT& rect) { m_sizeBox = rect; }
    SIZE GetRoundCorner();
    void SetRoundCorner(int cx, int cy) { m_roundCorner = {cx, cy}; }
    SIZE GetMinInfo();
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo();
    void SetMaxInfo(int cx, int cy);
    void SetHoverTime(int ms) { m_hoverTime = ms; }
    int GetHoverTime() const { return m_hoverTime; }
    HWND GetTooltipWindow() const { return m_tooltip; }
    void SetShowUpdateRect(bool show) { m_showUpdateRect = show; }
    // The window's drop shadow, inactive until switched on.
    CShadowUI& GetShadow() { return m_shadow; }

    // ---- layered painting
    BYTE GetLayeredOpacity() const { return m_layeredOpacity; }
    void SetLayeredOpacity(BYTE opacity);
    RECT GetLayeredInset() const { return m_layeredInset; }
    void SetLayeredInset(const RECT& inset);
    const CUiString& GetLayeredImage() const { return m_layeredImage; }
    void SetLayeredImage(const wchar_t* image);
    // Whole-window alpha through SetLayeredWindowAttributes (not per pixel).
    void SetOpacity(BYTE opacity);
    // The double buffer: bottom-up 32-bit pixels of the client size (null before
    // the first offscreen paint).
    HDC GetOffscreenDC() const { return m_offscreenDC; }
    const BYTE* GetOffscreenBits() const { return m_offscreenBits; }
    SIZE GetOffscreenSize() const { return m_offscreenSize; }

    // ---- notifications and hooks
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAcceleratorUI* handler);
    bool RemoveTranslateAccelerator(ITranslateAcceleratorUI* handler);
    // Controls painted after the tree (e.g. a dragged separator).
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);
    // Native child windows printed into a layered window's frame.
    bool AddNativeWindow(CControlUI* control, HWND window);
    bool RemoveNativeWindow(HWND window);
    // Controls that also get mouse-leave whenever the hover control changes.
    bool AddMouseLeaveNeeded(CControlUI* control);
    bool RemoveMouseLeaveNeeded(CControlUI* control);
    void SendNotify(UiNotification& notification, bool async = false);
    void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0,
                    LPARAM lParam = 0, bool async = false);

    // ---- focus
    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    // Focus moves silently to the next tab stop after `control` on the next layout.
    void SetFocusQuietly(CControlUI* control);
    bool FocusNextTabStop(bool forward = true);

    // ---- timers (user id per control; local ids are the manager's)
    bool SetTimer(CControlUI* control, UINT id, UINT elapse);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimer(CControlUI* control);
    void StopAllTimers();

    // ---- messages
    // Every window message of the window; true when the manager answered it.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Keyboard pre-processing of the message loop (tab order, shortcuts).
    bool PreHandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static bool PreTranslate(MSG* msg);
    static void RunMessageLoop();

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

    // ==== live state (the live half's files)
    struct TimerRecord {
        CControlUI* control;
        UINT id;          // the control's own id
        HWND window;
        UINT localId;     // what SetTimer got
        bool killed;
    };
    struct NativeWindow {
        CControlUI* control;
        HWND window;
    };
    // What the live half owns and the header cannot spell out: the delayed
    // clean-up queue, the async notification queue, the tooltip's tool info.
    struct LiveStore;
    struct LiveStoreDeleter {
        void operator()(LiveStore* store) const;
    };
    // Teardown of the live half; the destructor runs it before anything else.
    void ReleaseLiveState();
    LiveStore& Store();
    // One small handler per window message (UiPaintManagerInput.cpp); a nested
    // type so the table can reach the manager's state without a header entry each.
    struct MessageTable;
    void DrainAsyncWork();         // WM_APP + 1
    void DeliverNotification(UiNotification& notification);
    // A UiEvent of `kind` for `control`; the mouse point defaults to the last one.
    void SendEvent(CControlUI* control, int kind, WPARAM wParam = 0, LPARAM lParam = 0,
                   WORD keyState = 0, const POINT* pt = nullptr, wchar_t key = 0,
                   CControlUI* sender = nullptr);
    CControlUI* ControlAt(POINT pt) const;   // FindControl, this manager's controls only
    void OnTimerMessage(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(LPARAM lParam);
    void HideTooltip();
    void OnPaint();
    // The layout pass of a paint; false when the paint must stop and wait for the next.
    bool LayoutPass(bool* relaidOut);
    void PaintIntoOffscreen(HDC paintDC, const RECT& paintRect);
    bool EnsureOffscreen(int width, int height);
    void PushLayeredFrame(const RECT& paintRect);
    void ReleaseOffscreen();
    void ReleaseBackground();

    CControlUI* m_root = nullptr;            // owned
    CControlUI* m_wrappedRoot = nullptr;     // the root before WrapRoot (not owned apart)
    RECT m_wrappedRootInset = {};
    CControlUI* m_focus = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_click = nullptr;
    CControlUI* m_keyPress = nullptr;
    HDC m_offscreenDC = nullptr;
    HBITMAP m_offscreenBitmap = nullptr;
    HGDIOBJ m_offscreenOldBitmap = nullptr;
    BYTE* m_offscreenBits = nullptr;
    SIZE m_offscreenSize = {};
    SIZE m_pushedSize = {};                  // size of the last whole frame on screen
    HDC m_backgroundDC = nullptr;
    HBITMAP m_backgroundBitmap = nullptr;
    HGDIOBJ m_backgroundOldBitmap = nullptr;
    BYTE* m_backgroundBits = nullptr;
    HWND m_tooltip = nullptr;
    int m_hoverTime = 400;
    SIZE m_initSize = {};
    RECT m_caption = {};
    RECT m_sizeBox = {};
    SIZE m_roundCorner = {};
    SIZE m_minInfo = {};
    SIZE m_maxInfo = {};
    UINT m_timerCounter = 4096;
    bool m_firstLayout = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    BYTE m_layeredOpacity = 255;
    bool m_layeredRequested = false;
    bool m_layeredChanged = false;
    RECT m_layeredInset = {};
    RECT m_layeredUpdate = {};
    CUiString m_layeredImage;
    bool m_mouseTracking = false;
    bool m_mouseCapture = false;
    bool m_painting = false;
    bool m_asyncPosted = false;
    bool m_useVirtualWindowNames = false;
    bool m_noActivate = false;
    bool m_showUpdateRect = false;
    std::vector<INotifyUI*> m_notifiers;
    std::vector<ITranslateAcceleratorUI*> m_accelerators;
    std::vector<IMessageFilterUI*> m_preFilters;
    std::vector<IMessageFilterUI*> m_filters;
    std::vector<CControlUI*> m_postPaint;
    std::vector<NativeWindow> m_nativeWindows;
    std::vector<CControlUI*> m_mouseLeaveNeeded;
    std::vector<TimerRecord> m_timers;
    std::unique_ptr<LiveStore, LiveStoreDeleter> m_store;
    CUiPtrArray m_foundControls;
    CUiStringMap m_namedControls;            // name -> CControlUI*
    CShadowUI m_shadow;
};

} // namespace SkinUI
