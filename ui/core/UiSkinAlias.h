#pragma once
// The skin's alias table: short ids for image files ("Image" elements) and layout
// files ("Xml" elements) read from an optional alias document, and a cache of texts
// supplied by the application. Process-wide, created on first use.
#include "ui/core/UiStringMap.h"

namespace SkinUI {

class CXmlNode;

// Lets the application supply the text behind an identifier (controls whose text
// is marked as a resource key read it through the alias table).
class IQueryControlText {
public:
    virtual ~IQueryControlText() = default;
    // Null when the application has no text for id.
    virtual const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) = 0;
};

class CUiSkinAlias {
public:
    static CUiSkinAlias& Instance();
    // Framework shutdown: frees the table and everything it holds.
    static void Destroy();

    // name: a resource id (an integer below 0x10000) of the given type, XML text
    // starting with '<', or a skin file name. The first definition of an id wins.
    bool Load(const wchar_t* name, const wchar_t* resourceType = nullptr);

    const wchar_t* GetImagePath(const wchar_t* id) const; // null when unknown
    const wchar_t* GetLayoutPath(const wchar_t* id) const;

    // The text table first, then the application (a non-null answer is cached).
    // A null id, or an id nobody knows, gives the empty string.
    CUiString GetText(const wchar_t* id, const wchar_t* resourceType = nullptr);
    void SetTextQuery(IQueryControlText* query) { m_textQuery = query; }
    IQueryControlText* GetTextQuery() const { return m_textQuery; }

    // Empties the image and layout aliases; ResetTexts empties the text cache.
    void Release();
    void ResetTexts();

    int GetImageAliasCount() const { return m_images.GetSize(); }
    int GetLayoutAliasCount() const { return m_layouts.GetSize(); }

private:
    CUiSkinAlias();
    ~CUiSkinAlias();
    CUiSkinAlias(const CUiSkinAlias&) = delete;
    CUiSkinAlias& operator=(const CUiSkinAlias&) = delete;

    void Walk(const CXmlNode& node);
    static void FreeValues(CUiStringMap& map);

    // Values are owned CUiString copies, so they outlive the document they came from.
    CUiStringMap m_images;
    CUiStringMap m_layouts;
    CUiStringMap m_texts;
    IQueryControlText* m_textQuery;
};

} // namespace SkinUI
