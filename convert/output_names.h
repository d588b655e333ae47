#pragma once

#include "core/file_stamp.h"

#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace grelm {

/// One screenshot asking for output names: its base name as derived from its
/// file name, and its modification time (nothing when it cannot be read).
struct OutputNameRequest {
    QString base;
    std::optional<FileTime> time;
};

/// Whether the output file at `path` may be written for a screenshot of time
/// `time`: the rule decideOutputBases applies to each of a base's two files.
bool mayWriteOutput(const QString &path, const std::optional<FileTime> &time);

/// Decides, in listing order, the base B that each screenshot's JPEG ("B.jpg"
/// in `folder`) and thumbnail JPEG ("th_B.jpg" in `thumbsFolder`) are named
/// after: the request's base, else the base followed by "_1", "_2", ... up to
/// "_9999". The game reuses screenshot names once the bitmaps are gone, so a
/// name is taken only when each of its two files is missing or not older
/// than the screenshot: a JPEG of the same time is the screenshot's own, a
/// newer one was made by another tool, but an older one is an earlier
/// picture and is never replaced. A base that another request asks for as
/// its own, that an earlier request took, or that is in `reserved` is
/// skipped. Nothing is decided for a screenshot when no index is left or the
/// JPEG's name would be longer than the file system allows.
std::vector<std::optional<QString>> decideOutputBases(const QString &folder, const QString &thumbsFolder,
                                                      const std::vector<OutputNameRequest> &requests,
                                                      const QSet<QString> &reserved = {});

} // namespace grelm
