#pragma once
// CControlFactory: the process-wide registry from control class name to creator.
// Element names become class names ("Button" -> "CButtonUI") and are looked up
// ignoring case. Plug-in modules add creators of their own through their
// "CreateControl" export.
#include <windows.h>
#include "ui/core/UiArray.h"
#include "ui/core/UiStringMap.h"

namespace SkinUI {

class CControlUI;

using UiControlCreator = CControlUI* (*)();
// The export "CreateControl" of a control module: a control for the element
// name, or null.
using UiPluginCreator = CControlUI* (*)(const wchar_t* elementName);

class CControlFactory {
public:
    static CControlFactory& Instance();
    // Framework shutdown: the factory and the list of plug-in creators go; the
    // next Instance() starts afresh.
    static void Destroy();
    virtual ~CControlFactory();

    // A new control of the class, or null when no class of that name exists.
    CControlUI* MakeControl(const wchar_t* className);
    // An existing name keeps its first creator.
    void Register(const wchar_t* className, UiControlCreator creator);

    // Loads a control module and adds its "CreateControl"; false when either fails.
    static bool LoadControlModule(const wchar_t* modulePath);
    static const CUiPtrArray& PluginCreators();
    // The first control a plug-in creator makes for the element name, or null.
    static CControlUI* MakePluginControl(const wchar_t* elementName);

private:
    CControlFactory();
    CUiStringMap m_creators;   // lower-cased class name -> UiControlCreator
};

} // namespace SkinUI
