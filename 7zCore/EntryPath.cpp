#include "EntryPath.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace SevenZCore {

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// Device names are special in every folder and with any extension.
bool IsDeviceName(const std::wstring& component)
{
    std::wstring stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    static const wchar_t* const kPlain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : kPlain)
        if (_wcsicmp(stem.c_str(), name) == 0) return true;
    if (stem.size() == 4 && (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0))
        return stem[3] >= L'0' && stem[3] <= L'9';
    return false;
}

bool IsAcceptableComponent(const std::wstring& component)
{
    for (wchar_t c : component) {
        if (c < 0x20 || wcschr(L"<>:\"|?*", c) != nullptr) return false;
    }
    wchar_t last = component.back();
    if (last == L'.' || last == L' ') return false;
    return !IsDeviceName(component);
}

// Splits on either separator, dropping empty and "." components.
std::vector<std::wstring> Split(const wchar_t* text)
{
    std::vector<std::wstring> parts;
    std::wstring current;
    for (const wchar_t* p = text;; ++p) {
        if (*p == L'\0' || IsSeparator(*p)) {
            if (!current.empty() && current != L".") parts.push_back(current);
            current.clear();
            if (*p == L'\0') break;
        } else {
            current += *p;
        }
    }
    return parts;
}

} // namespace

bool MakeSafeRelativePath(const wchar_t* name, std::wstring* relative)
{
    relative->clear();
    if (name == nullptr || name[0] == L'\0' || IsSeparator(name[0])) return false;
    std::vector<std::wstring> parts = Split(name);
    if (parts.empty()) return false;
    for (const std::wstring& part : parts) {
        if (part == L".." || !IsAcceptableComponent(part)) return false;
        if (!relative->empty()) *relative += L'\\';
        *relative += part;
    }
    return true;
}

std::wstring FoldCase(const std::wstring& path)
{
    std::wstring folded = path;
    if (!folded.empty()) CharLowerBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

bool IsLinkTargetInside(const std::wstring& linkRelative, const wchar_t* target, const std::set<std::wstring>& links)
{
    if (target == nullptr || target[0] == L'\0' || IsSeparator(target[0]) || wcschr(target, L':') != nullptr)
        return false;
    std::vector<std::wstring> path = Split(linkRelative.c_str());
    if (path.empty()) return false;
    path.pop_back();
    std::wstring walked;
    for (const std::wstring& part : path) {
        walked += (walked.empty() ? L"" : L"\\") + part;
        if (links.count(FoldCase(walked))) return false;
    }
    std::vector<std::wstring> steps = Split(target);
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::wstring& part = steps[i];
        // "..." and the like are not climbs to Windows, but nothing makes them safe either.
        if (part.find_first_not_of(L'.') == std::wstring::npos && part != L"..") return false;
        if (part == L"..") {
            if (path.empty()) return false;
            path.pop_back();
        } else {
            path.push_back(part);
        }
        if (i + 1 == steps.size() || path.empty()) continue;
        walked.clear();
        for (const std::wstring& p : path) walked += (walked.empty() ? L"" : L"\\") + p;
        if (links.count(FoldCase(walked))) return false;
    }
    return true;
}

bool ResolveLinkTarget(const std::wstring& linkRelative, const wchar_t* target, std::wstring* resolved)
{
    resolved->clear();
    std::set<std::wstring> none;
    if (!IsLinkTargetInside(linkRelative, target, none)) return false;
    std::vector<std::wstring> path = Split(linkRelative.c_str());
    path.pop_back();
    for (const std::wstring& part : Split(target)) {
        if (part == L"..") path.pop_back();
        else path.push_back(part);
    }
    for (const std::wstring& part : path) *resolved += (resolved->empty() ? L"" : L"\\") + part;
    return true;
}

} // namespace SevenZCore
