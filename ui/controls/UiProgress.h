#pragma once
// CProgressUI: a label filled in proportion to a value between a minimum and a
// maximum, with the fore colour or the fore image (stretched, or cut at the fill
// boundary), horizontally or upwards; optionally the percentage as its text.
#include "ui/controls/UiLabel.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void DrawForeColor(HDC dc) override;
    void DrawForeImage(HDC dc) override;

    // ---- virtual operation added
    virtual void UpdatePercentText();

    bool Horizontal() const { return m_horizontal; }
    void AssignHorizontal(bool horizontal);
    bool StretchesFore() const { return m_stretchFore; }
    void AssignStretchFore(bool stretch);
    int Minimum() const { return m_min; }
    void AssignMinimum(int minimum);
    int Maximum() const { return m_max; }
    void AssignMaximum(int maximum);
    int Value() const { return m_value; }
    // Ignored when unchanged or outside [minimum, maximum].
    void AssignValue(int value);
    bool ShowsPercentText() const { return m_showText; }
    void ShowPercentText(bool show);

private:
    // The paint-time correction of an empty or inverted range, kept afterwards.
    void Normalize();

    bool m_showText = false;
    bool m_horizontal = true;
    bool m_stretchFore = true;
    int m_max = 100;
    int m_min = 0;
    int m_value = 0;
    CUiString m_foreImageModifier;
};

} // namespace SkinUI
