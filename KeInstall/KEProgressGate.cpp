#include "KeInstall/KEProgressGate.h"

namespace {
// Refreshing may take an eighth of the time between refreshes...
const DWORD kCostShare = 8;
// ...but the page moves at least four times a second however slow it paints.
const DWORD kLongestIntervalMs = 250;
} // namespace

DWORD CKEProgressGate::Interval() const
{
    DWORD stretched = m_cost > kLongestIntervalMs / kCostShare ? kLongestIntervalMs : m_cost * kCostShare;
    if (stretched < m_interval) stretched = m_interval;
    return stretched;
}

DWORD CKEProgressGate::Due(DWORD now)
{
    // Unsigned difference: right across the tick count's wrap.
    const DWORD since = now - m_lastRefresh;
    const DWORD interval = Interval();
    if (m_refreshed && since < interval) return interval - since;
    m_refreshed = true;
    m_lastRefresh = now;
    // Cleared before the page loads the counters: a report stored after that
    // load finds the gate open and sends a notice of its own.
    m_pending.store(false);
    return 0;
}
