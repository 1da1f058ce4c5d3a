#pragma once
// CContainerUI: a control that owns children. It keeps them in paint order,
// passes the manager and visibility on, places them inside its inset (floating
// ones by their own rules), scrolls them with optional scroll bars, paints them
// clipped to itself and finds them by point or by visitor.
//
// Sources by concern:
//   UiContainer.cpp        children, ownership, visibility, attributes, placement
//   UiContainerScroll.cpp  scroll bars, scrolling steps, keys and wheel
//   UiContainerPaint.cpp   search, hit testing, child-first painting
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"

namespace SkinUI {

class CScrollBarUI;
struct UiScrollState;
struct UiBoxChild;

// A child's layout inputs (scaled) as the layout arithmetic takes them.
UiBoxChild LayoutBoxOf(const CControlUI& control);

// Child alignment values (the float-align bits of the same meaning).
enum UiChildAlign : UINT {
    UICHILD_LEFT = 0,
    UICHILD_CENTER = 1,
    UICHILD_RIGHT = 2,
    UICHILD_TOP = 0,
    UICHILD_VCENTER = 4,
    UICHILD_BOTTOM = 8,
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    // ---- IContainerUI
    CControlUI* ItemAt(int index) const override;
    int IndexOfItem(CControlUI* control) const override;
    bool MoveItemTo(CControlUI* control, int index) override;
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    bool AddItem(CControlUI* control) override;
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control) override;
    bool RemoveItemAt(int index) override;
    void RemoveAllItems() override;

    // ---- CControlUI overrides
    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void Attach(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    RECT Bounds() const override;   // the content rectangle
    void Place(RECT rect, bool invalidate = true) override;
    void Shift(int dx, int dy) override;
    void Show(bool visible = true) override;
    void ShowByParent(bool visible) override;
    void Enable(bool enable = true) override;
    void EnableMouse(bool enable = true) override;
    CControlUI* Search(UiFindProc visitor, void* data, UINT flags) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    // ---- virtual operations added, in slot order
    virtual RECT Inset() const;                  // scaled
    virtual void AssignInset(RECT inset);
    virtual int ChildGap() const;                // scaled
    virtual void AssignChildGap(int gap);
    virtual UINT ChildHAlign() const;
    virtual void AssignChildHAlign(UINT align);
    virtual UINT ChildVAlign() const;
    virtual void AssignChildVAlign(UINT align);
    virtual bool DeletesItems() const;
    virtual void AssignDeletesItems(bool deletes);
    virtual bool DefersDeletion() const;
    virtual void AssignDefersDeletion(bool defers);
    virtual bool HitsChildren() const;
    virtual void AssignHitsChildren(bool hits);
    virtual int NextSelectable(int index, bool forward = true) const;
    virtual SIZE ScrollOffset() const;           // (horizontal, vertical) position
    virtual SIZE ScrollExtent() const;           // (horizontal, vertical) range
    virtual void ScrollTo(SIZE position, bool notify = true);
    virtual void AssignScrollStep(int step);
    virtual int ScrollStep() const;              // scaled
    virtual void StepUp();
    virtual void StepDown();
    virtual void PageBack();
    virtual void PageForward();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void StepLeft();
    virtual void StepRight();
    virtual void PageLeftward();
    virtual void PageRightward();
    virtual void ScrollToLeftEnd();
    virtual void ScrollToRightEnd();
    virtual void ConfigureScrollBars(bool vertical, bool horizontal);
    virtual void AdoptVerticalBar(CScrollBarUI* bar);
    virtual CScrollBarUI* VerticalBar() const;
    virtual CScrollBarUI* HorizontalBar() const;
    virtual void PlaceFloatingChild(int index);
    virtual void UpdateScrollBars(const RECT& rect, int cxRequired, int cyRequired);

    bool HasExternalVerticalBar() const { return m_externalVBar != nullptr; }

protected:
    // What the scroll bars say, for the layout arithmetic.
    UiScrollState ScrollStateNow() const;
    // Item rectangle less inset, less the thickness of the visible bars (an
    // external vertical bar counts only when countExternal).
    RECT ClientRect(bool countExternal = false) const;
    // Hands a removed child to whoever deletes it: nobody (auto destroy off), the
    // manager's delayed clean-up, or an immediate delete.
    void Dispose(CControlUI* control);
    // Place(item rectangle) again after a scroll bar changed, a bounded number of
    // times in a row whatever the content does.
    bool PlaceAgain();
    bool BarVisible(const CScrollBarUI* bar) const;

    std::vector<CControlUI*> m_items;     // owned while auto destroy is on
    RECT m_inset = {0, 0, 0, 0};
    int m_childPadding = 0;
    UINT m_childAlign = UICHILD_LEFT;
    UINT m_childVAlign = UICHILD_TOP;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChildEnabled = true;
    int m_scrollStepSize = 0;
    std::unique_ptr<CScrollBarUI> m_vbar;    // own bars
    std::unique_ptr<CScrollBarUI> m_hbar;
    CScrollBarUI* m_externalVBar = nullptr;  // someone else's (AdoptVerticalBar)
    CUiString m_vbarStyle;
    CUiString m_hbarStyle;
    int m_placeDepth = 0;

private:
    void ReleaseBar(std::unique_ptr<CScrollBarUI>& bar);
    void ApplyBarStyle(CScrollBarUI* bar, const wchar_t* style);
    friend struct ContainerAttributes;
};

} // namespace SkinUI
