#include "KeInstall/KEProgressGate.h"

DWORD CKEProgressGate::Due(DWORD now)
{
    // Unsigned difference: right across the tick count's wrap.
    const DWORD since = now - m_lastRefresh;
    if (m_refreshed && since < m_interval) return m_interval - since;
    m_refreshed = true;
    m_lastRefresh = now;
    // Cleared before the page loads the counters: a report stored after that
    // load finds the gate open and sends a notice of its own.
    m_pending.store(false);
    return 0;
}
