#pragma once
// IContainerUI: the view of a control that owns children. Containers answer
// InterfaceFor(L"IContainer") with it; the manager and the builder use it to add
// children without knowing the concrete layout class.
namespace SkinUI {

class CControlUI;

class IContainerUI {
public:
    virtual CControlUI* ItemAt(int index) const = 0;        // null when out of range
    virtual int IndexOfItem(CControlUI* control) const = 0; // -1 when absent
    virtual bool MoveItemTo(CControlUI* control, int index) = 0;
    virtual int ItemCount() const = 0;
    virtual bool AddItem(CControlUI* control) = 0;
    virtual bool InsertItem(CControlUI* control, int index) = 0;
    virtual bool RemoveItem(CControlUI* control) = 0;
    virtual bool RemoveItemAt(int index) = 0;
    virtual void RemoveAllItems() = 0;

protected:
    ~IContainerUI() = default;
};

} // namespace SkinUI
