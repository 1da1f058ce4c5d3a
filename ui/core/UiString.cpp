#include "ui/core/UiString.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace SkinUI {

namespace {
const int kInlineMax = CUiString::INLINE_SIZE - 1; // 63: from here on text goes to the heap
}

CUiString::CUiString() : m_data(m_inline) { m_inline[0] = L'\0'; }

CUiString::CUiString(wchar_t ch) : m_data(m_inline)
{
    m_inline[0] = ch;
    m_inline[1] = L'\0';
}

CUiString::CUiString(const wchar_t* text, int length) : m_data(m_inline)
{
    m_inline[0] = L'\0';
    Assign(text, length);
}

CUiString::CUiString(const CUiString& other) : m_data(m_inline)
{
    m_inline[0] = L'\0';
    Assign(other.m_data);
}

CUiString::~CUiString()
{
    if (m_data != m_inline) free(m_data);
}

bool CUiString::PointsInto(const wchar_t* text) const
{
    return m_data != m_inline && text >= m_data && text <= m_data + wcslen(m_data);
}

int CUiString::GetLength() const { return static_cast<int>(wcslen(m_data)); }

void CUiString::Assign(const wchar_t* text, int length)
{
    if (text == nullptr) text = L"";
    if (length < 0) length = static_cast<int>(wcslen(text));
    if (length < kInlineMax) {
        // The source may be our own heap block: copy before freeing it.
        if (m_data != m_inline) {
            wchar_t* old = m_data;
            wmemmove(m_inline, text, length);
            m_inline[length] = L'\0';
            m_data = m_inline;
            free(old);
            return;
        }
    } else if (GetLength() < length || m_data == m_inline) {
        if (m_data == m_inline) {
            m_data = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
        } else if (PointsInto(text)) {
            // realloc may move the block the text lives in.
            CUiString copy(text, length);
            Assign(copy.m_data, length);
            return;
        } else {
            m_data = static_cast<wchar_t*>(realloc(m_data, (length + 1) * sizeof(wchar_t)));
        }
    }
    wmemmove(m_data, text, length);
    m_data[length] = L'\0';
}

void CUiString::AssignAnsi(const char* text)
{
    if (text == nullptr) {
        Empty();
        return;
    }
    int needed = MultiByteToWideChar(GetACP(), 0, text, -1, nullptr, 0);
    if (needed <= 0) {
        Empty();
        return;
    }
    // Small text converts on the stack; a long text must not overflow it.
    wchar_t local[512];
    wchar_t* buffer = needed <= 512 ? local : static_cast<wchar_t*>(malloc(needed * sizeof(wchar_t)));
    if (buffer == nullptr) {
        Empty();
        return;
    }
    MultiByteToWideChar(GetACP(), 0, text, -1, buffer, needed);
    Assign(buffer);
    if (buffer != local) free(buffer);
}

void CUiString::Append(const wchar_t* text)
{
    if (text == nullptr) return;
    int k = GetLength();
    int m = static_cast<int>(wcslen(text));
    if (m == 0) return;
    int total = k + m;
    if (total < kInlineMax) {
        if (m_data != m_inline) {
            wchar_t* old = m_data;
            wmemcpy(m_inline, old, k);
            wmemmove(m_inline + k, text, m);
            m_inline[total] = L'\0';
            m_data = m_inline;
            free(old);
            return;
        }
        wmemmove(m_inline + k, text, m);
        m_inline[total] = L'\0';
        return;
    }
    if (m_data == m_inline) {
        wchar_t* block = static_cast<wchar_t*>(malloc((total + 1) * sizeof(wchar_t)));
        wmemcpy(block, m_inline, k);
        wmemcpy(block + k, text, m);
        block[total] = L'\0';
        m_data = block;
        return;
    }
    if (PointsInto(text)) {
        // realloc may move the block the text lives in.
        CUiString copy(text);
        Append(copy.m_data);
        return;
    }
    m_data = static_cast<wchar_t*>(realloc(m_data, (total + 1) * sizeof(wchar_t)));
    wmemcpy(m_data + k, text, m);
    m_data[total] = L'\0';
}

void CUiString::Append(wchar_t ch)
{
    wchar_t text[2] = {ch, L'\0'};
    Append(text);
}

void CUiString::AppendAnsi(const char* text)
{
    if (text == nullptr) return;
    CUiString wide;
    wide.AssignAnsi(text);
    Append(wide.m_data);
}

void CUiString::Empty()
{
    if (m_data != m_inline) free(m_data);
    m_data = m_inline;
    m_inline[0] = L'\0';
}

