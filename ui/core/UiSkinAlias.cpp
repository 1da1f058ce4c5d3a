#include "ui/core/UiSkinAlias.h"

#include "ui/core/UiResourceLocation.h"
#include "ui/core/XmlMarkup.h"

#include <new>

namespace SkinUI {

namespace {
CUiSkinAlias* g_instance = nullptr;
}

CUiSkinAlias& CUiSkinAlias::Instance()
{
    if (g_instance == nullptr) g_instance = new CUiSkinAlias;
    return *g_instance;
}

void CUiSkinAlias::Destroy()
{
    delete g_instance;
    g_instance = nullptr;
}

CUiSkinAlias::CUiSkinAlias() : m_images(83), m_layouts(83), m_texts(83), m_textQuery(nullptr) {}

CUiSkinAlias::~CUiSkinAlias()
{
    FreeValues(m_images);
    FreeValues(m_layouts);
    FreeValues(m_texts);
}

void CUiSkinAlias::FreeValues(CUiStringMap& map)
{
    for (int i = 0; i < map.GetSize(); ++i) delete static_cast<CUiString*>(map.Find(map.GetAt(i), false));
    map.RemoveAll();
}

bool CUiSkinAlias::Load(const wchar_t* name, const wchar_t* resourceType)
{
    if (name == nullptr) return false;
    CXmlDocument document;
    if (IS_INTRESOURCE(name)) {
        if (resourceType == nullptr) return false;
        HINSTANCE module = CUiResourceLocation::GetResourceInstance();
        HRSRC resource = FindResourceW(module, name, resourceType);
        HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
        const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
        if (bytes == nullptr) return false;
        if (!document.LoadFromBytes(bytes, SizeofResource(module, resource), XmlEncoding::Utf8)) return false;
    } else if (name[0] == L'<') {
        if (!document.Load(name)) return false;
    } else if (!document.LoadFromFile(name)) {
        return false;
    }
    Walk(document.GetRoot());
    return true;
}

void CUiSkinAlias::Walk(const CXmlNode& node)
{
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        if (child.HasChildren()) {
            Walk(child);
            continue;
        }
        CUiStringMap* target = nullptr;
        if (_wcsicmp(child.GetName(), L"Image") == 0) target = &m_images;
        else if (_wcsicmp(child.GetName(), L"Xml") == 0) target = &m_layouts;
        if (target == nullptr || !child.HasAttribute(L"id") || !child.HasAttribute(L"path")) continue;
        const wchar_t* id = child.GetAttributeValue(L"id");
        if (*id == L'\0' || target->Find(id, false) != nullptr) continue;
        CUiString* path = new (std::nothrow) CUiString(child.GetAttributeValue(L"path"));
        if (path && !target->Insert(id, path)) delete path;
    }
}

const wchar_t* CUiSkinAlias::GetImagePath(const wchar_t* id) const
{
    const CUiString* path = id ? static_cast<const CUiString*>(m_images.Find(id)) : nullptr;
    return path ? path->GetData() : nullptr;
}

const wchar_t* CUiSkinAlias::GetLayoutPath(const wchar_t* id) const
{
    const CUiString* path = id ? static_cast<const CUiString*>(m_layouts.Find(id)) : nullptr;
    return path ? path->GetData() : nullptr;
}

CUiString CUiSkinAlias::GetText(const wchar_t* id, const wchar_t* resourceType)
{
    if (id == nullptr) return CUiString();
    const CUiString* known = static_cast<const CUiString*>(m_texts.Find(id));
    if (known) return *known;
    if (m_textQuery == nullptr) return CUiString();
    const wchar_t* answer = m_textQuery->QueryControlText(id, resourceType);
    if (answer == nullptr) return CUiString();
    CUiString* copy = new (std::nothrow) CUiString(answer);
    if (copy && !m_texts.Insert(id, copy)) delete copy;
    return CUiString(answer);
}

void CUiSkinAlias::Release()
{
    FreeValues(m_images);
    FreeValues(m_layouts);
}

void CUiSkinAlias::ResetTexts() { FreeValues(m_texts); }

} // namespace SkinUI
