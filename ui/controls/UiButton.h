#pragma once
// CButtonUI: a label with looks for hot, pushed, focused and disabled, that sends
// "click" when the pointer is released over it after a press on it (or on Space
// and Return). A button can also switch a tab layout to a bound page.
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiScrollBar.h"   // the part-state bits

namespace SkinUI {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    UINT Flags() const override;
    bool Trigger() override;
    void Enable(bool enable = true) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void DrawBackColor(HDC dc) override;
    void DrawStateImage(HDC dc) override;
    void DrawForeImage(HDC dc) override;
    void DrawLabel(HDC dc) override;

    // ---- virtual operations added, in slot order
    virtual const CUiString& NormalImage() const;
    virtual void AssignNormalImage(const wchar_t* image);
    virtual const CUiString& HotImage() const;
    virtual void AssignHotImage(const wchar_t* image);
    virtual const CUiString& PushedImage() const;
    virtual void AssignPushedImage(const wchar_t* image);
    virtual const CUiString& FocusedImage() const;
    virtual void AssignFocusedImage(const wchar_t* image);
    virtual const CUiString& DisabledImage() const;
    virtual void AssignDisabledImage(const wchar_t* image);
    virtual const CUiString& HotForeImage() const;
    virtual void AssignHotForeImage(const wchar_t* image);
    virtual const CUiString& StateImage() const;
    virtual void AssignStateImage(const wchar_t* image);

    UINT ButtonState() const { return m_buttonState; }
    int StateCount() const { return m_stateCount; }
    void AssignStateCount(int count);
    void AssignPushedForeImage(const wchar_t* image) { m_pushedForeImage = image ? image : L""; }
    // The tab layout (by name) and page a click switches to; a negative index
    // is ignored.
    void BindTabLayout(const wchar_t* layoutName) { m_bindTabLayoutName = layoutName ? layoutName : L""; }
    void BindTabIndex(int index)
    {
        if (index >= 0)
            m_bindTabIndex = index;
    }

    // Colours and fonts of the states (fonts: -1 uses the label's).
    DWORD hotBkColor = 0, pushedBkColor = 0, disabledBkColor = 0;
    DWORD hotTextColor = 0, pushedTextColor = 0, focusedTextColor = 0;
    int hotFont = -1, pushedFont = -1, focusedFont = -1;

protected:
    // Focus and disabled bits follow the control (and the window) before painting.
    void RefreshStateBits();
    // Cuts a state strip into per-state image strings when the normal image is
    // empty: normal, then hot and pushed, pushed, disabled as the count allows.
    // out[0..3] = normal, hot, pushed, disabled (untouched past the count).
    void CutStrip(const CUiString& strip, int count, CUiString* const out[4]);
    // Paints `image` when set; false when unset or it did not draw.
    bool PaintIfSet(HDC dc, const CUiString& image);

    UINT m_buttonState = 0;
    CUiString m_normalImage, m_hotImage, m_hotForeImage, m_pushedImage, m_pushedForeImage,
        m_focusedImage, m_disabledImage;
    int m_stateCount = 0;
    CUiString m_stateImage;
    int m_bindTabIndex = -1;
    CUiString m_bindTabLayoutName;
};

} // namespace SkinUI
