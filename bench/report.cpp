#include "bench/report.h"

#include <algorithm>
#include <functional>

namespace grelm::bench {

namespace {

const Row *findRow(const std::vector<Row> &rows, const QString &mode)
{
    for (const Row &r : rows)
        if (r.mode == mode)
            return &r;
    return nullptr;
}

Summary summaryOf(const std::vector<Row> &rows, const QString &mode)
{
    const Row *r = findRow(rows, mode);
    return r ? summarize(*r) : Summary{};
}

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

QString verdict(bool holds) { return holds ? QStringLiteral("holds") : QStringLiteral("MISSED"); }

using TargetLine = std::function<void(const QString &target, bool measurable, const QString &figure, bool holds)>;

// The targets of the Convert command clicked in the window on one platform:
// its pace against the all-cores limit, and what thumbnails add to its time.
void windowTargets(const std::vector<Row> &rows, const QString &platform, const QString &mode, const TargetLine &line)
{
    const Summary limit = summaryOf(rows, QStringLiteral("limit-n"));
    const Summary off = summaryOf(rows, mode);
    const Summary on = summaryOf(rows, mode + QStringLiteral("-thumbs"));
    if (!findRow(rows, mode))
        return; // rows this run does not measure
    const QString files = QString::number(off.files);
    const double pace = off.available && limit.available ? off.filesPerSecond() / limit.filesPerSecond() : 0;
    line("Window (" + platform + "), " + files + " files, thumbnails off >= 0.9 x all-cores limit (stretch 0.95)",
         off.available && limit.available, fixed(pace, 2) + (pace >= 0.95 ? " x, stretch met" : " x"), pace >= 0.9);
    const double thumbs = off.available && on.available ? on.seconds / off.seconds : 0;
    line("Window (" + platform + "), thumbnails on <= 1.35 x the time of off", off.available && on.available,
         fixed(thumbs, 2) + " x", thumbs <= 1.35);
}

// With the bitmaps dropped from memory first: the share of its warm
// throughput the command keeps, beside what the limit keeps.
void coldCacheTargets(const std::vector<Row> &rows, const TargetLine &line)
{
    const Summary limit = summaryOf(rows, QStringLiteral("limit-n"));
    const Summary limitCold = summaryOf(rows, QStringLiteral("limit-n-cold"));
    const Summary warm = summaryOf(rows, QStringLiteral("convert"));
    const Summary cold = summaryOf(rows, QStringLiteral("convert-cold"));
    if (!findRow(rows, QStringLiteral("convert-cold")))
        return;
    const double kept = cold.available && warm.available ? cold.filesPerSecond() / warm.filesPerSecond() : 0;
    const double limitKept = limitCold.available && limit.available ? limitCold.filesPerSecond() / limit.filesPerSecond() : 0;
    line("Convert, cold cache >= 0.8 x its warm throughput (the limit keeps " + fixed(limitKept, 2) + " x)",
         cold.available && warm.available, fixed(kept, 2) + " x", kept >= 0.8);
}

} // namespace

Summary summarize(const Row &row)
{
    Summary s;
    std::vector<Measurement> ok;
    for (const Measurement &m : row.runs) {
        if (m.unavailable.isEmpty())
            ok.push_back(m);
        else
            s.unavailable = m.unavailable;
    }
    if (ok.empty())
        return s;
    std::sort(ok.begin(), ok.end(), [](const Measurement &a, const Measurement &b) { return a.seconds < b.seconds; });
    const Measurement &median = ok[ok.size() / 2];
    s.available = true;
    s.files = median.files;
    s.megapixels = median.megapixels;
    s.seconds = median.seconds;
    s.cpuSeconds = median.cpuSeconds;
    s.windowCpuSeconds = median.windowCpuSeconds;
    for (const Measurement &m : ok) {
        s.peakKiB = std::max(s.peakKiB, m.peakKiB);
        s.longestGapMs = std::max(s.longestGapMs, m.longestGapMs);
    }
    return s;
}

QString formatTable(const std::vector<Row> &rows, const QString &referenceMode)
{
    const Summary reference = summaryOf(rows, referenceMode);
    QString out = QStringLiteral("| Run | Files | Time (s) | Files/s | MP/s | x limit | CPU ms/file | Window CPU ms/file | Peak MiB | Longest gap (ms) |\n"
                                 "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row &row : rows) {
        const Summary s = summarize(row);
        if (!s.available) {
            out += QStringLiteral("| %1 | n/a (%2) |||||||||\n").arg(row.label, s.unavailable);
            continue;
        }
        const double ratio = reference.available ? s.filesPerSecond() / reference.filesPerSecond() : 0;
        out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 |\n")
                   .arg(row.label)
                   .arg(s.files)
                   .arg(fixed(s.seconds, 3), fixed(s.filesPerSecond(), 1), fixed(s.megapixelsPerSecond(), 1),
                        reference.available ? fixed(ratio, 2) : QStringLiteral("n/a"), fixed(s.cpuMsPerFile(), 2),
                        s.windowCpuSeconds >= 0 ? fixed(s.windowCpuSeconds * 1000 / s.files, 2) : QStringLiteral("-"),
                        s.peakKiB >= 0 ? fixed(s.peakKiB / 1024.0, 1) : QStringLiteral("n/a"),
                        s.longestGapMs >= 0 ? fixed(s.longestGapMs, 1) : QStringLiteral("-"));
    }
    return out;
}

QString formatTargets(const std::vector<Row> &rows, bool memoryCheck)
{
    const Summary limit = summaryOf(rows, QStringLiteral("limit-n"));
    const Summary off = summaryOf(rows, QStringLiteral("convert"));
    const Summary on = summaryOf(rows, QStringLiteral("convert-thumbs"));
    const Summary one = summaryOf(rows, QStringLiteral("convert-1worker"));
    QString out;
    auto line = [&out](const QString &target, bool measurable, const QString &figure, bool holds) {
        out += QStringLiteral("- %1: %2\n").arg(target, measurable ? figure + QStringLiteral(" (") + verdict(holds) + ")"
                                                                 : QStringLiteral("n/a"));
    };
    if (!memoryCheck) {
        const double r1 = off.available && limit.available ? off.filesPerSecond() / limit.filesPerSecond() : 0;
        line("Convert (thumbnails off) >= 0.9 x all-cores limit", off.available && limit.available, fixed(r1, 2) + " x", r1 >= 0.9);
        const double r2 = off.available && one.available ? off.filesPerSecond() / one.filesPerSecond() : 0;
        line("Convert >= 1.5 x its one-worker run", off.available && one.available, fixed(r2, 2) + " x", r2 >= 1.5);
        const double r3 = off.available && on.available ? on.seconds / off.seconds : 0;
        line("Thumbnails on <= 1.35 x the time of off", off.available && on.available, fixed(r3, 2) + " x", r3 <= 1.35);
        coldCacheTargets(rows, line);
        windowTargets(rows, QStringLiteral("offscreen"), QStringLiteral("window"), line);
        windowTargets(rows, QStringLiteral("Xvfb"), QStringLiteral("window-x"), line);
    }
    const Summary deleting = summaryOf(rows, QStringLiteral("convert-thumbs-delete"));
    if (findRow(rows, QStringLiteral("convert-thumbs-delete"))) {
        const double r4 = on.available && deleting.available ? deleting.cpuSeconds / on.cpuSeconds : 0;
        line("Thumbnails and deletion <= 1.5 x the CPU time of thumbnails alone", on.available && deleting.available,
             fixed(r4, 2) + " x", r4 <= 1.5);
    }
    const long peak = std::max(off.peakKiB, on.peakKiB);
    line("Peak memory <= 64 MiB", off.available || on.available, fixed(peak / 1024.0, 1) + " MiB", peak <= 64 * 1024);
    const double gap = std::max(off.longestGapMs, on.longestGapMs);
    line("Longest event gap <= 100 ms", off.available || on.available, fixed(gap, 1) + " ms", gap <= 100);
    return out;
}

} // namespace grelm::bench
