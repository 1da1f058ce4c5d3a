#pragma once
// Ending the session and powering the machine down. These act on the whole
// machine; the system calls go through SystemCalls() (common/SystemCalls.h).

// Enables SeShutdownPrivilege in the process token.
bool EnableShutdownPrivilege();
// Forced log-off, reboot and power-off; true when the privilege was enabled
// and the system accepted the request.
bool ForceLogOff();
bool ForceReboot();
bool ForcePowerOff();
// Forced hibernation; true when the privilege was enabled (the system's
// answer is not waited for).
bool Hibernate();
