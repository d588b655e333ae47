#include "convert/output_names.h"

#include "imaging/exif_mark.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <climits>

namespace grelm {

namespace {

constexpr int kLastIndex = 9999;
// Two times that the file systems may store for the same moment: FAT keeps
// even seconds, and Thumbs may lie on another file system than the game folder.
constexpr long long kCoarsestTimeNs = 2'000'000'000;

FilePath candidate(const FilePath &base, int index)
{
    return index == 0 ? base : base + ('_' + QByteArray::number(index));
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
bool mayTake(const FilePath &path, const std::optional<FileTime> &time)
{
    const std::optional<FileStamp> there = fileStampNotFollowing(path);
    if (!there)
        return true; // nothing there, or a name that cannot exist
    if (!time)
        return false;
    if (sameMoment(there->modified, *time))
        return true;
    return !earlier(there->modified, *time) && !fileCarriesProgramMark(path);
}

bool tooLong(const FilePath &name)
{
    return name.bytes().size() > NAME_MAX;
}

} // namespace

FilePath jpegName(const FilePath &base)
{
    return base + ".jpg";
}

FilePath thumbnailJpegName(const FilePath &base)
{
    return FilePath("th_" + base.bytes() + ".jpg");
}

bool thumbnailNameFits(const FilePath &base)
{
    return !tooLong(thumbnailJpegName(base));
}

bool mayWriteOutput(const FilePath &path, const std::optional<FileTime> &time)
{
    return mayTake(path, time);
}

std::vector<std::optional<FilePath>> decideOutputBases(const FilePath &folder, const FilePath &thumbsFolder,
                                                       const std::vector<OutputNameRequest> &requests,
                                                       const QSet<FilePath> &reserved)
{
    QSet<FilePath> ownBases;
    for (const OutputNameRequest &r : requests)
        ownBases.insert(r.base);
    QSet<FilePath> taken = reserved;
    std::vector<std::optional<FilePath>> decided;
    decided.reserve(requests.size());
    for (const OutputNameRequest &r : requests) {
        std::optional<FilePath> chosen;
        for (int index = 0; index <= kLastIndex && !chosen; ++index) {
            const FilePath base = candidate(r.base, index);
            if (tooLong(jpegName(base)))
                break;
            if ((index > 0 && ownBases.contains(base)) || taken.contains(base))
                continue;
            if (mayTake(folder / jpegName(base), r.time)
                && (!thumbnailNameFits(base) || mayTake(thumbsFolder / thumbnailJpegName(base), r.time)))
                chosen = base;
        }
        if (chosen)
            taken.insert(*chosen);
        decided.push_back(chosen);
    }
    return decided;
}

FilePath withoutLastExtension(const FilePath &name)
{
    const qsizetype dot = name.bytes().lastIndexOf('.');
    return dot < 0 ? name : FilePath(name.bytes().left(dot));
}

namespace {

// The rules below compare names as text: each name's escaped text (a byte
// that is not UTF-8 as U+DC80 + byte), lowered by its folding view.
QHash<QString, int> countLowered(const QList<FilePath> &names)
{
    QHash<QString, int> counts;
    for (const FilePath &name : names)
        ++counts[name.foldedText()];
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

QSet<FilePath> caseTwins(const QList<FilePath> &listed)
{
    QHash<QString, int> counts;
    QStringList folded;
    folded.reserve(listed.size());
    for (const FilePath &name : listed)
        ++counts[folded.emplace_back(caseFolded(name.escapedText()))];
    QSet<FilePath> twins;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (counts.value(folded[i]) > 1)
            twins.insert(listed[i]);
    }
    return twins;
}

QList<FilePath> caseSafeNames(const QList<FilePath> &listed)
{
    const QHash<QString, int> counts = countLowered(listed);
    QList<FilePath> names;
    names.reserve(listed.size());
    for (const FilePath &name : listed) {
        const QString lowered = name.foldedText();
        names.append(counts.value(lowered) > 1 ? name : FilePath::fromEscapedText(lowered));
    }
    return names;
}

QList<FilePath> outputBaseNames(const QList<FilePath> &listed)
{
    const QList<FilePath> safe = caseSafeNames(listed);
    QList<FilePath> bases;
    bases.reserve(safe.size());
    for (const FilePath &name : safe)
        bases.append(withoutLastExtension(name));
    // Within a case clash the bases kept their case and can still be equal.
    QHash<FilePath, int> baseCounts;
    for (const FilePath &base : bases)
        ++baseCounts[base];
    for (qsizetype i = 0; i < bases.size(); ++i) {
        if (baseCounts.value(bases[i]) > 1)
            bases[i] = listed[i];
    }
    return bases;
}

} // namespace grelm
