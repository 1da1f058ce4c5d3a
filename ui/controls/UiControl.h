#pragma once
// CControlUI: the root of every element of a skinned window. It holds what all
// controls share (name, place and size rules, visibility and input flags,
// colours, images, texts, user data), turns skin attributes into those fields,
// paints the common layers and gives input events their first handling.
//
// Sources by concern:
//   UiControl.cpp            fields, accessors, placement, visibility, lifetime
//   UiControlAttributes.cpp  the attribute table and attribute-list parsing
//   UiControlPaint.cpp       the painting layers
//   UiControlEvents.cpp      event handling, search, timers, cursors
#include <windows.h>
#include "ui/core/UiDelegate.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiString.h"
#include "ui/core/UiStringMap.h"

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

// ---- tree search
// The visitor sees one control and the caller's data; the first non-null answer
// ends the search and is its result.
using UiFindProc = CControlUI* (*)(CControlUI* control, void* data);

enum UiFindFlags : UINT {
    UIFIND_ALL = 0,
    UIFIND_VISIBLE = 0x00000001,     // skip invisible controls
    UIFIND_ENABLED = 0x00000002,     // skip disabled controls
    UIFIND_HITTEST = 0x00000004,     // data is a POINT*; only mouse-enabled controls under it
    UIFIND_UPDATETEST = 0x00000008,  // a container the visitor accepts hides its subtree
    UIFIND_TOP_FIRST = 0x00000010,   // children from last to first (topmost first)
    UIFIND_ME_FIRST = 0x80000000,    // a container before its children
};

// ---- control flags (Flags())
enum UiControlFlags : UINT {
    UIFLAG_TABSTOP = 0x01,    // takes the keyboard focus by tabbing
    UIFLAG_SETCURSOR = 0x02,  // wants set-cursor events
};

// ---- float alignment (the GDI text-format values)
enum UiFloatAlign : UINT {
    UIFLOAT_HCENTER = 0x01,
    UIFLOAT_RIGHT = 0x02,
    UIFLOAT_VCENTER = 0x04,
    UIFLOAT_BOTTOM = 0x08,
};

