#pragma once

#include "core/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The JPEG writer. The program uses EncodeDIBToJPEG, SaveJPEG, StageJPEG,
// CommitJPEG and ShowJpegNotWritten; WriteDIBToJPEG and DescribeDIBForJPEG,
// the route through the IJL record, are kept for outside callers (only tests
// and the benchmark use them today).

namespace grelm {

class cDIBSection;
class JpegEncoder;
class MessageSink;
class StagedFile;
class WriteFolders;
struct JPEG_CORE_PROPERTIES;

/// Encodes the buffer as a JPEG file at `path` (quality 75, upright); the file
/// appears whole or not at all. On failure shows the library's error message
/// and returns false.
bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages);
/// As above, encoding with `encoder` (when not null) so that a caller writing
/// many files reuses one compressor and output buffer.
bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages, JpegEncoder *encoder);

/// Encodes the buffer into memory exactly as WriteDIBToJPEG encodes it into a
/// file, with `encoder`'s compressor and buffer; copies the bytes into `out`,
/// whose capacity is reused. Returns 0, or the JPEG library's negative status.
/// On failure `detail`, when given, receives the library's reason.
std::int32_t EncodeDIBToJPEG(cDIBSection &buffer, JpegEncoder &encoder, QByteArray &out, QString *detail = nullptr);

/// Writes JPEG bytes that EncodeDIBToJPEG made (with `status` its result and
/// `detail` its reason) to `path` whole or not at all, marked inside as the
/// program's (Exif Software); when `modified` is given the file is dated with
/// it and carries it inside as Exif dates. On failure shows the library's
/// error message and returns false.
bool SaveJPEG(const FilePath &path, std::int32_t status, const QByteArray &jpeg, const std::optional<FileTime> &modified,
              MessageSink &messages, const QString &detail = {}, const WriteFolders *within = nullptr);

/// SaveJPEG of a well-made JPEG in two steps, which may run on different
/// threads: StageJPEG writes the file beside `path` and returns why it could
/// not (empty when it did); CommitJPEG gives it its name, or shows the error
/// message SaveJPEG shows with that reason, and returns whether it was saved.
/// With `within`, the file is written only in one of those folders (see WriteFolders).
QString StageJPEG(const FilePath &path, const QByteArray &jpeg, const std::optional<FileTime> &modified, StagedFile &file,
                  const WriteFolders *within = nullptr);
bool CommitJPEG(StagedFile &file, const QString &stageFailure, MessageSink &messages);

/// Fills the record from the buffer: the source as it lies in memory (its
/// bottom-up rows marked as core/pixel_rows.h says) and an upright 3-component
/// JPEG of the same size at quality 75. A 4-channel buffer's fourth byte
/// carries nothing and is left out of the JPEG.
void DescribeDIBForJPEG(JPEG_CORE_PROPERTIES &props, cDIBSection &buffer);

/// Shows the message of a JPEG that could not be written, for `reason`: the
/// one SaveJPEG shows when the file system refuses the file.
void ShowJpegNotWritten(MessageSink &messages, const QString &reason);

/// Shows "IJL ERROR: [code] - message" with a warning icon, titled with the
/// JPEG library in use; `detail` (the cause) travels beside it, unshown.
void ShowIJLError(MessageSink &messages, const QString &message, std::int32_t code, const QString &detail = {});

/// The bytes that pad a row of `width` pixels of `channels` bytes to a multiple
/// of 4; throws OverflowError when the row size does not fit 32 bits.
std::int32_t ScanLinePadBytes(std::int32_t width, std::int32_t channels);

} // namespace grelm