CUiString& CUiString::operator=(const CUiString& other)
{
    if (this != &other) Assign(other.m_data);
    return *this;
}
CUiString& CUiString::operator=(const wchar_t* text) { Assign(text); return *this; }
CUiString& CUiString::operator=(wchar_t ch) { wchar_t t[2] = {ch, 0}; Assign(t); return *this; }
CUiString& CUiString::operator=(const char* ansi) { AssignAnsi(ansi); return *this; }
CUiString& CUiString::operator+=(const CUiString& other)
{
    if (this == &other) {
        CUiString copy(other);
        Append(copy.m_data);
    } else {
        Append(other.m_data);
    }
    return *this;
}
CUiString& CUiString::operator+=(const wchar_t* text) { Append(text); return *this; }
CUiString& CUiString::operator+=(wchar_t ch) { Append(ch); return *this; }
CUiString& CUiString::operator+=(const char* ansi) { AppendAnsi(ansi); return *this; }

int CUiString::Compare(const wchar_t* text) const
{
    if (text == nullptr) text = L"";
    const wchar_t* a = m_data;
    // Ordinal over UTF-16 code units, independent of wchar_t's signedness.
    while (*a && *a == *text) { ++a; ++text; }
    unsigned ua = static_cast<unsigned short>(*a), ub = static_cast<unsigned short>(*text);
    return ua < ub ? -1 : (ua > ub ? 1 : 0);
}

int CUiString::CompareNoCase(const wchar_t* text) const
{
    return _wcsicmp(m_data, text ? text : L"");
}

void CUiString::MakeLower() { _wcslwr(m_data); }
void CUiString::MakeUpper() { _wcsupr(m_data); }
CUiString CUiString::ToLower() const { CUiString s(*this); s.MakeLower(); return s; }
CUiString CUiString::ToUpper() const { CUiString s(*this); s.MakeUpper(); return s; }

CUiString CUiString::Left(int count) const
{
    int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUiString(m_data, count);
}

CUiString CUiString::Mid(int start, int count) const
{
    int length = GetLength();
    if (start < 0) start = 0;
    if (start > length) start = length;
    if (count < 0) count = length - start;
    if (start + count > length) count = length - start;
    if (count <= 0) return CUiString();
    return CUiString(m_data + start, count);
}

CUiString CUiString::Right(int count) const
{
    int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUiString(m_data + length - count, count);
}

int CUiString::Find(const wchar_t* text, int start) const
{
    if (text == nullptr) return -1;
    if (start != 0 && (start < 0 || start > GetLength())) return -1;
    const wchar_t* hit = wcsstr(m_data + start, text);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CUiString::Find(wchar_t ch, int start) const
{
    if (start != 0 && (start < 0 || start >= GetLength())) return -1;
    const wchar_t* hit = wcschr(m_data + start, ch);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CUiString::ReverseFind(wchar_t ch) const
{
    const wchar_t* hit = wcsrchr(m_data, ch);
    return hit ? static_cast<int>(hit - m_data) : -1;
}

int CUiString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (from == nullptr || from[0] == L'\0') return 0;
    if (to == nullptr) to = L"";
    // Work on copies: either argument may point into this string.
    CUiString fromCopy(from), toCopy(to);
    int fromLength = fromCopy.GetLength();
    int toLength = toCopy.GetLength();
    int count = 0;
    int position = Find(fromCopy.m_data, 0);
    while (position >= 0) {
        CUiString rebuilt = Left(position);
        rebuilt.Append(toCopy.m_data);
        rebuilt.Append(m_data + position + fromLength);
        Assign(rebuilt.m_data);
        ++count;
        position = Find(fromCopy.m_data, position + toLength);
    }
    return count;
}

int CUiString::FormatV(const wchar_t* format, va_list args)
{
    if (format == nullptr) return -1;
    va_list measure;
    va_copy(measure, args);
    int needed = _vscwprintf(format, measure);
    va_end(measure);
    if (needed < 0) return -1;
    wchar_t* buffer = static_cast<wchar_t*>(malloc((needed + 1) * sizeof(wchar_t)));
    if (buffer == nullptr) return -1;
    int written = _vsnwprintf(buffer, needed + 1, format, args);
    if (written >= 0) {
        buffer[written] = L'\0';
        Assign(buffer, written);
    }
    free(buffer);
    return written;
}

int CUiString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = FormatV(format, args);
    va_end(args);
    return result;
}

int CUiString::FormatShort(const wchar_t* format, ...)
{
    wchar_t buffer[128];
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf(buffer, 127, format, args);
    va_end(args);
    buffer[127] = L'\0';
    if (written < 0 || written > 127) written = 127;
    buffer[written] = L'\0';
    Assign(buffer);
    return written;
}

CUiString operator+(const CUiString& left, const CUiString& right)
{
    CUiString result(left);
    result.Append(right.GetData());
    return result;
}

CUiString operator+(const CUiString& left, const wchar_t* right)
{
    CUiString result(left);
    result.Append(right);
    return result;
}

} // namespace SkinUI
