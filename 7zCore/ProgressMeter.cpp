#include "ProgressMeter.h"

namespace SevenZCore {

namespace {
const unsigned kSteps = 200;
}

CProgressMeter::CProgressMeter(const UnzipProgress& callback, unsigned long long total)
    : m_callback(callback), m_total(total), m_done(0), m_lastStep(0)
{
}

// 0..kSteps; written so that done * kSteps cannot overflow.
unsigned CProgressMeter::Step(unsigned long long done) const
{
    if (done >= m_total) return kSteps;
    if (m_total < kSteps) return static_cast<unsigned>(done * kSteps / m_total);
    return static_cast<unsigned>(done / (m_total / kSteps + (m_total % kSteps != 0)));
}

void CProgressMeter::Report(unsigned long long done)
{
    if (m_callback) m_callback(done, m_total);
}

void CProgressMeter::Start()
{
    if (m_total > 0) Report(0);
}

void CProgressMeter::Advance(unsigned long long bytes)
{
    // An archive whose data outgrow the sizes in its header never pushes done
    // to total before Finish.
    m_done = (bytes >= m_total - m_done) ? m_total : m_done + bytes;
    unsigned step = Step(m_done);
    if (step > m_lastStep && m_done < m_total) {
        m_lastStep = step;
        Report(m_done);
    }
}

void CProgressMeter::Finish()
{
    m_done = m_total;
    Report(m_total);
}

} // namespace SevenZCore
