#pragma once
// The skin XML parser: one in-place pass over a private wide copy of the text.
// Elements become a flat table of offsets (so the table may move when it grows);
// attributes are not stored but found on demand by walking the terminated text.
// Built for speed and a small footprint, not for conformance: no DTDs, no numeric
// character references, double-quoted attribute values only.
#include <windows.h>

namespace SkinUI {

enum class XmlEncoding { Utf8 = 0, Unicode = 1, Ansi = 2 };

class CXmlDocument;

// A value handle on one element. Valid only while its document is alive and not
// reloaded. Sees at most 64 attributes of an element.
class CXmlNode {
public:
    enum { MAX_ATTRIBUTES = 64 };

    CXmlNode();

    bool IsValid() const { return m_owner != nullptr; }
    CXmlNode GetParent() const;
    CXmlNode GetSibling() const;
    CXmlNode GetChild() const;
    CXmlNode GetChild(const wchar_t* name) const; // ignores case
    bool HasSiblings() const;
    bool HasChildren() const;
    const wchar_t* GetName() const;  // null for an invalid node
    const wchar_t* GetValue() const; // the element's character data; null for an invalid node

    bool HasAttributes() const;
    bool HasAttribute(const wchar_t* name) const;
    int GetAttributeCount() const;
    // Out of range: the empty string. Invalid node: null.
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // Absent: the empty string. Invalid node: null.
    const wchar_t* GetAttributeValue(const wchar_t* name) const;
    // Copies at most max - 1 characters and terminates; false when invalid or not found.
    bool GetAttributeValue(int index, wchar_t* buffer, int max) const;
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, int max) const;

private:
    friend class CXmlDocument;
    CXmlNode(CXmlDocument* owner, unsigned int element);
    void MapAttributes() const;

    unsigned int m_element;
    mutable int m_attributeCount; // 0 also means "not mapped yet"
    mutable unsigned int m_attributes[MAX_ATTRIBUTES * 2]; // name and value offsets
    CXmlDocument* m_owner;
};

class CXmlDocument {
public:
    enum { MAX_FILE_SIZE = 4096 * 1024, MAX_DEPTH = 1000 };

    explicit CXmlDocument(const wchar_t* text = nullptr);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool Load(const wchar_t* text);
    bool LoadFromBytes(const BYTE* bytes, DWORD size, XmlEncoding encoding = XmlEncoding::Utf8);
    // Reads a skin file through the resource location (folder or archive).
    bool LoadFromFile(const wchar_t* name, XmlEncoding encoding = XmlEncoding::Utf8);
    // Frees the text and the table; the error texts stay readable.
    void Release();
    void SetPreserveWhitespace(bool preserve = true) { m_preserveWhitespace = preserve; }

    // Copy at most max - 1 characters and terminate.
    void GetLastErrorMessage(wchar_t* buffer, int max) const;
    void GetLastErrorLocation(wchar_t* buffer, int max) const;
    const wchar_t* GetErrorMessage() const { return m_errorMessage; }
    const wchar_t* GetErrorLocation() const { return m_errorLocation; }

    CXmlNode GetRoot();
    unsigned int GetElementCount() const { return m_count; } // records in use, record 0 included
    unsigned int GetElementCapacity() const { return m_capacity; }

private:
    friend class CXmlNode;

    struct Element {
        unsigned int nameStart;
        unsigned int firstChild;
        unsigned int nextSibling;
        unsigned int parent;
        unsigned int dataStart;
    };

    bool Parse();
    bool ParseList(wchar_t*& p, unsigned int parent, unsigned int depth);
    bool ParseAttributes(wchar_t*& p);
    void ParseData(wchar_t*& source, wchar_t*& dest, wchar_t end);
    unsigned int NewElement();
    bool Fail(const wchar_t* message, const wchar_t* location);

    wchar_t* m_text;
    Element* m_elements;
    unsigned int m_count;
    unsigned int m_capacity;
    wchar_t m_errorMessage[100];
    wchar_t m_errorLocation[50];
    bool m_preserveWhitespace;
};

} // namespace SkinUI
