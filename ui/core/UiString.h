#pragma once
// The framework's wide string: short text (the common case for names and
// attribute values) lives in an inline buffer and never touches the heap.
#include <windows.h>

namespace SkinUI {

class CUiString {
public:
    enum { INLINE_SIZE = 64 };

    CUiString();
    CUiString(wchar_t ch);
    CUiString(const wchar_t* text, int length = -1);
    CUiString(const CUiString& other);
    ~CUiString();

    void Assign(const wchar_t* text, int length = -1);
    void AssignAnsi(const char* text);
    void Append(const wchar_t* text);
    void Append(wchar_t ch);
    void AppendAnsi(const char* text);
    void Empty();

    int GetLength() const;
    bool IsEmpty() const { return m_data[0] == L'\0'; }
    const wchar_t* GetData() const { return m_data; }
    wchar_t GetAt(int index) const { return m_data[index]; }
    wchar_t operator[](int index) const { return m_data[index]; }
    operator const wchar_t*() const { return m_data; }
    // Writable view of the buffer; callers may shorten the text in place.
    wchar_t* GetBuffer() { return m_data; }

    CUiString& operator=(const CUiString& other);
    CUiString& operator=(const wchar_t* text);
    CUiString& operator=(wchar_t ch);
    CUiString& operator=(const char* ansi);
    CUiString& operator+=(const CUiString& other);
    CUiString& operator+=(const wchar_t* text);
    CUiString& operator+=(wchar_t ch);
    CUiString& operator+=(const char* ansi);

    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    bool operator<(const wchar_t* text) const { return Compare(text) < 0; }
    bool operator<=(const wchar_t* text) const { return Compare(text) <= 0; }
    bool operator>(const wchar_t* text) const { return Compare(text) > 0; }
    bool operator>=(const wchar_t* text) const { return Compare(text) >= 0; }

    void MakeLower();
    void MakeUpper();
    CUiString ToLower() const;
    CUiString ToUpper() const;

    CUiString Left(int count) const;
    CUiString Mid(int start, int count = -1) const;
    CUiString Right(int count) const;

    int Find(const wchar_t* text, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(const wchar_t* from, const wchar_t* to);

    int Format(const wchar_t* format, ...);
    int FormatV(const wchar_t* format, va_list args);
    int FormatShort(const wchar_t* format, ...);

    bool IsInline() const { return m_data == m_inline; }

private:
    bool PointsInto(const wchar_t* text) const;

    wchar_t* m_data;
    wchar_t m_inline[INLINE_SIZE];
};

CUiString operator+(const CUiString& left, const CUiString& right);
CUiString operator+(const CUiString& left, const wchar_t* right);

} // namespace SkinUI
