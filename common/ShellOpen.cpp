#include "common/ShellOpen.h"

#include "common/Log.h"
#include "common/SystemCalls.h"

#include <shellapi.h>

INT_PTR OpenWithShell(const wchar_t* target)
{
    return reinterpret_cast<INT_PTR>(SystemCalls().shellExecute(nullptr, L"open", target, nullptr, nullptr, SW_SHOW));
}

INT_PTR ReportShellExecuteError(INT_PTR code)
{
    if (code > 32) return code;
    const wchar_t* text = nullptr;
    switch (code) {
    case 0: text = L"The operating system is out of memory or resources."; break;
    case ERROR_FILE_NOT_FOUND: text = L"The specified file was not found."; break;
    case ERROR_PATH_NOT_FOUND: text = L"The specified path was not found."; break;
    case SE_ERR_ACCESSDENIED: text = L"The operating system denied access to the specified file."; break;
    case SE_ERR_OOM: text = L"There was not enough memory to complete the operation."; break;
    case ERROR_BAD_FORMAT: text = L"The .exe file is invalid (non-Win32? .exe or error in .exe image)."; break;
    case SE_ERR_SHARE: text = L"A sharing violation occurred."; break;
    case SE_ERR_ASSOCINCOMPLETE: text = L"The file name association is incomplete or invalid."; break;
    case SE_ERR_DDETIMEOUT: text = L"The DDE transaction could not be completed because the request timed out."; break;
    case SE_ERR_DDEFAIL: text = L"The DDE transaction failed."; break;
    case SE_ERR_DDEBUSY:
        text = L"The DDE transaction could not be completed because other DDE transactions were being processed.";
        break;
    case SE_ERR_NOASSOC: text = L"There is no application associated with the given file name extension."; break;
    case SE_ERR_DLLNOTFOUND: text = L"The specified dynamic-link library was not found."; break;
    default: LogFormat(L"Unknow error %ld", static_cast<long>(code)); return code;
    }
    // The text goes through as the format; none of them holds a "%".
    LogFormat(text);
    return code;
}
