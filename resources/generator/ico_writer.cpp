#include "ico_writer.h"

#include <QBuffer>
#include <QDataStream>

#include <array>

namespace grelm::ico {

namespace {

// The sixteen colours of the standard Windows 4-bit palette.
const std::array<QRgb, 16> kVgaColours = {
    qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

int rowBytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

bool transparent(const QImage &image, int x, int y) { return qAlpha(image.pixel(x, y)) < 128; }

// The image without alpha: translucent edges are laid over black.
QImage flattened(const QImage &image)
{
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (transparent(image, x, y))
                opaque.setPixel(x, y, qRgb(0, 0, 0));
            else {
                const QRgb c = image.pixel(x, y);
                const int a = qAlpha(c);
                opaque.setPixel(x, y, qRgb(qRed(c) * a / 255, qGreen(c) * a / 255, qBlue(c) * a / 255));
            }
    return opaque;
}

QImage paletted(const QImage &image, int bits)
{
    const QImage opaque = flattened(image);
    if (bits == 4) {
        QList<QRgb> table(kVgaColours.begin(), kVgaColours.end());
        return opaque.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
    }
    return opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

void writeHeader(QDataStream &out, const QImage &image, int bits, quint32 dataSize, quint32 colours)
{
    out << quint32(40) << qint32(image.width()) << qint32(image.height() * 2) << quint16(1) << quint16(bits)
        << quint32(0) << dataSize << qint32(0) << qint32(0) << colours << quint32(0);
}

// The colour rows, bottom row first, each padded to 4 bytes.
QByteArray colourRows(const QImage &image, int bits)
{
    QByteArray rows;
    const QImage indexed = bits <= 8 ? paletted(image, bits) : QImage();
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(image.width(), bits), '\0');
        for (int x = 0; x < image.width(); ++x) {
            if (bits == 32) {
                const QRgb c = image.pixel(x, y);
                row[4 * x] = char(qBlue(c)), row[4 * x + 1] = char(qGreen(c));
                row[4 * x + 2] = char(qRed(c)), row[4 * x + 3] = char(qAlpha(c));
            } else if (bits == 8) {
                row[x] = char(indexed.pixelIndex(x, y));
            } else {
                row[x / 2] = char(row[x / 2] | (indexed.pixelIndex(x, y) << (x % 2 ? 0 : 4)));
            }
        }
        rows += row;
    }
    return rows;
}

// The transparency mask: one bit a pixel, set where the pixel is see-through.
QByteArray maskRows(const QImage &image)
{
    QByteArray rows;
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(image.width(), 1), '\0');
        for (int x = 0; x < image.width(); ++x)
            if (transparent(image, x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        rows += row;
    }
    return rows;
}

QByteArray paletteBytes(const QImage &image, int bits)
{
    QByteArray bytes;
    if (bits > 8)
        return bytes;
    const QList<QRgb> table = paletted(image, bits).colorTable();
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        bytes += char(qBlue(c)), bytes += char(qGreen(c)), bytes += char(qRed(c)), bytes += '\0';
    }
    return bytes;
}

QByteArray picture(const Entry &entry)
{
    const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
    const QByteArray pixels = colourRows(image, entry.bitsPerPixel) + maskRows(image);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 colours = entry.bitsPerPixel <= 8 ? quint32(1 << entry.bitsPerPixel) : 0;
    writeHeader(out, image, entry.bitsPerPixel, quint32(pixels.size()), colours);
    return bytes + paletteBytes(image, entry.bitsPerPixel) + pixels;
}

} // namespace

QByteArray write(const QList<Entry> &entries)
{
    QList<QByteArray> pictures;
    for (const Entry &entry : entries)
        pictures << picture(entry);

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(entries.size());
    quint32 offset = 6 + 16 * quint32(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int side = entries[i].image.width();
        const int bits = entries[i].bitsPerPixel;
        out << quint8(side >= 256 ? 0 : side) << quint8(side >= 256 ? 0 : side) << quint8(bits == 4 ? 16 : 0)
            << quint8(0) << quint16(1) << quint16(bits) << quint32(pictures[i].size()) << offset;
        offset += quint32(pictures[i].size());
    }
    for (const QByteArray &p : pictures)
        bytes += p;
    return bytes;
}

} // namespace grelm::ico
