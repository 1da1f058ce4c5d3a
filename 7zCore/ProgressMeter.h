#pragma once
// Rations progress reports: (0, total) once when there is anything to unpack,
// then at most one report per half percent, and (total, total) only from
// Finish, so a caller never takes a run that later fails for a finished one.
// Whatever the payload size, a run makes at most 201 reports. With a minimum
// spacing, a fast run also reports no more often than that: each report costs
// the caller a log entry and a repaint, and no one sees more than a few a
// second; a slow run still reports every half percent.
#include "UnzipCore7z.h"

namespace SevenZCore {

class CProgressMeter {
public:
    // Milliseconds, from any fixed origin.
    typedef unsigned long long (*Clock)();

    // spacingMs 0: no minimum spacing. clock null: the system's tick count.
    CProgressMeter(const UnzipProgress& callback, unsigned long long total, unsigned spacingMs = 0,
                   Clock clock = nullptr);

    void Start();
    void Advance(unsigned long long bytes);
    void Finish();

    unsigned long long Done() const { return m_done; }
    unsigned long long Total() const { return m_total; }

private:
    unsigned Step(unsigned long long done) const;
    void Report(unsigned long long done);

    const UnzipProgress& m_callback;
    unsigned long long m_total;
    unsigned long long m_done;
    unsigned m_lastStep;
    unsigned m_spacing;
    Clock m_clock;
    unsigned long long m_lastReport;
};

} // namespace SevenZCore