// Relative anchoring of a floating control: fractions of the parent's size.
struct UiFloatPercent {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class CControlUI {
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- listener lists (argument: the control, or the UiEvent* for OnEvent,
    // or the UiNotification* for OnNotify)
    CUiListenerList OnInit;
    CUiListenerList OnDestroy;
    CUiListenerList OnSize;
    CUiListenerList OnEvent;
    CUiListenerList OnNotify;

    // ---- virtual operations, in slot order
    virtual ~CControlUI();
    virtual CUiString Name() const;
    virtual void AssignName(const wchar_t* name);
    virtual const wchar_t* TypeName() const;
    virtual void* InterfaceFor(const wchar_t* name);
    virtual UINT Flags() const;
    virtual void AssignFlags(UINT flags);
    virtual UINT RawFlags() const;
    virtual bool Trigger();
    virtual CPaintManagerUI* Owner() const;
    virtual void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* ParentControl() const;
    virtual CUiString Text() const;
    virtual void AssignText(const wchar_t* text);
    virtual bool TextIsResourceKey() const;
    virtual void UseResourceText(bool use);
    virtual bool DragAllowed() const;
    virtual void AllowDrag(bool allow);
    virtual bool DropAllowed() const;
    virtual void AllowDrop(bool allow);
    virtual bool RichEvents() const;
    virtual void UseRichEvents(bool use);
    virtual RECT OffsetInParent() const;
    virtual RECT Bounds() const;
    virtual RECT& BoundsRef();
    virtual void Place(RECT rect, bool invalidate = true);
    virtual void Shift(int dx, int dy);
    virtual int BoundsWidth() const;
    virtual int BoundsHeight() const;
    virtual int LayoutWidth() const;
    virtual int LayoutHeight() const;
    virtual int LeftEdge() const;
    virtual int TopEdge() const;
    virtual RECT Padding() const;
    virtual void AssignPadding(RECT padding);
    virtual SIZE FloatOffset() const;
    virtual void AssignFloatOffset(SIZE offset);
    virtual SIZE PresetSize() const;
    virtual int PresetWidth() const;
    virtual void AssignPresetWidth(int width);
    virtual int PresetHeight() const;
    virtual void AssignPresetHeight(int height);
    virtual int MinimumWidth() const;
    virtual void AssignMinimumWidth(int width);
    virtual int MaximumWidth() const;
    virtual void AssignMaximumWidth(int width);
    virtual int MinimumHeight() const;
    virtual void AssignMinimumHeight(int height);
    virtual int MaximumHeight() const;
    virtual void AssignMaximumHeight(int height);
    virtual UiFloatPercent AnchorFractions() const;
    virtual void AssignAnchorFractions(UiFloatPercent percent);
    virtual void AssignFloatAlignment(UINT align);
    virtual UINT FloatAlignment() const;
    virtual CUiString Hint() const;
    virtual void AssignHint(const wchar_t* text);
    virtual void AssignHintWidth(int width);
    virtual int HintWidth() const;
    virtual WORD CursorId() const;
    virtual CUiString CursorName() const;
    virtual void AssignCursor(WORD cursor);
    virtual wchar_t AccessKey() const;
    virtual void AssignAccessKey(wchar_t key);
    virtual bool ContextMenuEnabled() const;
    virtual void EnableContextMenu(bool enable);
    virtual CUiString UserText() const;
    virtual void AssignUserText(const wchar_t* text);
    virtual UINT_PTR Cookie() const;
    virtual void AssignCookie(UINT_PTR cookie);
    virtual bool OwnVisible() const;
    virtual bool Shown() const;
    virtual void Show(bool visible = true);
    virtual void ShowByParent(bool visible);
    virtual bool Enabled() const;
    virtual void Enable(bool enable = true);
    virtual bool MouseEnabled() const;
    virtual void EnableMouse(bool enable = true);
    virtual bool KeyboardEnabled() const;
    virtual void EnableKeyboard(bool enable = true);
    virtual bool HasFocus() const;
    virtual void TakeFocus();
    virtual bool Floating() const;
    virtual void MakeFloating(bool floating = true);
    virtual CControlUI* Search(UiFindProc visitor, void* data, UINT flags);
    virtual void Initialize();
    virtual void OnInitialize();
    virtual void HandleEvent(UiEvent& event);
    virtual void ProcessEvent(UiEvent& event);
    virtual void ApplyAttribute(const wchar_t* name, const wchar_t* value);
    virtual SIZE MeasureSize(SIZE available);
    virtual bool Render(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr);
    virtual bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr);
    virtual void DrawBackColor(HDC dc);
    virtual void DrawBackImage(HDC dc);
    virtual void DrawStateImage(HDC dc);
    virtual void DrawForeColor(HDC dc);
    virtual void DrawForeImage(HDC dc);
    virtual void DrawLabel(HDC dc);
    virtual void DrawBorder(HDC dc);
    virtual void DrawAfterChildren(HDC dc);
    virtual SIZE TextExtent(const wchar_t* text, int font);

    // ---- attributes
    // Name="value" pairs, or the name of a style the manager holds.
    void ApplyAttributes(const wchar_t* list);
    // Custom attributes: names no class recognised. Add never replaces.
    bool AddExtraAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* ExtraAttribute(const wchar_t* name) const;   // null when absent
    bool RemoveExtraAttribute(const wchar_t* name);
    void ClearExtraAttributes();
    int ExtraAttributeCount() const { return m_extraAttributes.GetSize(); }

    // ---- invalidation and layout requests
    void Repaint();
    void RequestLayout();
    void RequestParentLayout();
    bool LayoutPending() const { return m_updateNeeded; }

    // ---- painting helpers
    bool PaintImage(HDC dc, const wchar_t* imageString, const wchar_t* modify = nullptr);
    DWORD TintColor(DWORD color) const;
    const RECT& PaintRect() const { return m_paintRect; }

