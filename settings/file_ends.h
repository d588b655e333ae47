#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// The first and the last bytes of a file, as far as they were read.
struct FileEnds {
    QByteArray head;       ///< the first bytes, at most the size asked for
    QByteArray tail;       ///< the last bytes, at most the size asked for
    qint64 tailOffset = 0; ///< where `tail` starts in the file
};

/// Reads the first `headSize` and the last `tailSize` bytes of the regular file
/// at `path`, however large it is. Nothing when it is missing, cannot be read or
/// is not a regular file (a FIFO, a device, a folder): opening never blocks.
std::optional<FileEnds> readFileEnds(const QString &path, qsizetype headSize, qsizetype tailSize);

} // namespace grelm
