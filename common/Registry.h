#pragma once
// Registry access (one open key per object) and the product's entry in the
// system's list of installed programs.
#include "ui/core/UiString.h"

#include <windows.h>

// Owns at most one open key. Every operation that reaches the registry
// returns the Win32 status of its call (0 = success); without an open key the
// call gets a null key and its error status comes back as is.
class KEReg2 {
public:
    KEReg2();
    virtual ~KEReg2();
    KEReg2(const KEReg2&) = delete;
    KEReg2& operator=(const KEReg2&) = delete;

    // Creates or opens the key; a key already held is closed first.
    LONG CreateKey(HKEY root, const wchar_t* subKey, REGSAM access);
    // Opens an existing key for setting values, in the 64-bit view under
    // WOW64 and in the 32-bit view otherwise.
    LONG OpenKeyForWrite(HKEY root, const wchar_t* subKey);
    void CloseKey();

    LONG DeleteValue(const wchar_t* name);
    // The out value is written only on success.
    LONG QueryDword(const wchar_t* name, DWORD* value);
    // Reads at most 256 UTF-16 units; longer values fail with ERROR_MORE_DATA.
    LONG QueryString(const wchar_t* name, SkinUI::CUiString* value);
    LONG QueryRaw(const wchar_t* name, void* buffer, DWORD* byteCount);
    // REG_SZ with its terminating null character.
    LONG SetString(const wchar_t* name, const wchar_t* text);
    LONG SetDword(const wchar_t* name, DWORD value);
    LONG SetBinary(const wchar_t* name, const void* bytes, DWORD byteCount);

    const SkinUI::CUiString& GetKeyPath() const { return m_keyPath; }
    HKEY GetKey() const { return m_key; }

private:
    SkinUI::CUiString m_keyPath;
    HKEY m_key;
};

// HKLM sub-key of the uninstall entry: the Wow6432Node branch under WOW64.
SkinUI::CUiString GetUninstallEntryKeyPath();

// Writes DisplayName, DisplayIcon, UninstallString (the uninstaller path in
// double quotes), InstallLocation, DisplayVersion and Publisher for the
// product folder (no trailing separator). Silent when the key cannot be
// created, as without administrative rights.
void RegisterUninstallEntry(const wchar_t* productFolder);
