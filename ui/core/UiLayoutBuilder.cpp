#include "ui/core/UiLayoutBuilder.h"

#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiControlFactory.h"
#include "ui/core/UiLayoutBuilderWindow.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"

#include <cwchar>
#include <memory>
#include <new>
#include <vector>

namespace SkinUI {

// What one build and every Include under it share: the budgets that stop a
// hostile skin, and the chain of documents now being built, so that a document
// including itself (directly or through others) is refused at once.
struct CLayoutBuilder::BuildState {
    int documents = 0;
    int controls = 0;
    std::vector<CUiString> chain;
};

namespace {

using SkinValue::ReadBool;
using SkinValue::ReadHex;

bool IsNamed(const CXmlNode& node, const wchar_t* name)
{
    const wchar_t* own = node.GetName();
    return own && _wcsicmp(own, name) == 0;
}

// The names under which the root's children configure the manager; elsewhere
// they are neither resources nor controls.
const wchar_t* const kResourceElements[] = {L"Image", L"Font", L"Default", L"Style", L"Import"};

bool IsResourceElement(const CXmlNode& node)
{
    for (const wchar_t* name : kResourceElements)
        if (IsNamed(node, name)) return true;
    return false;
}

// The attributes of one resource element, read once into named slots.
struct ResourceValues {
    const wchar_t* name = nullptr;
    const wchar_t* value = nullptr;
    const wchar_t* restype = nullptr;
    const wchar_t* fontfile = nullptr;
    DWORD mask = 0;
    int id = -1;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool isDefault = false;
    bool shared = false;
};

struct ResourceAttribute {
    const wchar_t* name;
    void (*read)(ResourceValues& values, const wchar_t* value);
};

const ResourceAttribute kResourceAttributes[] = {
    {L"name", [](ResourceValues& r, const wchar_t* v) { r.name = v; }},
    {L"value", [](ResourceValues& r, const wchar_t* v) { r.value = v; }},
    {L"restype", [](ResourceValues& r, const wchar_t* v) { r.restype = v; }},
    {L"fontfile", [](ResourceValues& r, const wchar_t* v) { r.fontfile = v; }},
    {L"mask", [](ResourceValues& r, const wchar_t* v) { r.mask = ReadHex(v); }},
    {L"id", [](ResourceValues& r, const wchar_t* v) { r.id = static_cast<int>(wcstol(v, nullptr, 10)); }},
    {L"size", [](ResourceValues& r, const wchar_t* v) { r.size = static_cast<int>(wcstol(v, nullptr, 10)); }},
    {L"bold", [](ResourceValues& r, const wchar_t* v) { r.bold = ReadBool(v); }},
    {L"underline", [](ResourceValues& r, const wchar_t* v) { r.underline = ReadBool(v); }},
    {L"italic", [](ResourceValues& r, const wchar_t* v) { r.italic = ReadBool(v); }},
    {L"default", [](ResourceValues& r, const wchar_t* v) { r.isDefault = ReadBool(v); }},
    {L"shared", [](ResourceValues& r, const wchar_t* v) { r.shared = ReadBool(v); }},
};

ResourceValues ReadResourceValues(const CXmlNode& element)
{
    ResourceValues values;
    const int count = element.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        const wchar_t* name = element.GetAttributeName(i);
        const wchar_t* value = element.GetAttributeValue(i);
        if (!name || !value) continue;
        for (const ResourceAttribute& attribute : kResourceAttributes) {
            if (_wcsicmp(name, attribute.name) == 0) {
                attribute.read(values, value);
                break;
            }
        }
    }
    return values;
}

bool HasText(const wchar_t* text) { return text && *text; }

// The key under which a document stands in the Include chain.
CUiString SourceKey(const wchar_t* layout, const wchar_t* resourceType)
{
    CUiString key;
    if (IS_INTRESOURCE(layout)) {
        key.Format(L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(layout)));
        if (resourceType && !IS_INTRESOURCE(resourceType)) key += resourceType;
    } else {
        key = layout;
    }
    // Windows finds files and resource types ignoring case, so the chain must too.
    key.MakeLower();
    key.Replace(L"/", L"\\");
    return key;
}

// Takes a control that will never reach a tree: without a parent only the level's
// first control is handed back, and the rest would leak.
void Discard(CControlUI* control)
{
    delete control;
}

} // namespace

// ---- loading

CControlUI* CLayoutBuilder::Create(const wchar_t* layout, const wchar_t* resourceType,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent)
{
    if (!layout) return nullptr;
    if (!LoadLayout(layout, resourceType)) return nullptr;
    return Create(callback, manager, parent);
}

