#include "common/SystemInfo.h"

#include <windows.h>

bool IsWow64()
{
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (kernel == nullptr) return false;
    // Looked up at run time: the export is missing on the oldest systems.
    IsWow64ProcessFn isWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    if (isWow64Process == nullptr) return false;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64)) return false;
    return wow64 != FALSE;
}

bool IsNative64BitOs()
{
    typedef void(WINAPI * GetNativeSystemInfoFn)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    HMODULE kernel = LoadLibraryW(L"kernel32.dll");
    GetNativeSystemInfoFn getNative = nullptr;
    if (kernel != nullptr)
        getNative = reinterpret_cast<GetNativeSystemInfoFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (getNative != nullptr)
        getNative(&info);
    else
        GetSystemInfo(&info);
    if (kernel != nullptr) FreeLibrary(kernel);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
        || info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool IsWindowsVersion(unsigned major, unsigned minor)
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    ULONGLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

bool IsWindows10() { return IsWindowsVersion(10, 0); }
