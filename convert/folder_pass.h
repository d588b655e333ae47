#pragma once

#include "convert/deletion_group.h"
#include "core/messages.h"
#include "core/atomic_file.h"
#include "core/content_identity.h"
#include "core/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
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
    bool hasThumbnail = false; ///< the thumbnail the session's ThumbnailsAhead had made is in `thumbnail`
    QByteArray thumbnail;
    /// The JPEG written beside its output name, to be given that name in
    /// order; `stageFailure` says why it could not be written.
    StagedFile staged;
    QString stageFailure;
    FilePath stagedFor; ///< the output name it was staged for; empty when not staged
};

/// Loads `source` and encodes it into `slot` with the pixel buffer and encoder
/// of worker `worker`, which the session must have made; safe on that worker's
/// thread. In the sequential mode the window's own buffer does the work and
/// reports straight to the window. With `expected`, only a file of exactly
/// those bytes is loaded; another sets the slot's `notExpected`, silently.
void prepareJpeg(ConvertSession &session, const FilePath &source, int worker, PreparedJpeg &slot,
                 const ContentIdentity *expected = nullptr);

/// Writes a well-made JPEG of the slot beside `output`, dated `dated` or else
/// like its source, so that only its renaming is left to do in order.
void stageJpeg(const FilePath &output, PreparedJpeg &slot, const std::optional<FileTime> &dated = std::nullopt,
               const WriteFolders *within = nullptr);

/// The date a JPEG of the slot carries: `dated`, else its source's time.
std::optional<FileTime> jpegDate(const PreparedJpeg &slot, const std::optional<FileTime> &dated);

/// One file of a folder pass, with its output decided before anything is written.
struct PassFile {
    FilePath name;   ///< as listed
    FilePath source;
    FilePath output; ///< empty when no output name was free
    /// Only a file of exactly these bytes is converted; any file when nothing.
    std::optional<ContentIdentity> expected;
    /// The time its JPEG carries; nothing: its source's own.
    std::optional<FileTime> dated;
};

/// What one kind of folder pass adds to the loop they share: which files it
/// converts to which names, and what follows each JPEG and the last one.
class FolderPass {
public:
    virtual ~FolderPass() = default;
    /// Lists `folder` and decides each file's output, before anything is written.
    virtual std::vector<PassFile> plan(const FilePath &folder) = 0;
    /// Whether a file as its worker prepared it is to be written at all; a
    /// file that is not is left to the pass, with nothing reported for it.
    virtual bool accept(const PassFile &file, const PreparedJpeg &prepared) = 0;
    /// After a file's JPEG took its name (`written`) or failed, in listing order.
    virtual void committed(const PassFile &file, const PreparedJpeg &prepared, bool written,
                           DeletionGroup &deletions) = 0;
    /// After the last file, or the one the window's closing stopped at.
    virtual void finish(const FilePath &folder, const std::vector<PassFile> &files) = 0;
};

/// Converts every file `pass` plans for `folder` to JPEG in listing order:
/// workers load and encode ahead, the window's thread gives each JPEG its
/// name in turn, driving the progress caption and bar and letting the window
/// handle its events between files. Load and write failures are reported and
/// the pass goes on; any other failure is thrown, with nothing after the
/// failing file touched.
void runFolderPass(const FilePath &folder, FolderPass &pass, ConvertSession &session);

/// The width of the progress bar's fill after `done` of `count` files on a
/// bar `width` pixels wide, rounded half to even and kept within the bar
/// whatever the count (none, zero, or smaller than the files really there).
int progressFill(std::size_t done, double count, int width);

} // namespace grelm
