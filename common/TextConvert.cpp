#include "common/TextConvert.h"

#include <vector>

using SkinUI::CUiString;

namespace {

std::string ToNarrow(UINT codePage, const wchar_t* text)
{
    if (text == nullptr) return std::string();
    int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> buffer(size + 1, '\0');
    if (WideCharToMultiByte(codePage, 0, text, -1, buffer.data(), size, nullptr, nullptr) <= 0)
        return std::string();
    return std::string(buffer.data());
}

CUiString ToWide(UINT codePage, const char* text)
{
    if (text == nullptr) return CUiString();
    int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (size <= 0) return CUiString();
    std::vector<wchar_t> buffer(size + 1, L'\0');
    if (MultiByteToWideChar(codePage, 0, text, -1, buffer.data(), size) <= 0) return CUiString();
    return CUiString(buffer.data());
}

} // namespace

std::string WideToAnsi(const wchar_t* text) { return ToNarrow(CP_ACP, text); }
CUiString AnsiToWide(const char* text) { return ToWide(CP_ACP, text); }
CUiString Utf8ToWide(const char* text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(const wchar_t* text) { return ToNarrow(CP_UTF8, text); }
std::string AnsiToUtf8(const char* text) { return WideToUtf8(AnsiToWide(text)); }
std::string Utf8ToAnsi(const char* text) { return WideToAnsi(Utf8ToWide(text)); }
