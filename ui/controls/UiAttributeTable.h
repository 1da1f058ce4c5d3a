#pragma once
// Skin attribute values and the per-class attribute tables.
//
// Every control class keeps one table from attribute name to a small setter and
// falls back to its base class for names it does not list:
//
//   static const UiAttribute<CButtonUI> kButtonAttributes[] = {
//       {L"hotimage", [](CButtonUI& c, const wchar_t* v) { c.AssignHotImage(v); }},
//   };
//   void CButtonUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
//       if (!ApplyFromTable(kButtonAttributes, *this, name, value))
//           CLabelUI::ApplyAttribute(name, value);
//   }
//
// Values are read leniently: malformed numbers are 0, missing list items are 0.
#include <windows.h>
#include <cwchar>

namespace SkinUI {

namespace UiParse {

// Decimal integer at the front of the text (0 when there is none).
int Int(const wchar_t* text);
// Comma-separated decimal integers into out[0..count); missing ones are 0.
// Returns the number of values actually present.
int IntList(const wchar_t* text, int* out, int count);
RECT Rect(const wchar_t* text);      // "l,t,r,b"
SIZE Size(const wchar_t* text);      // "cx,cy"
// "#AARRGGBB". skipBlanks: leading characters at or below the space are skipped
// first (most colour attributes do; the border colours historically do not).
DWORD Color(const wchar_t* text, bool skipBlanks = true);
// True exactly for "true", ignoring case.
bool Bool(const wchar_t* text);
inline bool HasComma(const wchar_t* text) { return text && wcschr(text, L',') != nullptr; }

} // namespace UiParse

template <class T>
struct UiAttribute {
    const wchar_t* name;
    void (*apply)(T& control, const wchar_t* value);
};

// Applies the entry named `name` (ignoring case); false when the table has none.
template <class T, class C, size_t N>
bool ApplyFromTable(const UiAttribute<T> (&table)[N], C& control, const wchar_t* name,
                    const wchar_t* value)
{
    for (size_t i = 0; i < N; ++i) {
        if (_wcsicmp(table[i].name, name) == 0) {
            table[i].apply(control, value ? value : L"");
            return true;
        }
    }
    return false;
}

} // namespace SkinUI