bool CLayoutBuilder::LoadLayout(const wchar_t* layout, const wchar_t* resourceType)
{
    if (IS_INTRESOURCE(layout)) {
        m_source = SourceKey(layout, resourceType);
        return LoadResourceLayout(layout, resourceType);
    }
    const wchar_t* text = layout;
    if (text[0] != L'<') {
        if (const wchar_t* alias = CUiSkinAlias::Instance().GetLayoutPath(text)) text = alias;
    }
    if (text[0] == L'<') return m_document.Load(text);
    m_source = SourceKey(text, nullptr);
    return m_document.LoadFromFile(text, XmlEncoding::Utf8);
}

bool CLayoutBuilder::LoadResourceLayout(const wchar_t* id, const wchar_t* resourceType)
{
    if (!resourceType) return false;
    if (IS_INTRESOURCE(resourceType)) {
        m_resourceType = resourceType;
    } else {
        m_resourceTypeText = resourceType;
        m_resourceType = m_resourceTypeText;
    }
    HINSTANCE instance = m_instance ? m_instance : CUiResourceLocation::GetResourceInstance();
    HRSRC resource = FindResourceW(instance, id, m_resourceType);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (!loaded) return false;
    const DWORD size = SizeofResource(instance, resource);
    const void* bytes = LockResource(loaded);
    if (!bytes || size == 0) return false;
    return m_document.LoadFromBytes(static_cast<const BYTE*>(bytes), size, XmlEncoding::Utf8);
}

void CLayoutBuilder::ErrorMessage(wchar_t* buffer, int max) const
{
    m_document.GetLastErrorMessage(buffer, max);
}

void CLayoutBuilder::ErrorLocation(wchar_t* buffer, int max) const
{
    m_document.GetLastErrorLocation(buffer, max);
}

// ---- building

CControlUI* CLayoutBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent)
{
    m_callback = callback;
    if (m_state) return Build(manager, parent, *m_state);
    BuildState state;
    return Build(manager, parent, state);
}

