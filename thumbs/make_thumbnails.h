#pragma once

#include "core/content_identity.h"
#include "core/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace grelm {

class ConvertView;
class cDIBSection;
class WriteFolders;
struct ReductionScratch;
struct WorkerBuffers;

/// One screenshot whose thumbnail bitmap MakeThumbnails writes.
struct ThumbnailOrder {
    FilePath source;      ///< the screenshot's path
    FilePath destination; ///< the bitmap's path in Thumbs
    /// The file the screenshot's JPEG was made from: the bitmap carries its
    /// time, and a screenshot that is no longer that file gets no thumbnail.
    FileStamp converted;
    /// Its bitmap, already reduced from that file at MakeThumbnails' `madeAheadWidth`.
    const QByteArray *madeAhead = nullptr;
    /// The folders the bitmap may be written in (see WriteFolders); any path when none.
    const WriteFolders *within = nullptr;
};

/// The threads MakeThumbnails reduces on: `threads` workers besides the
/// window's thread (0: all on the window's thread), each preparing up to
/// `lookAhead` files, and the buffers of each (threads + 1 of them, the
/// window's last).
struct ThumbnailThreads {
    int threads = 0;
    int lookAhead = 2;
    std::function<WorkerBuffers &(int)> buffers;
};

/// The width in the thumbnail box; throws for text that is not a number and,
/// since no canvas can have it, for a width of 0 or below.
std::int32_t thumbnailWidth(const ConvertView &view);
/// The same for a width given as text, e.g. on the command line.
std::int32_t thumbnailWidth(const QString &text);

/// Reduces a loaded screenshot to fit a square box of `width` straight from
/// its rows, into the bytes of a 24-bit bitmap file.
void reduceLoadedScreenshot(const cDIBSection &dib, std::int32_t width, ReductionScratch &scratch, QByteArray &bmp);

/// Writes, in order, each order's thumbnail bitmap, reduced to fit a square of
/// the width in the thumbnail box (read for every file, so that a width changed
/// meanwhile is honoured) and dated like its screenshot; nothing is written
/// for a file while "Create Thumbnails" is unchecked. Calls `naming` with the
/// index and the bytes' identity of each bitmap just before it takes its name
/// (what it throws ends the command with that bitmap unnamed), and `written`
/// with the index of each order written. Throws on the first failure (a width that is
/// not a whole number above 0, a screenshot that cannot be loaded, a bitmap
/// that cannot be written), with no thumbnail after the failing one written.
/// Returns false when the window asked to close, after the current file.
bool MakeThumbnails(ConvertView &view, const std::vector<ThumbnailOrder> &orders, std::int32_t madeAheadWidth,
                    const ThumbnailThreads &threads,
                    const std::function<void(std::size_t, const ContentIdentity &)> &naming,
                    const std::function<void(std::size_t)> &written);

} // namespace grelm
