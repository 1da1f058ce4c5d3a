#pragma once
// Helpers shared by the extraction tests: fixture paths and the ANSI paths the
// library takes.
#include "support/TestSupport.h"

#include <windows.h>

#include <string>

namespace ExtractTest {

inline std::wstring Fixture(const wchar_t* name)
{
    return TestSupport::TestDataFolder() + L"extract\\" + name;
}

inline std::string Ansi(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

inline std::wstring NoSlash(std::wstring path)
{
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

} // namespace ExtractTest
