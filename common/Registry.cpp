#include "common/Registry.h"

#include "common/SystemInfo.h"

using SkinUI::CUiString;

namespace {

const wchar_t kUninstallParent[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kUninstallParentWow64[] = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The product's fixed identity in the program list; never generated.
const wchar_t kUninstallEntryName[] = L"{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}";

const wchar_t kDisplayName[] = L"Velkaro";
const wchar_t kDisplayVersion[] = L"5.3.1.0";
const wchar_t kPublisher[] = L"Quorlith";
const wchar_t kProductExe[] = L"\\DUDavov.exe";
const wchar_t kUninstallerExe[] = L"\\DEZeRodurav.exe";

} // namespace

KEReg2::KEReg2() : m_key(nullptr) {}

KEReg2::~KEReg2() { CloseKey(); }

LONG KEReg2::CreateKey(HKEY root, const wchar_t* subKey, REGSAM access)
{
    CloseKey();
    m_keyPath = subKey;
    return RegCreateKeyExW(root, subKey, 0, nullptr, 0, access, nullptr, &m_key, nullptr);
}

LONG KEReg2::OpenKeyForWrite(HKEY root, const wchar_t* subKey)
{
    CloseKey();
    REGSAM access = KEY_SET_VALUE | (IsWow64() ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    return RegOpenKeyExW(root, subKey, 0, access, &m_key);
}

void KEReg2::CloseKey()
{
    if (m_key == nullptr) return;
    RegCloseKey(m_key);
    m_key = nullptr;
}

LONG KEReg2::DeleteValue(const wchar_t* name) { return RegDeleteValueW(m_key, name); }

LONG KEReg2::QueryDword(const wchar_t* name, DWORD* value)
{
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG status = RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
    if (status == ERROR_SUCCESS && value != nullptr) *value = data;
    return status;
}

LONG KEReg2::QueryString(const wchar_t* name, CUiString* value)
{
    // One unit beyond the 512 bytes asked for, so a value stored without its
    // terminator still ends.
    wchar_t buffer[257] = {};
    DWORD size = 512;
    LONG status = RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    if (status == ERROR_SUCCESS && value != nullptr) value->Assign(buffer);
    return status;
}

LONG KEReg2::QueryRaw(const wchar_t* name, void* buffer, DWORD* byteCount)
{
    return RegQueryValueExW(m_key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), byteCount);
}

LONG KEReg2::SetString(const wchar_t* name, const wchar_t* text)
{
    if (text == nullptr) text = L"";
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

LONG KEReg2::SetDword(const wchar_t* name, DWORD value)
{
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG KEReg2::SetBinary(const wchar_t* name, const void* bytes, DWORD byteCount)
{
    return RegSetValueExW(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), byteCount);
}

CUiString GetUninstallEntryKeyPath()
{
    CUiString path;
    path.Format(L"%s\\%s", IsWow64() ? kUninstallParentWow64 : kUninstallParent, kUninstallEntryName);
    return path;
}

void RegisterUninstallEntry(const wchar_t* productFolder)
{
    if (productFolder == nullptr) productFolder = L"";
    KEReg2 reg;
    // No view flag: under WOW64 the path itself names the 32-bit branch.
    if (reg.CreateKey(HKEY_LOCAL_MACHINE, GetUninstallEntryKeyPath(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return;

    CUiString icon(productFolder);
    icon.Append(kProductExe);
    // Quoted: the program list runs this as a command line, and an unquoted
    // path with spaces ("C:\Program Files (x86)\...") would let C:\Program.exe
    // start in place of the uninstaller.
    CUiString uninstall(L"\"");
    uninstall.Append(productFolder);
    uninstall.Append(kUninstallerExe);
    uninstall.Append(L"\"");

    // A failed write does not stop the ones after it.
    reg.SetString(L"DisplayName", kDisplayName);
    reg.SetString(L"DisplayIcon", icon);
    reg.SetString(L"UninstallString", uninstall);
    reg.SetString(L"InstallLocation", productFolder);
    reg.SetString(L"DisplayVersion", kDisplayVersion);
    reg.SetString(L"Publisher", kPublisher);
    reg.CloseKey();
}
