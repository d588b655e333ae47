#include "bench/options.h"

#include <QDir>

#include <stdexcept>

namespace grelm::bench {

namespace {

QString valueOf(const QStringList &args, int &i)
{
    if (i + 1 >= args.size())
        throw std::runtime_error(args[i].toStdString() + " needs a value");
    return args[++i];
}

int positiveNumber(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= 0)
        throw std::runtime_error("not a positive number: " + text.toStdString());
    return n;
}

void parseSize(const QString &text, CorpusPlan &plan)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        throw std::runtime_error("size must be WxH: " + text.toStdString());
    plan.width = positiveNumber(parts[0]);
    plan.height = positiveNumber(parts[1]);
    plan.mixed = false;
}

} // namespace

Options parseOptions(const QStringList &args)
{
    Options o;
    bool sizeGiven = false;
    bool repeatGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--files"))
            o.plan.count = positiveNumber(valueOf(args, i));
        else if (a == QLatin1String("--size"))
            parseSize(valueOf(args, i), o.plan), sizeGiven = true;
        else if (a == QLatin1String("--mixed"))
            o.plan.mixed = true;
        else if (a == QLatin1String("--threads"))
            o.threads = positiveNumber(valueOf(args, i));
        else if (a == QLatin1String("--workers"))
            o.workers = positiveNumber(valueOf(args, i));
        else if (a == QLatin1String("--copies"))
            o.copies = positiveNumber(valueOf(args, i));
        else if (a == QLatin1String("--window"))
            o.windowOnly = true;
        else if (a == QLatin1String("--cold"))
            o.coldCache = true;
        else if (a == QLatin1String("--repeat"))
            o.repeat = positiveNumber(valueOf(args, i)), repeatGiven = true;
        else if (a == QLatin1String("--keep"))
            o.keep = valueOf(args, i);
        else if (a == QLatin1String("--count"))
            o.plan.count = positiveNumber(valueOf(args, i)), o.memoryCheck = true;
        else if (a == QLatin1String("--huge"))
            o.huge = true;
        else if (a == QLatin1String("--one"))
            o.one = valueOf(args, i);
        else if (a == QLatin1String("--dir"))
            o.folder = valueOf(args, i);
        else
            throw std::runtime_error("unknown argument: " + a.toStdString());
    }
    if (o.memoryCheck && !sizeGiven && !o.plan.mixed)
        o.plan.width = 160, o.plan.height = 120; // many small files: memory must not grow with the count
    if (o.huge && !repeatGiven)
        o.repeat = 1; // each run converts gigapixels
    return o;
}

QString workBase(const Options &options, std::unique_ptr<QTemporaryDir> &temporary)
{
    if (!options.keep.isEmpty())
        return options.keep;
    temporary = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("grelm-bench-XXXXXX")));
    return temporary->path();
}

QString usageText()
{
    return QStringLiteral(
        "usage: grelm-bench [--files N] [--size WxH | --mixed] [--copies N] [--window | --cold] [--threads N]\n"
        "                   [--workers N] [--repeat N] [--keep DIR]\n"
        "       grelm-bench --count N [--size WxH]\n"
        "       grelm-bench --huge [--repeat N]\n"
        "  --files N    screenshots in the corpus (default 40)\n"
        "  --size WxH   their size (default 1024x768)\n"
        "  --mixed      sizes from 640x480 to 1920x1080 instead\n"
        "  --copies N   measure in folders that hold the corpus N times over (default 1)\n"
        "  --window     only the all-cores limit, Convert and the rows through the real window\n"
        "  --cold       only the all-cores limit and Convert, each also with the bitmaps\n"
        "               dropped from the page cache before the run\n"
        "  --threads N  threads of the all-cores limit rows (default: one per core)\n"
        "  --workers N  workers the Convert rows ask for (default: the command's own choice)\n"
        "  --repeat N   runs of each row, interleaved; the table shows the median (default 5)\n"
        "  --keep DIR   generate into DIR and keep every measured folder there\n"
        "  --count N    memory check: N small (160x120) screenshots, Convert rows only\n"
        "  --huge       memory check: 8 tiny RLE bitmaps claiming 16384x16384, Convert\n"
        "               with 1, 2, 4 and 8 workers (default 1 run each)\n");
}

} // namespace grelm::bench
