#pragma once
// Rations progress reports: (0, total) once when there is anything to unpack,
// then one report per half percent, and (total, total) only from Finish, so a
// caller never takes a run that later fails for a finished one. Whatever the
// payload size, a run makes at most 201 reports.
#include "UnzipCore7z.h"

namespace SevenZCore {

class CProgressMeter {
public:
    CProgressMeter(const UnzipProgress& callback, unsigned long long total);

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
};

} // namespace SevenZCore
