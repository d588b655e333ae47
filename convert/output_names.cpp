#include "convert/output_names.h"

#include "core/file_names.h"
#include "core/folder_listing.h"

#include <QFile>

#include <climits>
#include <sys/stat.h>

namespace grelm {

namespace {

constexpr int kLastIndex = 9999;

QString candidate(const QString &base, int index)
{
    return index == 0 ? base : base + u'_' + QString::number(index);
}

// Whether the file at `path` may be replaced by the output of a screenshot of
// time `time`: there is none, or it is not older than the screenshot.
bool mayTake(const QString &path, const std::optional<FileTime> &time)
{
    struct stat info {};
    if (::lstat(encodeFileName(path).constData(), &info) != 0)
        return true; // nothing there, or a name that cannot exist
    return time && !earlier(info.st_mtim, *time);
}

bool tooLong(const QString &name)
{
    return encodeFileName(name).size() > NAME_MAX;
}

} // namespace

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
            if (tooLong(base + QStringLiteral(".jpg")))
                break;
            if ((index > 0 && ownBases.contains(base)) || taken.contains(base))
                continue;
            if (mayTake(joinPath(folder, base + QStringLiteral(".jpg")), r.time)
                && mayTake(joinPath(thumbsFolder, QStringLiteral("th_") + base + QStringLiteral(".jpg")), r.time))
                chosen = base;
        }
        if (chosen)
            taken.insert(*chosen);
        decided.push_back(chosen);
    }
    return decided;
}

} // namespace grelm
