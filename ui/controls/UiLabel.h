#pragma once
// CLabelUI: text in a rectangle, with alignment, padding, colours and a font of
// the manager; it can size itself to its text (auto width, auto height).
#include <windows.h>

#include "ui/controls/UiControl.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    UINT Flags() const override;
    void AssignText(const wchar_t* text) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE MeasureSize(SIZE available) override;
    void DrawLabel(HDC dc) override;

    // ---- virtual operations added, in slot order
    virtual bool AutoWidth() const;
    virtual void AssignAutoWidth(bool autoWidth);
    virtual bool AutoHeight() const;
    virtual void AssignAutoHeight(bool autoHeight);

    UINT TextStyle() const { return m_textStyle; }
    void AssignTextStyle(UINT style);
    DWORD TextColor() const { return m_textColor; }
    void AssignTextColor(DWORD color);
    DWORD DisabledTextColor() const { return m_disabledTextColor; }
    void AssignDisabledTextColor(DWORD color);
    int Font() const { return m_font; }
    void AssignFont(int font);
    RECT TextPadding() const;            // scaled
    void AssignTextPadding(RECT padding);
    bool ShowsHtml() const { return m_showHtml; }
    void ShowHtml(bool show);

protected:
    // Measures text in rect with format | DT_CALCRECT through the manager's DC (a
    // screen-compatible one before the window exists). Null manager: rect as is.
    RECT MeasureText(const wchar_t* text, RECT rect, UINT format, int font);
    // The default colours of the manager replace 0 on first paint.
    void ResolveColors();
    // The text inside the padding, in this colour and font, plain or marked up.
    void PaintText(HDC dc, DWORD color, int font);

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_textPadding = {0, 0, 0, 0};
    bool m_showHtml = false;
    bool m_autoWidth = false;
    bool m_autoHeight = false;
    SIZE m_lastAvailable = {0, 0};
    SIZE m_estimate = {0, 0};
    bool m_estimateStale = false;
};

} // namespace SkinUI
