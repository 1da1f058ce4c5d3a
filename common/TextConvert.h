#pragma once
// Conversions between UTF-16, the system ANSI code page and UTF-8. Each stops
// at the first NUL; a failed conversion gives empty text.
#include "ui/core/UiString.h"

#include <string>

// Characters the ANSI code page cannot hold become its default character
// ("?" on most systems), one for one.
std::string WideToAnsi(const wchar_t* text);
SkinUI::CUiString AnsiToWide(const char* text);
SkinUI::CUiString Utf8ToWide(const char* text);
std::string WideToUtf8(const wchar_t* text);
std::string AnsiToUtf8(const char* text);
std::string Utf8ToAnsi(const char* text);
