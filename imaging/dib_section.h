#pragma once

#include "core/file_stamp.h"
#include "imaging/bmp_reader.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace grelm {

class MessageSink;

/// The program's pixel buffer: bottom-up rows of BytesPerScanLine() bytes,
/// 24-bit blue-green-red or 32-bit blue-green-red-unused. Loaded from a bitmap
/// file it is always 24-bit and bottom-up, whatever the file's own format.
/// The program uses Load, LoadExpected and the reading members; Create, hdc
/// and hDib are kept for outside callers (only tests use them today).
class cDIBSection {
public:
    /// `messages` receives the "Can't load BMP image" box of a failed Load.
    explicit cDIBSection(MessageSink &messages);
    ~cDIBSection();
    cDIBSection(const cDIBSection &) = delete;
    cDIBSection &operator=(const cDIBSection &) = delete;

    /// Discards any image and makes an empty (black) buffer: 24-bit for 3
    /// channels, 32-bit for any other count. False when the size is unusable.
    bool Create(std::int32_t lWidth, std::int32_t lHeight, std::int32_t lChannels);
    /// Discards any image and loads the bitmap file `Name` into a 24-bit buffer;
    /// a file that is not a readable bitmap shows "Can't load BMP image" and
    /// leaves the buffer empty.
    bool Load(const FilePath &Name);
    /// Load, only when the file holds exactly the bytes `expected` names; a
    /// file that does not (or that changes while it is read) is not loaded,
    /// shows nothing and sets `notExpected`.
    bool LoadExpected(const FilePath &Name, const ContentIdentity &expected, bool &notExpected);
    /// The stamp of the file the last Load opened, so that a caller can tell
    /// later whether that file is still the one it loaded; nothing when the
    /// file could not be opened.
    const std::optional<FileStamp> &loadedStamp() const { return m_loadedStamp; }
    /// Makes every later Load call `hook` once the file's header is read and
    /// before the picture's memory is taken.
    void setBeforeAllocate(BeforeAllocate hook) { m_beforeAllocate = std::move(hook); }

    std::int32_t BytesPerScanLine() const;
    std::int32_t dib_width() const;
    std::int32_t dib_height() const;   ///< positive, rows bottom-up (core/pixel_rows.h); 0 when empty
    std::int32_t dib_channels() const; ///< 3, 4, or 0 when empty

    /// A drawing surface over the buffer's memory (Format_BGR888 for 24 bits,
    /// Format_RGB32 for 32 bits), rows in memory order: for a positive height
    /// the first row of the QImage is the picture's bottom row. Valid until the
    /// next Create, Load or CleanUp; null when empty.
    QImage hdc();
    /// Identifies the current image; null when empty.
    const void *hDib() const;
    /// The first byte of the pixel rows; null when empty.
    std::uint8_t *DIBSectionBitsPtr();
    const std::uint8_t *DIBSectionBitsPtr() const;

    /// Returns to the empty state.
    void CleanUp();
    /// Returns to the empty state and frees the pixel memory that CleanUp keeps.
    void releaseMemory();
    /// The bytes of pixel memory held, image or not.
    std::size_t memoryBytes() const { return m_pixels.capacity(); }

private:
    MessageSink &m_messages;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_bitCount = 0;
    std::vector<std::uint8_t> m_pixels; // capacity is kept between images
    bool m_holdsImage = false;
    std::optional<FileStamp> m_loadedStamp;
    BeforeAllocate m_beforeAllocate;

    bool load(const FilePath &name, const ContentIdentity *expected, bool *notExpected);
};

} // namespace grelm
