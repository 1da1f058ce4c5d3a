#include "common/Identity.h"

#include <objbase.h>
#include <iphlpapi.h>
#include <string.h>

#include <vector>

using SkinUI::CUiString;

CUiString FormatNewGuid(bool withBraces)
{
    GUID guid = {};
    CUiString text;
    if (FAILED(CoCreateGuid(&guid))) return text;
    const BYTE* d = guid.Data4;
    if (withBraces)
        text.Format(L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(guid.Data1),
                    guid.Data2, guid.Data3, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
    else
        text.Format(L"%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.Data1), guid.Data2,
                    guid.Data3, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
    return text;
}

bool GetMacAddress(CUiString* ethernet, CUiString* wireless, CUiString* bluetooth)
{
    ULONG size = 648;
    std::vector<BYTE> buffer;
    try {
        buffer.resize(size);
        if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) == ERROR_BUFFER_OVERFLOW)
            buffer.assign(size, 0);
    } catch (...) {
        return false;
    }

    if (ethernet != nullptr) ethernet->Empty();
    if (wireless != nullptr) wireless->Empty();
    if (bluetooth != nullptr) bluetooth->Empty();

    size = static_cast<ULONG>(buffer.size());
    if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) != ERROR_SUCCESS) return false;
    bool found = false;
    for (const IP_ADAPTER_INFO* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); adapter != nullptr;
         adapter = adapter->Next) {
        if (adapter->Type != MIB_IF_TYPE_ETHERNET || strstr(adapter->Description, "Bluetooth") != nullptr
            || adapter->AddressLength != 6)
            continue;
        found = true;
        if (ethernet != nullptr && ethernet->IsEmpty()) {
            const BYTE* a = adapter->Address;
            ethernet->Format(L"%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
        }
    }
    return found;
}
