#include "ui/core/XmlMarkup.h"

#include "ui/core/UiResourceLocation.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

inline wchar_t* Next(wchar_t* p) { return CharNextW(p); }

inline void SkipWhitespace(wchar_t*& p)
{
    while (*p != L'\0' && *p <= L' ') p = Next(p);
}

inline void SkipIdentifier(wchar_t*& p)
{
    while (*p != L'\0' && (*p == L'_' || *p == L':' || iswalnum(*p))) p = Next(p);
}

void CopyTerminated(wchar_t* buffer, int max, const wchar_t* text)
{
    if (buffer == nullptr || max <= 0) return;
    wcsncpy(buffer, text, static_cast<size_t>(max - 1));
    buffer[max - 1] = L'\0';
}

} // namespace

// ---------------------------------------------------------------------------------
// CXmlNode

CXmlNode::CXmlNode() : m_element(0), m_attributeCount(0), m_owner(nullptr) {}

CXmlNode::CXmlNode(CXmlDocument* owner, unsigned int element)
    : m_element(element), m_attributeCount(0), m_owner(owner)
{
}

CXmlNode CXmlNode::GetParent() const
{
    if (m_owner == nullptr) return CXmlNode();
    unsigned int parent = m_owner->m_elements[m_element].parent;
    return parent == 0 ? CXmlNode() : CXmlNode(m_owner, parent);
}

CXmlNode CXmlNode::GetSibling() const
{
    if (m_owner == nullptr) return CXmlNode();
    unsigned int next = m_owner->m_elements[m_element].nextSibling;
    return next == 0 ? CXmlNode() : CXmlNode(m_owner, next);
}

CXmlNode CXmlNode::GetChild() const
{
    if (m_owner == nullptr) return CXmlNode();
    unsigned int child = m_owner->m_elements[m_element].firstChild;
    return child == 0 ? CXmlNode() : CXmlNode(m_owner, child);
}

CXmlNode CXmlNode::GetChild(const wchar_t* name) const
{
    if (m_owner == nullptr || name == nullptr) return CXmlNode();
    for (unsigned int i = m_owner->m_elements[m_element].firstChild; i != 0; i = m_owner->m_elements[i].nextSibling)
        if (_wcsicmp(m_owner->m_text + m_owner->m_elements[i].nameStart, name) == 0) return CXmlNode(m_owner, i);
    return CXmlNode();
}

bool CXmlNode::HasSiblings() const { return m_owner && m_owner->m_elements[m_element].nextSibling != 0; }
bool CXmlNode::HasChildren() const { return m_owner && m_owner->m_elements[m_element].firstChild != 0; }

const wchar_t* CXmlNode::GetName() const
{
    return m_owner ? m_owner->m_text + m_owner->m_elements[m_element].nameStart : nullptr;
}

const wchar_t* CXmlNode::GetValue() const
{
    return m_owner ? m_owner->m_text + m_owner->m_elements[m_element].dataStart : nullptr;
}

// Walks name NUL "value" NUL pairs between the end of the element name and the
// start of the element's data; the parser left exactly that shape behind.
void CXmlNode::MapAttributes() const
{
    m_attributeCount = 0;
    if (m_owner == nullptr) return;
    wchar_t* text = m_owner->m_text;
    const CXmlDocument::Element& e = m_owner->m_elements[m_element];
    wchar_t* end = text + e.dataStart;
    wchar_t* p = text + e.nameStart;
    p += wcslen(p) + 1;
    while (p < end) {
        while (p < end && *p != L'\0' && *p <= L' ') p = Next(p);
        if (p >= end) break;
        unsigned int name = static_cast<unsigned int>(p - text);
        while (p < end && *p != L'\0') ++p;
        if (p >= end) break;
        ++p;
        while (p < end && *p != L'\0' && *p <= L' ') p = Next(p);
        if (p >= end || *p != L'"') break;
        ++p;
        m_attributes[m_attributeCount * 2] = name;
        m_attributes[m_attributeCount * 2 + 1] = static_cast<unsigned int>(p - text);
        if (++m_attributeCount == MAX_ATTRIBUTES) break;
        while (p < end && *p != L'\0') ++p;
        ++p;
    }
}

bool CXmlNode::HasAttributes() const
{
    if (m_attributeCount == 0) MapAttributes();
    return m_attributeCount > 0;
}

