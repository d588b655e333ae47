#include "support/test_picture.h"

#include "support/bmp_builder.h"

#include <QLinearGradient>
#include <QPainter>

namespace grelm::test {

QImage testPicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 91 + 120) % 360, 180, 60));
    QPainter painter(&image);
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(QColor::fromHsv((seed * 13) % 360, 255, 255));
    painter.drawEllipse(QPoint(width / 3 + seed % 7, height / 2), width / 5, height / 4);
    painter.end();
    return image;
}

QByteArray screenshotFile(int width, int height, int seed)
{
    return make24BitBmp(testPicture(width, height, seed));
}

} // namespace grelm::test
