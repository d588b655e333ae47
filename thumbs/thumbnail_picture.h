#pragma once

#include "thumbs/area_reduction.h"

#include <QImage>
#include <QString>

#include "core/file_path.h"

#include <cstdint>
#include <vector>

namespace grelm {

/// A loaded picture that thumbnails are made from, held as bottom-up 24-bit
/// blue-green-red rows padded to 4 bytes, the layout of a bitmap file. A
/// default Picture holds none. Only cThumbnail's file routes, kept for
/// outside callers, use it and loadPicture (only tests reach them today).
class Picture {
public:
    Picture() = default;
    /// The pixels of `image` (none for a null image).
    explicit Picture(const QImage &image);
    /// Rows as the bitmap reader leaves them.
    Picture(std::vector<std::uint8_t> rows, std::int32_t width, std::int32_t height);

    bool isNull() const { return m_rows.empty(); }
    /// The rows, for the reduction; pixels is null when the picture holds none.
    BottomUpPicture rows() const;

private:
    std::vector<std::uint8_t> m_rows;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
};

/// Loads the picture file at `path`: bitmaps with the program's own bitmap
/// reader, other formats (PNG, JPEG, ...) with Qt's image reader. Throws
/// FileError when the file is missing or is not a picture this program can read.
Picture loadPicture(const FilePath &path);

} // namespace grelm
