#pragma once
// CLayoutBuilder turns one skin XML document into a tree of controls and
// configures the owning window's paint manager from it: the resource elements
// (Image, Font, Default, Style, Import), the root Window's attributes, then the
// controls, children before their parent's own attributes.
//
// IDialogBuilderCallback lets a window supply control classes of its own for
// element names the factory does not know.
#include <windows.h>
#include "ui/core/UiString.h"
#include "ui/core/XmlMarkup.h"

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A new control for the element name, or null.
    virtual CControlUI* MakeControl(const wchar_t* elementName) = 0;
};

class CLayoutBuilder {
public:
    CLayoutBuilder() = default;
    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    // `layout` is XML text (starting with '<'), a skin file name or alias id, or
    // a resource id (MAKEINTRESOURCEW) of `resourceType`. Returns the first
    // control built at the top level, or null (parse errors: ErrorMessage).
    CControlUI* Create(const wchar_t* layout, const wchar_t* resourceType = nullptr,
                       IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // The same for the document already loaded into Document().
    CControlUI* Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                       CControlUI* parent = nullptr);

    CXmlDocument& Document() { return m_document; }
    void ErrorMessage(wchar_t* buffer, int max) const;
    void ErrorLocation(wchar_t* buffer, int max) const;
    // Module searched for layout resources; null means the manager's resource instance.
    void SetInstance(HINSTANCE instance) { m_instance = instance; }

    // Bounds that keep a hostile skin from exhausting the stack or the memory.
    enum {
        MAX_INCLUDE_DEPTH = 16,        // Include inside Include
        MAX_INCLUDE_COUNT = 100,       // "count" of one Include
        MAX_DOCUMENTS = 1000,          // documents one build may load through Include
        MAX_CONTROLS = 50000,          // controls one build may create
        MAX_NESTING = 128,             // element depth of the whole tree, includes too
        MAX_INCLUDE_SOURCE = 499,      // characters of an Include's "source"
    };

private:
    struct BuildState;

    bool LoadLayout(const wchar_t* layout, const wchar_t* resourceType);
    bool LoadResourceLayout(const wchar_t* id, const wchar_t* resourceType);
    CControlUI* Build(CPaintManagerUI* manager, CControlUI* parent, BuildState& state);
    CControlUI* ParseLevel(const CXmlNode& node, CControlUI* parent, CPaintManagerUI* manager,
                           int level, BuildState& state);
    void Include(const CXmlNode& element, CControlUI* parent, CPaintManagerUI* manager,
                 int level, BuildState& state);
    CControlUI* MakeControl(const wchar_t* elementName);
    static void ApplyResource(const CXmlNode& element, CPaintManagerUI* manager);

    CXmlDocument m_document;
    IDialogBuilderCallback* m_callback = nullptr;
    const wchar_t* m_resourceType = nullptr;
    CUiString m_resourceTypeText;  // a named type, kept past the caller's string
    HINSTANCE m_instance = nullptr;
    int m_depth = 0;   // Include nesting, against skins that include themselves
    int m_baseLevel = 0;           // element depth of the Include that started this builder
    CUiString m_source;            // what was loaded, as the Include loop check knows it
    BuildState* m_state = nullptr; // the outermost builder's, while an Include runs
};

} // namespace SkinUI
