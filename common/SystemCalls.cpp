#include "common/SystemCalls.h"

#include <shellapi.h>

KESystemCalls& SystemCalls()
{
    static KESystemCalls calls = {&ExitWindowsEx, &SetSystemPowerState, &ShellExecuteW};
    return calls;
}
