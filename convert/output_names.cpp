#include "convert/output_names.h"

#include "core/file_names.h"
#include "core/folder_listing.h"
#include "imaging/exif_mark.h"

#include <QFile>
#include <QHash>

#include <climits>
#include <sys/stat.h>

namespace grelm {

namespace {

constexpr int kLastIndex = 9999;
// Two times that the file systems may store for the same moment: FAT keeps
// even seconds, and Thumbs may lie on another file system than the game folder.
constexpr long long kCoarsestTimeNs = 2'000'000'000;

QString candidate(const QString &base, int index)
{
    return index == 0 ? base : base + u'_' + QString::number(index);
}

// Whether a file dated `file` was dated with the screenshot's time `shot`. A
// file system that keeps fractions of a second gives back the very time the
// program set; one that keeps whole seconds (FAT: even ones, some shares)
// gives it cut, up to 2 s away. Only such a whole-second time is taken
// within 2 s: elsewhere a screenshot saved over a second after the last one
// must not take the older picture's JPEG for its own.
bool sameMoment(const FileTime &file, const FileTime &shot)
{
    if (file.tv_nsec != 0)
        return sameTime(file, shot);
    const long long apart = (static_cast<long long>(file.tv_sec) - shot.tv_sec) * 1'000'000'000 - shot.tv_nsec;
    return apart >= -kCoarsestTimeNs && apart <= kCoarsestTimeNs;
}

// Whether the file at `path` may be replaced by an output of a screenshot of
// time `time`: there is none; it is the screenshot's own (its time); or it is
// newer and not marked as the program's, another tool's JPEG of it. An older
// file is an earlier picture's, and a marked newer one was made by the
// program for a picture dated later (a clock that was ahead): both are kept.
bool mayTake(const QString &path, const std::optional<FileTime> &time)
{
    struct stat info {};
    if (::lstat(encodeFileName(path).constData(), &info) != 0)
        return true; // nothing there, or a name that cannot exist
    if (!time)
        return false;
    if (sameMoment(info.st_mtim, *time))
        return true;
    return !earlier(info.st_mtim, *time) && !fileCarriesProgramMark(path);
}

bool tooLong(const QString &name)
{
    return encodeFileName(name).size() > NAME_MAX;
}

} // namespace

QString jpegName(const QString &base)
{
    return base + QStringLiteral(".jpg");
}

QString thumbnailJpegName(const QString &base)
{
    return QStringLiteral("th_") + base + QStringLiteral(".jpg");
}

bool thumbnailNameFits(const QString &base)
{
    return !tooLong(thumbnailJpegName(base));
}

bool mayWriteOutput(const QString &path, const std::optional<FileTime> &time)
{
    return mayTake(path, time);
}

std::vector<std::optional<QString>> decideOutputBases(const QString &folder, const QString &thumbsFolder,
                                                      const std::vector<OutputNameRequest> &requests,
                                                      const QSet<QString> &reserved)
{
    QSet<QString> ownBases;
    for (const OutputNameRequest &r : requests)
        ownBases.insert(r.base);
    QSet<QString> taken = reserved;
    std::vector<std::optional<QString>> decided;
    decided.reserve(requests.size());
    for (const OutputNameRequest &r : requests) {
        std::optional<QString> chosen;
        for (int index = 0; index <= kLastIndex && !chosen; ++index) {
            const QString base = candidate(r.base, index);
            if (tooLong(jpegName(base)))
                break;
            if ((index > 0 && ownBases.contains(base)) || taken.contains(base))
                continue;
            if (mayTake(joinPath(folder, jpegName(base)), r.time)
                && (!thumbnailNameFits(base) || mayTake(joinPath(thumbsFolder, thumbnailJpegName(base)), r.time)))
                chosen = base;
        }
        if (chosen)
            taken.insert(*chosen);
        decided.push_back(chosen);
    }
    return decided;
}

QString withoutLastExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

namespace {

QHash<QString, int> countLowered(const QStringList &names)
{
    QHash<QString, int> counts;
    for (const QString &name : names)
        ++counts[lowerCaseName(name)];
    return counts;
}

// `name` with each character replaced by its simple case folding, as
// QString::compare(Qt::CaseInsensitive) compares them; a lone surrogate (a
// byte that is not UTF-8, see core/file_names.h) stays as it is.
QString caseFolded(const QString &name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[++i]));
            folded.append(QChar::highSurrogate(code)).append(QChar::lowSurrogate(code));
        } else {
            folded.append(c.isSurrogate() ? c : c.toCaseFolded());
        }
    }
    return folded;
}

} // namespace

QSet<QString> caseTwins(const QStringList &listed)
{
    QHash<QString, int> counts;
    QStringList folded;
    folded.reserve(listed.size());
    for (const QString &name : listed)
        ++counts[folded.emplace_back(caseFolded(name))];
    QSet<QString> twins;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (counts.value(folded[i]) > 1)
            twins.insert(listed[i]);
    }
    return twins;
}

QStringList caseSafeNames(const QStringList &listed)
{
    const QHash<QString, int> counts = countLowered(listed);
    QStringList names;
    names.reserve(listed.size());
    for (const QString &name : listed) {
        const QString lowered = lowerCaseName(name);
        names.append(counts.value(lowered) > 1 ? name : lowered);
    }
    return names;
}

QStringList outputBaseNames(const QStringList &listed)
{
    const QStringList safe = caseSafeNames(listed);
    QStringList bases;
    bases.reserve(safe.size());
    for (const QString &name : safe)
        bases.append(withoutLastExtension(name));
    // Within a case clash the bases kept their case and can still be equal.
    QHash<QString, int> baseCounts;
    for (const QString &base : bases)
        ++baseCounts[base];
    for (qsizetype i = 0; i < bases.size(); ++i) {
        if (baseCounts.value(bases[i]) > 1)
            bases[i] = listed[i];
    }
    return bases;
}

} // namespace grelm
