#pragma once
// CTextUI: a label whose marked-up text can hold clickable links ("link" with
// the link's index as wParam).
#include "ui/controls/UiLabel.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    UINT Flags() const override;
    void ProcessEvent(UiEvent& event) override;
    SIZE MeasureSize(SIZE available) override;
    void DrawLabel(HDC dc) override;

    int LinkCount() const { return m_linkCount; }
    const RECT& LinkRect(int index) const { return m_links[index < 0 || index >= kMaxLinks ? 0 : index]; }
    CUiString LinkText(int index) const;
    int HoveredLink() const { return m_hoverLink; }

private:
    int LinkAt(POINT pt) const;   // -1 when over none

    int m_linkCount = 0;
    RECT m_links[kMaxLinks] = {};
    CUiString m_linkTexts[kMaxLinks];
    int m_hoverLink = -1;
};

} // namespace SkinUI
