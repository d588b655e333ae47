#include "thumbs/thumbnail_picture.h"

#include "core/errors.h"

#include <QImageReader>

namespace grelm {

Picture loadPicture(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        throw FileError(QStringLiteral("Cannot load the picture %1: %2")
                            .arg(path, reader.errorString())
                            .toStdString());
    return Picture(std::move(image));
}

} // namespace grelm