    // ---- colours, images, borders, gradient (setters repaint)
    DWORD BkColor() const { return m_bkColor1; }
    void AssignBkColor(DWORD color);
    DWORD BkColor2() const { return m_bkColor2; }
    void AssignBkColor2(DWORD color);
    DWORD BkColor3() const { return m_bkColor3; }
    void AssignBkColor3(DWORD color);
    DWORD ForeColor() const { return m_foreColor; }
    void AssignForeColor(DWORD color);
    DWORD BorderColor() const { return m_borderColor; }
    void AssignBorderColor(DWORD color);
    DWORD FocusBorderColor() const { return m_focusBorderColor; }
    void AssignFocusBorderColor(DWORD color);
    bool ColorHsl() const { return m_colorHsl; }
    void AssignColorHsl(bool hsl);
    const CUiString& BkImage() const { return m_bkImage; }
    void AssignBkImage(const wchar_t* image);
    const CUiString& ForeImage() const { return m_foreImage; }
    void AssignForeImage(const wchar_t* image);
    const CUiString& GradientDirection() const { return m_gradient; }
    void AssignGradientDirection(const wchar_t* direction);
    int BorderSize() const;          // scaled
    void AssignBorderSize(int size);
    RECT SideBorders() const;        // scaled
    void AssignSideBorders(RECT sizes);
    void AssignLeftBorderSize(int size);
    void AssignTopBorderSize(int size);
    void AssignRightBorderSize(int size);
    void AssignBottomBorderSize(int size);
    SIZE BorderRound() const;        // scaled
    void AssignBorderRound(SIZE round);
    int BorderStyle() const { return m_borderStyle; }
    void AssignBorderStyle(int style);

    // ---- misc fields without a slot of their own
    // The nearest virtual window name on the way to the root: pages give it to
    // their container and every control inside reports to that page.
    CUiString VirtualWindowName() const;
    const CUiString& OwnVirtualWindowName() const { return m_virtualWindow; }
    void AssignVirtualWindowName(const wchar_t* name);
    bool AutoTextSize() const { return m_autoTextSize; }
    void EnableAutoTextSize(bool enable) { m_autoTextSize = enable; }
    bool SetTimer(UINT id, UINT elapse);
    bool KillTimer(UINT id);
    void KillAllTimers();

    // Cursor names of the "cursor" attribute; 0 for an unknown name.
    static WORD CursorIdFromName(const wchar_t* name);

protected:
    CPaintManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CUiString m_virtualWindow;
    CUiString m_name;
    bool m_updateNeeded = true;
    bool m_menuUsed = false;
    RECT m_itemRect = {0, 0, 0, 0};
    RECT m_padding = {0, 0, 0, 0};
    SIZE m_fixedXY = {0, 0};
    SIZE m_fixedSize = {0, 0};
    SIZE m_minSize = {0, 0};
    SIZE m_maxSize = {9999, 9999};
    bool m_visible = true;
    bool m_internVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    UiFloatPercent m_floatPercent;
    UINT m_floatAlign = 0;
    bool m_sizeEventGuard = false;
    bool m_richEvent = false;
    bool m_dragEnabled = false;
    bool m_dropEnabled = false;
    bool m_resourceText = false;
    CUiString m_text;
    CUiString m_tooltip;
    wchar_t m_shortcut = 0;
    CUiString m_userData;
    UINT_PTR m_tag = 0;
    CUiString m_gradient;
    DWORD m_bkColor1 = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    DWORD m_foreColor = 0;
    CUiString m_bkImage;
    CUiString m_foreImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderSize = 0;
    int m_borderStyle = 0;
    int m_tooltipWidth = 300;
    WORD m_cursor = 0;
    SIZE m_borderRound = {0, 0};
    RECT m_paintRect = {0, 0, 0, 0};
    RECT m_sideBorders = {0, 0, 0, 0};
    CUiStringMap m_extraAttributes{83};  // name -> owned CUiString*
    UINT m_controlFlags = 0;
    bool m_autoTextSize = false;
    int m_styleDepth = 0;   // nesting of ApplyAttributes, against style loops

    // Scaling through the manager's DPI; unscaled without a manager.
    int ScaleLength(int value) const;
    SIZE ScaleSize(SIZE size) const;
    RECT ScaleRect(const RECT& rect) const;
    // Invalidates rect clipped by every ancestor; nothing when an ancestor is
    // hidden or the clip runs empty.
    void InvalidateClipped(RECT rect);
};

} // namespace SkinUI
