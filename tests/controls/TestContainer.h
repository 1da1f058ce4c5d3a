#pragma once
// A container just big enough to put controls in a tree: it owns its children,
// passes the manager on, searches and paints them in order and places floating
// children. The real layouts replace it; the control base is what is under test.
#include <memory>
#include <vector>

#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"

namespace ControlTests {

class CTestContainer : public SkinUI::CControlUI, public SkinUI::IContainerUI {
public:
    ~CTestContainer() override;

    const wchar_t* TypeName() const override { return L"TestContainerUI"; }
    void* InterfaceFor(const wchar_t* name) override;
    void Attach(SkinUI::CPaintManagerUI* manager, SkinUI::CControlUI* parent,
                bool init = true) override;
    void Place(RECT rect, bool invalidate = true) override;
    SkinUI::CControlUI* Search(SkinUI::UiFindProc visitor, void* data, UINT flags) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, SkinUI::CControlUI* stopControl) override;

    SkinUI::CControlUI* ItemAt(int index) const override;
    int IndexOfItem(SkinUI::CControlUI* control) const override;
    bool MoveItemTo(SkinUI::CControlUI* control, int index) override;
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    bool AddItem(SkinUI::CControlUI* control) override;
    bool InsertItem(SkinUI::CControlUI* control, int index) override;
    bool RemoveItem(SkinUI::CControlUI* control) override;
    bool RemoveItemAt(int index) override;
    void RemoveAllItems() override;

private:
    std::vector<SkinUI::CControlUI*> m_items;   // owned
};

} // namespace ControlTests
