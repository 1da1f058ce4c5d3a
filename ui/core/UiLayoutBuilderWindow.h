#pragma once
// The builder's side of the skin vocabulary for the root Window element, and the
// lenient value readers that it and the resource elements share.
#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;

namespace SkinValue {
// Decimal integers separated by one arbitrary character each. Missing or
// malformed numbers read as 0; never reads past the terminator.
void ReadInts(const wchar_t* value, int* out, int count);
// Hexadecimal with an optional leading '#'.
DWORD ReadHex(const wchar_t* value);
// True exactly for "true", ignoring case.
bool ReadBool(const wchar_t* value);
} // namespace SkinValue

// Applies one attribute of the root Window element to the manager; false for a
// name the vocabulary does not have (or one written in the wrong case where the
// case matters).
bool ApplyWindowAttribute(CPaintManagerUI& manager, const wchar_t* name, const wchar_t* value);

} // namespace SkinUI
