#pragma once

#include "core/messages.h"
#include "core/atomic_file.h"
#include "core/content_identity.h"
#include "core/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace grelm {

struct ConvertSession;

/// One file of a pass, loaded and encoded but not yet written: what the load
/// reported, the JPEG's bytes or the writer's failure status, and the stamp
/// of the source as it was opened. Reused from file to file.
struct PreparedJpeg {
    std::vector<Message> messages;
    QByteArray jpeg;
    std::int32_t status = 0;
    QString detail; ///< why the encode failed
    std::optional<FileStamp> stamp;
    bool notExpected = false; ///< the file did not hold the bytes expected of it: nothing was loaded
    bool hasThumbnail = false; ///< what the session's reduceWhileLoaded made is in `thumbnail`
    QByteArray thumbnail;
    /// The JPEG written beside its output name, to be given that name in
    /// order; `stageFailure` says why it could not be written.
    StagedFile staged;
    QString stageFailure;
    QString stagedFor; ///< the output name it was staged for; empty when not staged
};

/// Loads `source` and encodes it into `slot` with the pixel buffer and encoder
/// of worker `worker`, which the session must have made; safe on that worker's
/// thread. In the sequential mode the window's own buffer does the work and
/// reports straight to the window. With `expected`, only a file of exactly
/// those bytes is loaded; another sets the slot's `notExpected`, silently.
void prepareJpeg(ConvertSession &session, const QString &source, int worker, PreparedJpeg &slot,
                 const ContentIdentity *expected = nullptr);

/// Writes a well-made JPEG of the slot beside `output`, dated `dated` or else
/// like its source, so that only its renaming is left to do in order.
void stageJpeg(const QString &output, PreparedJpeg &slot, const std::optional<FileTime> &dated = std::nullopt,
               const WriteFolders *within = nullptr);

/// The date a JPEG of the slot carries: `dated`, else its source's time.
std::optional<FileTime> jpegDate(const PreparedJpeg &slot, const std::optional<FileTime> &dated);

} // namespace grelm
