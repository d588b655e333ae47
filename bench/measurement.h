#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace grelm::bench {

/// The figures of one measured run over a corpus folder.
struct Measurement {
    int files = 0;
    double megapixels = 0;
    double seconds = 0;
    double cpuSeconds = 0;      ///< CPU time of all the process's threads over the same span
    double windowCpuSeconds = -1; ///< CPU time of the window's thread alone; -1 when not a windowed run
    long peakKiB = -1;          ///< VmHWM of the process that ran it; -1 when unknown
    double longestGapMs = -1;   ///< longest wait between event-handling turns; -1 when not a windowed run
    QString unavailable;        ///< why the row could not be measured; empty when it was
};

/// The one line a child process prints to hand its measurement to the parent.
QString resultLine(const Measurement &m);
/// Reads a measurement back from a child's output; nothing when no result line is there.
std::optional<Measurement> parseResultOutput(const QString &output);

/// This process's peak resident memory (VmHWM) in KiB; -1 when unknown.
long peakResidentKiB();

/// CPU time (user and system) of all of this process's threads so far, in seconds.
double processCpuSeconds();
/// CPU time of the calling thread so far, in seconds.
double threadCpuSeconds();

/// Seconds since it was made, on the monotonic clock, and the process's CPU time since then.
class Stopwatch {
public:
    double seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }
    double cpuSeconds() const { return processCpuSeconds() - m_cpuStart; }
    void restart() { m_start = Clock::now(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start = Clock::now();
    double m_cpuStart = processCpuSeconds();
};

} // namespace grelm::bench