CControlUI* CLayoutBuilder::Build(CPaintManagerUI* manager, CControlUI* parent, BuildState& state)
{
    CXmlNode root = m_document.GetRoot();
    if (!root.IsValid()) return nullptr;

    if (manager) {
        for (CXmlNode node = root.GetChild(); node.IsValid(); node = node.GetSibling())
            if (IsResourceElement(node)) ApplyResource(node, manager);
        if (IsNamed(root, L"Window") && manager->GetPaintWindow()) {
            const int count = root.GetAttributeCount();
            for (int i = 0; i < count; ++i)
                ApplyWindowAttribute(*manager, root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }

    const bool named = !m_source.IsEmpty();
    if (named) state.chain.push_back(m_source);
    CControlUI* first = ParseLevel(root, parent, manager, m_baseLevel, state);
    if (named) state.chain.pop_back();
    return first;
}

void CLayoutBuilder::ApplyResource(const CXmlNode& element, CPaintManagerUI* manager)
{
    const ResourceValues r = ReadResourceValues(element);
    if (IsNamed(element, L"Image")) {
        if (HasText(r.name)) manager->AddImage(r.name, r.restype, r.mask, false, r.shared);
    } else if (IsNamed(element, L"Font")) {
        // A font without an id has nothing to be found by; it is not made the
        // default either.
        if (r.id < 0) return;
        const wchar_t* face = r.name ? r.name : L"";
        manager->AddFont(r.id, face, r.size, r.bold, r.underline, r.italic, r.shared);
        if (r.isDefault)
            manager->SetDefaultFont(face, r.size, r.bold, r.underline, r.italic, r.shared);
    } else if (IsNamed(element, L"Default")) {
        if (HasText(r.name)) manager->SetDefaultAttributes(r.name, r.value ? r.value : L"", r.shared);
    } else if (IsNamed(element, L"Style")) {
        if (HasText(r.name)) manager->AddStyle(r.name, r.value ? r.value : L"", r.shared);
    } else if (IsNamed(element, L"Import")) {
        if (HasText(r.fontfile)) manager->RegisterFontFile(r.fontfile);
    }
}

CControlUI* CLayoutBuilder::MakeControl(const wchar_t* elementName)
{
    CUiString className(L"C");
    className += elementName;
    className += L"UI";
    if (CControlUI* control = CControlFactory::Instance().MakeControl(className)) return control;
    if (CControlUI* control = CControlFactory::MakePluginControl(elementName)) return control;
    if (m_callback) return m_callback->MakeControl(elementName);
    return nullptr;
}

void CLayoutBuilder::Include(const CXmlNode& element, CControlUI* parent, CPaintManagerUI* manager,
                             int level, BuildState& state)
{
    if (!element.HasAttributes() || !element.HasAttribute(L"source")) return;
    const wchar_t* source = element.GetAttributeValue(L"source");
    // A longer name would be cut and then name some other file.
    if (!source || !*source || wcslen(source) > MAX_INCLUDE_SOURCE) return;
    int count = 1;
    if (element.HasAttribute(L"count"))
        count = static_cast<int>(wcstol(element.GetAttributeValue(L"count"), nullptr, 10));
    if (count > MAX_INCLUDE_COUNT) count = MAX_INCLUDE_COUNT;
    if (m_depth + 1 > MAX_INCLUDE_DEPTH) return;

    const wchar_t* layout = source;
    if (m_resourceType) {
        const unsigned long id = wcstoul(source, nullptr, 10);
        if (id == 0 || id > 0xFFFF) return;
        layout = MAKEINTRESOURCEW(id);
    }
    // A document that is already being built further up would include itself
    // again and again.
    CUiString key = SourceKey(layout, m_resourceType);
    if (!IS_INTRESOURCE(layout)) {
        if (const wchar_t* alias = CUiSkinAlias::Instance().GetLayoutPath(layout))
            key = SourceKey(alias, nullptr);
    }
    for (const CUiString& active : state.chain)
        if (active == key) return;

    for (int i = 0; i < count; ++i) {
        if (state.documents >= MAX_DOCUMENTS || state.controls >= MAX_CONTROLS) return;
        ++state.documents;
        // On the heap: the nested document and its builder would otherwise sit in
        // this frame for the whole depth of the included tree.
        std::unique_ptr<CLayoutBuilder> nested(new (std::nothrow) CLayoutBuilder);
        if (!nested) return;
        nested->m_state = &state;
        nested->m_depth = m_depth + 1;
        nested->m_baseLevel = level;
        nested->m_instance = m_instance;
        CControlUI* built = nested->Create(layout, m_resourceType, m_callback, manager, parent);
        // Without a parent nothing holds what the included document made.
        if (!parent) Discard(built);
    }
}

CControlUI* CLayoutBuilder::ParseLevel(const CXmlNode& node, CControlUI* parent,
                                       CPaintManagerUI* manager, int level, BuildState& state)
{
    // Deeper than any real skin: the subtree is skipped rather than risk the stack,
    // which every later walk of the tree (layout, painting, destruction) uses too.
    if (level >= MAX_NESTING) return nullptr;
    IContainerUI* container = nullptr;
    if (parent) {
        container = static_cast<IContainerUI*>(parent->InterfaceFor(L"IContainer"));
    }
    // A parent that is already part of a live window keeps its children bound to it.
    const bool liveParent = parent && manager && parent->Owner() == manager;

    CControlUI* first = nullptr;
    for (CXmlNode element = node.GetChild(); element.IsValid(); element = element.GetSibling()) {
        const wchar_t* name = element.GetName();
        if (!name || IsResourceElement(element)) continue;
        if (IsNamed(element, L"Include")) {
            Include(element, parent, manager, level, state);
            continue;
        }
        if (state.controls >= MAX_CONTROLS) break;
        CControlUI* control = MakeControl(name);
        if (!control) continue;
        ++state.controls;

        if (element.HasChildren())
            ParseLevel(element, control, manager, level + 1, state);

        // Into a tree that is already live, the control goes fully configured: being
        // added binds and initialises it, and records its name with the manager.
        if (parent && !liveParent) {
            if (!container || !container->AddItem(control)) {
                Discard(control);
                // A parent without children of its own takes none of the rest either.
                if (!container) return nullptr;
                continue;
            }
        }

        // The parent is known from here on, the manager only while attributes are
        // applied (they may need its fonts, styles and default lists).
        control->Attach(manager, parent, false);
        if (manager) {
            if (const wchar_t* defaults = manager->GetDefaultAttributes(name))
                control->ApplyAttributes(defaults);
        }
        const int count = element.GetAttributeCount();
        for (int i = 0; i < count; ++i)
            control->ApplyAttribute(element.GetAttributeName(i), element.GetAttributeValue(i));

        if (liveParent) {
            if (!container || !container->AddItem(control)) {
                Discard(control);
                if (!container) return nullptr;
                continue;
            }
        } else if (manager) {
            // Initialisation comes when the finished tree meets its manager.
            control->Attach(nullptr, parent, false);
        }

        if (!first) first = control;
        else if (!parent) Discard(control);
    }
    return first;
}

} // namespace SkinUI
