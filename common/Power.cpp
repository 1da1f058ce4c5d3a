#include "common/Power.h"

#include "common/ScopedHandle.h"
#include "common/SystemCalls.h"

namespace {

const DWORD kReasonApplication = 0x40000;  // SHTDN_REASON_MAJOR_APPLICATION

bool ExitWithFlags(UINT flags)
{
    if (!EnableShutdownPrivilege()) return false;
    return SystemCalls().exitWindowsEx(flags, kReasonApplication) != FALSE;
}

} // namespace

bool EnableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token)) return false;
    CKEScopedHandle owner(token);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
    return AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

bool ForceLogOff() { return ExitWithFlags(EWX_FORCE | EWX_LOGOFF); }
bool ForceReboot() { return ExitWithFlags(EWX_FORCE | EWX_REBOOT); }
bool ForcePowerOff() { return ExitWithFlags(EWX_FORCE | EWX_POWEROFF); }

bool Hibernate()
{
    if (!EnableShutdownPrivilege()) return false;
    SystemCalls().setSystemPowerState(FALSE, TRUE);
    return true;
}
