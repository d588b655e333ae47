#pragma once

#include "core/file_path.h"
#include "core/file_stamp.h"

#include <QList>
#include <QSet>

#include <optional>
#include <vector>

namespace grelm {

/// A file name without its last extension: "a.b.bmp" gives "a.b", "shot" stays "shot".
FilePath withoutLastExtension(const FilePath &name);

/// The names that a folder pass derives its outputs from, one for each listed
/// name, in the same order. A name is lower-cased, as the outputs are; when
/// two listed names differ only in letter case ("Shot.bmp", "shot.BMP") the
/// lower-cased names would collide, so each of them keeps its case as listed.
QList<FilePath> caseSafeNames(const QList<FilePath> &listed);

/// The listed names that differ from another listed name only in letter case,
/// as QString::compare(Qt::CaseInsensitive) tells them ("Shot.bmp" beside
/// "shot.BMP"); found with one pass over the names.
QSet<FilePath> caseTwins(const QList<FilePath> &listed);

/// The base names that a pass's JPEG files are named after, one for each
/// listed name: the case-safe name without its last extension, or the whole
/// listed name where two names of a case clash differ only in the extension's
/// case ("shot.bmp", "shot.BMP").
QList<FilePath> outputBaseNames(const QList<FilePath> &listed);

/// One screenshot asking for output names: its base name as derived from its
/// file name, and its modification time (nothing when it cannot be read).
struct OutputNameRequest {
    FilePath base;
    std::optional<FileTime> time;
};

/// The name of the JPEG of output base `base`: base + ".jpg".
FilePath jpegName(const FilePath &base);
/// The name of the thumbnail JPEG of output base `base`: "th_" + base + ".jpg".
FilePath thumbnailJpegName(const FilePath &base);
/// Whether thumbnailJpegName(base) is no longer than the file system allows;
/// a screenshot whose base leaves no room for it gets its JPEG but no thumbnail.
bool thumbnailNameFits(const FilePath &base);

/// Whether the output file at `path` may be written for a screenshot of time
/// `time`: the rule decideOutputBases applies to each of a base's two files.
bool mayWriteOutput(const FilePath &path, const std::optional<FileTime> &time);

/// Decides, in listing order, the base B that each screenshot's JPEG ("B.jpg"
/// in `folder`) and thumbnail JPEG ("th_B.jpg" in `thumbsFolder`) are named
/// after: the request's base, else the base followed by "_1", "_2", ... up to
/// "_9999". The game reuses screenshot names once the bitmaps are gone, so a
/// name is taken only when each of its two files is missing, is the
/// screenshot's own (the same time; within 2 s where the file's time is of
/// whole seconds, as a file system that keeps no finer gives it), or is
/// newer than the screenshot and not marked as the program's (another tool's
/// JPEG of it, or a file that cannot be read as a JPEG). An older file is an
/// earlier picture's, and a marked newer JPEG was made by the program for a
/// picture dated later (by a clock that was ahead): neither is ever
/// replaced. A base that another request asks for as its own, that an
/// earlier request took, or that is in `reserved` is skipped. Nothing is
/// decided for a screenshot when no index is left or the JPEG's name would
/// be longer than the file system allows.
std::vector<std::optional<FilePath>> decideOutputBases(const FilePath &folder, const FilePath &thumbsFolder,
                                                       const std::vector<OutputNameRequest> &requests,
                                                       const QSet<FilePath> &reserved = {});

} // namespace grelm
