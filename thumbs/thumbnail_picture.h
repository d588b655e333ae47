#pragma once

#include <QImage>
#include <QString>

namespace grelm {

/// A loaded picture: an image that thumbnails are made from. A default
/// Picture holds no image.
class Picture {
public:
    Picture() = default;
    explicit Picture(QImage image) : m_image(std::move(image)) {}

    const QImage &image() const { return m_image; }
    bool isNull() const { return m_image.isNull(); }

private:
    QImage m_image;
};

/// Loads the picture file at `path`. Throws FileError when the file is
/// missing or is not a picture this program can read.
Picture loadPicture(const QString &path);

} // namespace grelm
