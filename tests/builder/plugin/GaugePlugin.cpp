// A control module as a third party would ship one: its own control class built
// on the framework, handed out through "CreateControl". The class's code, its
// virtual destructor included, lives here, so whoever deletes the control runs
// this module's destructor and this module's operator delete.
#include <windows.h>

#include <cwchar>
#include <new>

#include "ui/controls/UiControl.h"

namespace {

using SkinUI::CControlUI;

LONG g_alive = 0;

class CGaugeUI : public CControlUI {
public:
    CGaugeUI() { InterlockedIncrement(&g_alive); }
    ~CGaugeUI() override { InterlockedDecrement(&g_alive); }
    const wchar_t* TypeName() const override { return L"GaugeUI"; }
    void* InterfaceFor(const wchar_t* name) override
    {
        if (name && _wcsicmp(name, L"Gauge") == 0) return this;
        return CControlUI::InterfaceFor(name);
    }
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override
    {
        // An attribute the framework does not know, kept where the host can see it.
        if (_wcsicmp(name, L"level") == 0) {
            AssignUserText(value);
            return;
        }
        CControlUI::ApplyAttribute(name, value);
    }
};

} // namespace

extern "C" __declspec(dllexport) CControlUI* CreateControl(const wchar_t* elementName)
{
    if (!elementName) return nullptr;
    if (wcscmp(elementName, L"Gauge") == 0) return new (std::nothrow) CGaugeUI;
    // Claims a name the factory already has: the factory must be asked first.
    if (wcscmp(elementName, L"Button") == 0) return new (std::nothrow) CGaugeUI;
    return nullptr;
}

// How many gauges are alive, so the host can tell that deleting one ran this
// module's destructor.
extern "C" __declspec(dllexport) LONG GaugesAlive()
{
    return g_alive;
}
