#pragma once
// CScrollBarUI: two arrow buttons, a thumb with a grip (rail) image and a track.
// It scrolls its owning container, or only its own position when it has none;
// presses repeat on a 50 ms timer and the thumb follows the pointer.
#include <windows.h>

#include "ui/controls/UiControl.h"

namespace SkinUI {

class CContainerUI;

// State bits of the buttons and the thumb (the button-state values).
enum UiPartState : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void Show(bool visible = true) override;
    void Enable(bool enable = true) override;
    void TakeFocus() override;
    void Place(RECT rect, bool invalidate = true) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    CContainerUI* OwnerContainer() const { return m_owner; }
    void AssignOwner(CContainerUI* owner) { m_owner = owner; }
    bool Horizontal() const { return m_horizontal; }
    void AssignHorizontal(bool horizontal);
    long long ScrollRange() const { return m_range; }
    void AssignScrollRange(long long range);
    long long ScrollPosition() const { return m_position; }
    void AssignScrollPosition(long long position);
    int LineSize() const;                  // scaled; never below 1
    void AssignLineSize(int size) { m_lineSize = size; }
    bool ShowsButton1() const { return m_showButton1; }
    void ShowButton1(bool show);
    bool ShowsButton2() const { return m_showButton2; }
    void ShowButton2(bool show);

    // Part geometry and states, as the last Place left them.
    const RECT& Button1Rect() const { return m_button1Rect; }
    const RECT& Button2Rect() const { return m_button2Rect; }
    const RECT& ThumbRect() const { return m_thumbRect; }
    UINT ThumbState() const { return m_thumbState; }
    UINT Button1State() const { return m_button1State; }
    UINT Button2State() const { return m_button2State; }

    // The four looks of one part (normal, hot, pushed, disabled).
    struct PartImages {
        CUiString normal, hot, pushed, disabled;
    };

private:
    void StepBack();
    void StepForward();
    void PageBackward();
    void PageForwardOnce();
    void OnButtonDown(const UiEvent& event);
    void OnMouseMove(const UiEvent& event);
    void OnTimer();
    void OnButtonUp();
    void SendScroll();
    // Length along the bar and the free track the thumb can travel.
    long long ItemLength() const;
    long long FreeTrack() const;
    // A part image with dest= its rectangle (in design pixels, relative to the item).
    bool PaintPart(HDC dc, const CUiString& image, const RECT& part);
    // Disabled, else pushed, else hot image when set and drawn; else the normal one.
    bool PaintByState(HDC dc, const PartImages& images, UINT state, const RECT& part);

    bool m_horizontal = false;
    long long m_range = 0;
    long long m_position = 0;
    int m_lineSize = 8;
    CContainerUI* m_owner = nullptr;
    POINT m_dragStart = {0, 0};
    long long m_dragStartPosition = 0;
    long long m_dragOffset = 0;
    int m_ticks = 0;
    bool m_trackPressed = false;
    PartImages m_background;
    bool m_showButton1 = true;
    RECT m_button1Rect = {0, 0, 0, 0};
    UINT m_button1State = 0;
    PartImages m_button1;
    bool m_showButton2 = true;
    RECT m_button2Rect = {0, 0, 0, 0};
    UINT m_button2State = 0;
    PartImages m_button2;
    RECT m_thumbRect = {0, 0, 0, 0};
    UINT m_thumbState = 0;
    PartImages m_thumb;
    PartImages m_rail;
    CUiString m_imageModifier;

    friend struct ScrollBarAttributes;
};

} // namespace SkinUI
