#include "bench/measurement.h"

#include <QFile>
#include <QStringList>

#include <sys/resource.h>
#include <time.h>

namespace grelm::bench {

namespace {
const QString kTag = QStringLiteral("grelm-bench-result");
}

QString resultLine(const Measurement &m)
{
    if (!m.unavailable.isEmpty())
        return kTag + QStringLiteral(" unavailable=") + QString(m.unavailable).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return kTag + QStringLiteral(" files=%1 mp=%2 seconds=%3 peak_kib=%4 gap_ms=%5 cpu=%6 window_cpu=%7")
                      .arg(m.files)
                      .arg(m.megapixels, 0, 'f', 4)
                      .arg(m.seconds, 0, 'f', 6)
                      .arg(m.peakKiB)
                      .arg(m.longestGapMs, 0, 'f', 3)
                      .arg(m.cpuSeconds, 0, 'f', 6)
                      .arg(m.windowCpuSeconds, 0, 'f', 6);
}

std::optional<Measurement> parseResultOutput(const QString &output)
{
    for (const QString &line : output.split(QLatin1Char('\n'))) {
        if (!line.startsWith(kTag + QLatin1Char(' ')))
            continue;
        Measurement m;
        const QString rest = line.mid(kTag.size() + 1).trimmed();
        if (rest.startsWith(QLatin1String("unavailable="))) {
            m.unavailable = rest.mid(12);
            return m;
        }
        for (const QString &field : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString key = field.section(QLatin1Char('='), 0, 0);
            const QString value = field.section(QLatin1Char('='), 1);
            if (key == QLatin1String("files")) m.files = value.toInt();
            else if (key == QLatin1String("mp")) m.megapixels = value.toDouble();
            else if (key == QLatin1String("seconds")) m.seconds = value.toDouble();
            else if (key == QLatin1String("peak_kib")) m.peakKiB = value.toLong();
            else if (key == QLatin1String("gap_ms")) m.longestGapMs = value.toDouble();
            else if (key == QLatin1String("cpu")) m.cpuSeconds = value.toDouble();
            else if (key == QLatin1String("window_cpu")) m.windowCpuSeconds = value.toDouble();
        }
        return m;
    }
    return std::nullopt;
}

double processCpuSeconds()
{
    rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpuSeconds()
{
    timespec t {};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) != 0)
        return 0;
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace grelm::bench
