#include "flush_order.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace {

// What the trace says happened to each path, by line number: when it last
// took its name by a rename, and when it was last flushed.
struct Trace {
    QHash<QString, int> renamed;
    QHash<QString, QList<int>> flushed;
    QList<std::pair<int, QString>> unlinked;
};

// The last quoted name of the call, joined to the folder of the descriptor
// before it when it is a name within one (renameat, unlinkat: "3</game>, \"x\"").
QString lastQuoted(const QString &line)
{
    const qsizetype end = line.lastIndexOf(u'"');
    const qsizetype start = end > 0 ? line.lastIndexOf(u'"', end - 1) : -1;
    if (start < 0)
        return QString();
    const QString name = line.mid(start + 1, end - start - 1);
    const QString before = line.left(start).chopped(std::min<qsizetype>(2, start)); // ", "
    if (name.startsWith(u'/') || !before.endsWith(u'>'))
        return name;
    const qsizetype open = before.lastIndexOf(u'<');
    return open < 0 ? name : before.mid(open + 1, before.size() - open - 2) + u'/' + name;
}

Trace readTrace(const QString &path)
{
    Trace t;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    static const QRegularExpression call(QStringLiteral("^(?:\\d+ +)?(\\w+)\\((.*)$"));
    int number = 0;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QRegularExpressionMatch m = call.match(line);
        ++number;
        if (!m.hasMatch() || line.contains(QStringLiteral(" = -1 ")))
            continue;
        const QString name = m.captured(1);
        if (name == u"fsync" || name == u"fdatasync") {
            const qsizetype open = line.indexOf(u'<'), close = line.indexOf(u'>', open);
            if (open > 0 && close > open)
                t.flushed[line.mid(open + 1, close - open - 1)] << number;
        } else if (name.startsWith(u"rename")) {
            t.renamed[lastQuoted(line)] = number;
        } else if (name.startsWith(u"unlink")) {
            t.unlinked << std::pair{number, lastQuoted(line)};
        }
    }
    return t;
}

// Whether `path` was flushed after it took its name and before line `before`.
bool flushedBetween(const Trace &t, const QString &path, int after, int before)
{
    for (const int at : t.flushed.value(path)) {
        if (at > after && at < before)
            return true;
    }
    return false;
}

bool deletedSafely(const Trace &t, const QString &game, const QString &name, int at)
{
    const QString base = name.left(name.lastIndexOf(u'.')).toLower();
    const QString jpeg = game + u'/' + base + QStringLiteral(".jpg");
    const QString thumbnail = game + QStringLiteral("/Thumbs/th_") + base + QStringLiteral(".jpg");
    const int jpegNamed = t.renamed.value(jpeg, -1), thumbnailNamed = t.renamed.value(thumbnail, -1);
    return jpegNamed >= 0 && thumbnailNamed >= 0 && jpegNamed < at && thumbnailNamed < at
           && flushedBetween(t, jpeg, jpegNamed, at) && flushedBetween(t, thumbnail, thumbnailNamed, at)
           && flushedBetween(t, game, jpegNamed, at) && flushedBetween(t, game + QStringLiteral("/Thumbs"), thumbnailNamed, at);
}

} // namespace

int checkFlushOrder(const QStringList &args)
{
    if (args.size() < 2)
        return 2;
    const Trace t = readTrace(args[0]);
    const QString game = args[1];
    int checked = 0, wrong = 0;
    for (const auto &[at, path] : t.unlinked) {
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        if (path.left(path.lastIndexOf(u'/')) != game || !name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            continue;
        ++checked;
        if (!deletedSafely(t, game, name, at)) {
            ++wrong;
            std::printf("  deleted before its JPEGs and folders were flushed: %s\n", qPrintable(path));
        }
    }
    int flushes = 0;
    for (const QList<int> &list : t.flushed)
        flushes += int(list.size());
    std::printf("order: %d screenshots deleted, %d flushes in all, %d deleted too early\n", checked, flushes, wrong);
    return wrong == 0 && checked > 0 ? 0 : 1;
}
