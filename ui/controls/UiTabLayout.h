#pragma once
// CTabLayoutUI: pages of which exactly one is shown. Selecting another page hides
// the current one, lays the new one out over the client area and tells the
// listeners with "tabselect" (wParam new index, lParam old index).
#include "ui/controls/UiContainer.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    bool AddItem(CControlUI* control) override;
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control) override;
    void RemoveAllItems() override;
    void Place(RECT rect, bool invalidate = true) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    virtual bool ShowPage(CControlUI* control);
    virtual bool ShowPage(int index);
    int CurrentPage() const { return m_currentSel; }

private:
    int m_currentSel = -1;
};

} // namespace SkinUI
