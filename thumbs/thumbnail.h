#pragma once

#include "thumbs/thumbnail_bitmap.h"
#include "thumbs/thumbnail_picture.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace grelm {

class MessageSink;
class cDIBSection;
struct ReductionScratch;

/// Turns one picture into a thumbnail file: reduced in proportion, by exact
/// area averaging, to fit MaxWidth by MaxHeight (never enlarged), optionally centred on BackColor in
/// a canvas of exactly the box's size, and written in the format that the last
/// three letters of DestFilePath name ("jpg" or "bmp"; any other ending
/// writes nothing). Holds only its settings; one object per thread.
/// The program uses the settings and CreateBitmapFromLoaded; the file routes
/// (DestFilePath, CreateFromStdPicture, CreateFromFile) are kept for outside
/// callers, and only tests use them today.
class cThumbnail {
public:
    /// A maker that reports nothing, as CreateBitmapFromLoaded needs; with no
    /// place for the JPEG writer's error boxes, a "jpg" destination throws ThumbnailError.
    cThumbnail() = default;
    /// `messages` receives the JPEG writer's error boxes.
    explicit cThumbnail(MessageSink &messages);

    void setForcedDimensions(bool aBool);
    bool ForcedDimensions() const;
    void setMaxWidth(std::int32_t aLong);
    std::int32_t MaxWidth() const;
    void setMaxHeight(std::int32_t aLong);
    std::int32_t MaxHeight() const;
    /// A Windows colour value: RGB with red in the low byte, or 0x80 in the
    /// high byte and a system-colour index in the low byte.
    void setBackColor(std::uint32_t aColor);
    std::uint32_t BackColor() const;
    void setDestFilePath(const FilePath &aString);
    FilePath DestFilePath() const;

    /// Makes the thumbnail of `aStdPicture` (which is only read) and writes it
    /// to DestFilePath. Throws ThumbnailError for a null picture or an empty
    /// box, FloatingPointError for a negative box, OverflowError when the
    /// fitting leaves 32 bits, and FileError when a bitmap cannot be written;
    /// nothing is written then.
    void CreateFromStdPicture(const Picture &aStdPicture);
    /// Loads the picture file `aFilePath` and makes its thumbnail; throws
    /// FileError when it cannot be loaded, and whatever CreateFromStdPicture throws.
    void CreateFromFile(const FilePath &aFilePath);
    /// Makes the thumbnail of a picture already loaded into a pixel buffer
    /// (24-bit, bottom-up) as the bytes of a bitmap file, for a caller that
    /// writes it itself; `bmp` and `scratch` keep their capacity. Throws as
    /// CreateFromStdPicture does.
    void CreateBitmapFromLoaded(const cDIBSection &loaded, QByteArray &bmp, ReductionScratch &scratch) const;

    /// The settings that a thumbnail is made with, for work on other threads.
    const ThumbnailSettings &settings() const { return m_settings; }

private:
    void writeCanvas(const QByteArray &bmp) const;
    void writeJpeg(const QByteArray &bmp) const;

    MessageSink *m_messages = nullptr;
    ThumbnailSettings m_settings;
    FilePath m_destFilePath;
};

} // namespace grelm