bool CXmlNode::HasAttribute(const wchar_t* name) const
{
    if (m_owner == nullptr || name == nullptr) return false;
    if (m_attributeCount == 0) MapAttributes();
    for (int i = 0; i < m_attributeCount; ++i)
        if (_wcsicmp(m_owner->m_text + m_attributes[i * 2], name) == 0) return true;
    return false;
}

int CXmlNode::GetAttributeCount() const
{
    if (m_owner == nullptr) return 0;
    if (m_attributeCount == 0) MapAttributes();
    return m_attributeCount;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const
{
    if (m_owner == nullptr) return nullptr;
    if (m_attributeCount == 0) MapAttributes();
    if (index < 0 || index >= m_attributeCount) return L"";
    return m_owner->m_text + m_attributes[index * 2];
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const
{
    if (m_owner == nullptr) return nullptr;
    if (m_attributeCount == 0) MapAttributes();
    if (index < 0 || index >= m_attributeCount) return L"";
    return m_owner->m_text + m_attributes[index * 2 + 1];
}

const wchar_t* CXmlNode::GetAttributeValue(const wchar_t* name) const
{
    if (m_owner == nullptr) return nullptr;
    if (name == nullptr) return L"";
    if (m_attributeCount == 0) MapAttributes();
    for (int i = 0; i < m_attributeCount; ++i)
        if (_wcsicmp(m_owner->m_text + m_attributes[i * 2], name) == 0) return m_owner->m_text + m_attributes[i * 2 + 1];
    return L"";
}

bool CXmlNode::GetAttributeValue(int index, wchar_t* buffer, int max) const
{
    if (m_owner == nullptr) return false;
    if (m_attributeCount == 0) MapAttributes();
    if (index < 0 || index >= m_attributeCount) return false;
    CopyTerminated(buffer, max, m_owner->m_text + m_attributes[index * 2 + 1]);
    return true;
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, int max) const
{
    if (m_owner == nullptr || name == nullptr) return false;
    if (m_attributeCount == 0) MapAttributes();
    for (int i = 0; i < m_attributeCount; ++i) {
        if (_wcsicmp(m_owner->m_text + m_attributes[i * 2], name) == 0) {
            CopyTerminated(buffer, max, m_owner->m_text + m_attributes[i * 2 + 1]);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------
// CXmlDocument

CXmlDocument::CXmlDocument(const wchar_t* text)
    : m_text(nullptr), m_elements(nullptr), m_count(0), m_capacity(0), m_preserveWhitespace(true)
{
    m_errorMessage[0] = L'\0';
    m_errorLocation[0] = L'\0';
    if (text) Load(text);
}

CXmlDocument::~CXmlDocument() { Release(); }

void CXmlDocument::Release()
{
    free(m_text);
    free(m_elements);
    m_text = nullptr;
    m_elements = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CXmlDocument::GetLastErrorMessage(wchar_t* buffer, int max) const { CopyTerminated(buffer, max, m_errorMessage); }
void CXmlDocument::GetLastErrorLocation(wchar_t* buffer, int max) const
{
    CopyTerminated(buffer, max, m_errorLocation);
}

CXmlNode CXmlDocument::GetRoot() { return m_count > 1 ? CXmlNode(this, 1) : CXmlNode(); }

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* location)
{
    CopyTerminated(m_errorMessage, 100, message);
    CopyTerminated(m_errorLocation, 50, location ? location : L"");
    return false;
}

bool CXmlDocument::Load(const wchar_t* text)
{
    Release();
    if (text == nullptr) text = L"";
    size_t n = wcslen(text) + 1;
    m_text = static_cast<wchar_t*>(malloc(n * sizeof(wchar_t)));
    if (m_text == nullptr) return Fail(L"Out of memory", nullptr);
    wmemcpy(m_text, text, n);
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CXmlDocument::LoadFromBytes(const BYTE* bytes, DWORD size, XmlEncoding encoding)
{
    Release();
    if (bytes == nullptr) size = 0;
    if (encoding == XmlEncoding::Unicode) {
        bool little = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
        bool big = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
        if (!little && !big) return Fail(L"Missing byte-order mark", nullptr);
        DWORD count = size / 2 - 1;
        m_text = static_cast<wchar_t*>(malloc((static_cast<size_t>(count) + 1) * sizeof(wchar_t)));
        if (m_text == nullptr) return Fail(L"Out of memory", nullptr);
        // Byte-swapped while copying: the caller's bytes may be read-only (a module resource).
        const BYTE* p = bytes + 2;
        for (DWORD i = 0; i < count; ++i, p += 2)
            m_text[i] = static_cast<wchar_t>(little ? (p[0] | (p[1] << 8)) : ((p[0] << 8) | p[1]));
        m_text[count] = L'\0';
    } else {
        UINT codePage = CP_ACP;
        if (encoding == XmlEncoding::Utf8) {
            codePage = CP_UTF8;
            if (size > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
                bytes += 3;
                size -= 3;
            }
        }
        const char* source = reinterpret_cast<const char*>(bytes);
        int length = size > 0 && size <= 0x7fffffff ? MultiByteToWideChar(codePage, 0, source, static_cast<int>(size),
                                                                          nullptr, 0)
                                                    : 0;
        if (length < 0) length = 0;
        m_text = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
        if (m_text == nullptr) return Fail(L"Out of memory", nullptr);
        if (length > 0) length = MultiByteToWideChar(codePage, 0, source, static_cast<int>(size), m_text, length);
        m_text[length > 0 ? length : 0] = L'\0';
    }
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

bool CXmlDocument::LoadFromFile(const wchar_t* name, XmlEncoding encoding)
{
    Release();
    CUiByteBuffer bytes;
    switch (CUiResourceLocation::ReadSkinFile(name, MAX_FILE_SIZE, &bytes)) {
    case SKIN_READ_OK: break;
    case SKIN_READ_OPEN_FAILED: return Fail(L"Error opening file", nullptr);
    case SKIN_READ_EMPTY: return Fail(L"File is empty", nullptr);
    case SKIN_READ_TOO_LARGE: return Fail(L"File too large", nullptr);
    case SKIN_READ_FAILED: return Fail(L"Could not read file", nullptr);
    case SKIN_READ_ARCHIVE_FAILED: return Fail(L"Error opening zip file", nullptr);
    case SKIN_READ_NOT_FOUND: return Fail(L"Could not find ziped file", nullptr);
    case SKIN_READ_UNZIP_FAILED: return Fail(L"Could not unzip file", nullptr);
    }
    return LoadFromBytes(bytes.GetData(), bytes.GetSize(), encoding);
}

unsigned int CXmlDocument::NewElement()
{
    if (m_count == 0) m_capacity = 0;
    if (m_count >= m_capacity) {
        unsigned int capacity = m_capacity + m_capacity / 2 + 500;
        Element* grown = static_cast<Element*>(realloc(m_elements, capacity * sizeof(Element)));
        if (grown == nullptr) return 0;
        m_elements = grown;
        m_capacity = capacity;
    }
    unsigned int index = m_count++;
    memset(&m_elements[index], 0, sizeof(Element));
    return index;
}

bool CXmlDocument::Parse()
{
    m_count = 0;
    if (NewElement() != 0) return Fail(L"Out of memory", nullptr); // record 0 is reserved
    m_errorMessage[0] = L'\0';
    m_errorLocation[0] = L'\0';
    wchar_t* p = m_text;
    return ParseList(p, 0, 0);
}

bool CXmlDocument::ParseList(wchar_t*& p, unsigned int parent, unsigned int depth)
{
    // Each level is a stack frame here (and in every walker of the tree): a hostile
    // document must not be able to exhaust the stack.
    if (depth > MAX_DEPTH) return Fail(L"Elements nested too deeply", p);
    unsigned int previous = 0;
    SkipWhitespace(p);
    for (;;) {
        // The end of the text is accepted at the top level and directly inside the
        // first element, so a document whose root end tag is missing still loads.
        if (*p == L'\0' && parent <= 1) return true;
        SkipWhitespace(p);
        if (*p != L'<') return Fail(L"Expected start tag", p);
        if (p[1] == L'/') return true; // the end tag of the parent
        *p = L'\0'; // terminates the character data in front of the tag
        ++p;
        SkipWhitespace(p);

        if (*p == L'!' || *p == L'?') { // comment, declaration or processing instruction
            wchar_t first = *p == L'!' ? L'-' : L'?';
            while (*p != L'\0' && !(p[0] == first && p[1] == L'>')) p = Next(p);
            if (*p != L'\0') p += 2;
            SkipWhitespace(p);
            continue;
        }

        SkipWhitespace(p);
        unsigned int element = NewElement();
        if (element == 0) return Fail(L"Out of memory", nullptr);
        m_elements[element].nameStart = static_cast<unsigned int>(p - m_text);
        m_elements[element].parent = parent;
        if (previous != 0) m_elements[previous].nextSibling = element;
        else if (parent > 0) m_elements[parent].firstChild = element;
        previous = element;

        wchar_t* name = p;
        SkipIdentifier(p);
        wchar_t* nameEnd = p;
        if (*p == L'\0') return Fail(L"Error parsing element name", p);
        if (!ParseAttributes(p)) return false;

        SkipWhitespace(p);
        if (p[0] == L'/' && p[1] == L'>') {
            m_elements[element].dataStart = static_cast<unsigned int>(p - m_text);
            *p = L'\0';
            p += 2;
        } else {
            if (*p != L'>') return Fail(L"Expected start-tag closing", p);
            ++p;
            m_elements[element].dataStart = static_cast<unsigned int>(p - m_text);
            wchar_t* dest = p;
            ParseData(p, dest, L'<');
            if (*p == L'\0' && parent <= 1) {
                // An unclosed root: its name and data still need their terminators.
                *dest = L'\0';
                *nameEnd = L'\0';
                return true;
            }
            if (*p != L'<') return Fail(L"Expected end-tag start", p);
            if (p[1] != L'/') {
                if (!ParseList(p, element, depth + 1)) return false;
            }
            if (p[0] == L'<' && p[1] == L'/') {
                *dest = L'\0';
                *p = L'\0';
                p += 2;
                SkipWhitespace(p);
                size_t length = static_cast<size_t>(nameEnd - name);
                if (wcsncmp(p, name, length) != 0) return Fail(L"Unmatched closing tag", p);
                p += length;
                SkipWhitespace(p);
                if (*p != L'>') return Fail(L"Unmatched closing tag", *p ? p + 1 : p);
                ++p;
            }
        }
        *nameEnd = L'\0';
        SkipWhitespace(p);
    }
}

bool CXmlDocument::ParseAttributes(wchar_t*& p)
{
    if (*p == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
    *p = L'\0'; // terminates the element name
    ++p;
    SkipWhitespace(p);
    if (*p == L'\0') return true;
    while (*p != L'>' && *p != L'/') {
        SkipIdentifier(p);
        wchar_t* nameEnd = p;
        SkipWhitespace(p);
        if (*p != L'=') return Fail(L"Error while parsing attributes", p);
        *p = L' ';
        ++p;
        *nameEnd = L'\0';
        SkipWhitespace(p);
        if (*p != L'"') return Fail(L"Expected attribute value", *p ? p + 1 : p);
        ++p;
        wchar_t* dest = p;
        ParseData(p, dest, L'"');
        if (*p == L'\0') return Fail(L"Error while parsing attribute string", p);
        *dest = L'\0';
        if (dest != p) *p = L' ';
        ++p;
        SkipWhitespace(p);
        if (*p == L'\0') break;
    }
    return true;
}

// Decodes character data in place (destination never runs ahead of the source) and
// blanks what decoding freed, so the attribute walk can still step over it.
void CXmlDocument::ParseData(wchar_t*& source, wchar_t*& dest, wchar_t end)
{
    while (*source != L'\0' && *source != end) {
        if (*source == L'&') {
            while (*source == L'&') {
                ++source;
                if (wcsncmp(source, L"amp;", 4) == 0) {
                    *dest++ = L'&';
                    source += 4;
                } else if (wcsncmp(source, L"lt;", 3) == 0) {
                    *dest++ = L'<';
                    source += 3;
                } else if (wcsncmp(source, L"gt;", 3) == 0) {
                    *dest++ = L'>';
                    source += 3;
                } else if (wcsncmp(source, L"quot;", 5) == 0) {
                    *dest++ = L'"';
                    source += 5;
                } else if (wcsncmp(source, L"apos;", 5) == 0) {
                    *dest++ = L'\'';
                    source += 5;
                } else {
                    *dest++ = L'&';
                }
            }
            if (*source == end) break;
        }
        if (*source == L' ') {
            *dest++ = *source++;
            if (!m_preserveWhitespace) SkipWhitespace(source);
        } else {
            wchar_t* next = Next(source);
            while (source < next) *dest++ = *source++;
        }
    }
    for (wchar_t* q = dest + 1; q < source; ++q) *q = L' ';
}

} // namespace SkinUI
