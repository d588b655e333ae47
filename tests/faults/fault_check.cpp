// grelm-fault-check: makes folders of screenshots for the fault scripts and
// checks what a Convert left behind.
//
//   grelm-fault-check make <folder> <count> [width height] [name-prefix]
//     writes <count> photo-like 24-bit bitmaps <prefix>0001.bmp ... (default "shot").
//   grelm-fault-check verify <folder> <originals> [--converted] [--thumbs] [--deleted]
//     <originals> holds a copy of every screenshot the user has. Checks that
//     each is still in <folder> unchanged, or that its JPEG and its thumbnail's
//     JPEG decode whole (the only case in which the bitmap may go); that every
//     JPEG and bitmap with a final name in <folder> and its Thumbs decodes
//     whole. --converted: every screenshot must have its JPEG (and with
//     --thumbs its thumbnail JPEG, and no thumbnail bitmap may be left);
//     --deleted: no screenshot bitmap may be left.
//   Prints one summary line; exits 1 when anything is lost, partial or missing.

#include "imaging/bmp_reader.h"
#include "core/pixel_rows.h"
#include "flush_order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <turbojpeg.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A JPEG decodes whole: it ends in its end marker and the library reports
// neither an error nor a warning (a cut file gives "premature end").
bool decodeJpeg(const QString &path, Picture *size = nullptr)
{
    const QByteArray bytes = readAll(path);
    if (bytes.size() < 4 || !bytes.endsWith("\xFF\xD9"))
        return false;
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, subsampling = 0, colourspace = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    bool ok = tjDecompressHeader3(tj, data, bytes.size(), &w, &h, &subsampling, &colourspace) == 0;
    if (ok) {
        std::vector<unsigned char> pixels(std::size_t(w) * std::size_t(h) * 3);
        ok = tjDecompress2(tj, data, bytes.size(), pixels.data(), w, 0, h, TJPF_RGB, TJFLAG_STOPONWARNING) == 0;
    }
    tjDestroy(tj);
    if (ok && size)
        *size = {w, h};
    return ok;
}

bool loadBitmap(const QString &path, Picture *size = nullptr)
{
    std::vector<std::uint8_t> pixels;
    const grelm::BmpResult r = grelm::BmpReader::load(grelm::FilePath::fromEscapedText(path), pixels);
    if (r && size)
        *size = {r.width, r.height};
    return bool(r);
}

QString baseName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

// A 24-bit bottom-up bitmap file of `image`, as the game writes them.
QByteArray bitmapFile(const QImage &image)
{
    const int w = image.width(), h = image.height();
    const int stride = int(grelm::paddedRowBytes(std::int64_t(w) * 3));
    QByteArray file(54 + stride * h, '\0');
    auto put32 = [&](int at, quint32 v) { for (int i = 0; i < 4; ++i) file[at + i] = char(v >> (8 * i)); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, quint32(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put32(26, 1 | (24 << 16));
    for (int y = 0; y < h; ++y) {
        char *row = file.data() + 54 + (h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            row[3 * x] = char(qBlue(c));
            row[3 * x + 1] = char(qGreen(c));
            row[3 * x + 2] = char(qRed(c));
        }
    }
    return file;
}

QImage screenshot(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0, QColor::fromHsv((seed * 37) % 360, 160, 230));
    sky.setColorAt(1, QColor::fromHsv((seed * 37 + 140) % 360, 200, 60));
    p.fillRect(image.rect(), sky);
    for (int i = 0; i < 12; ++i) {
        p.setBrush(QColor::fromHsv((seed * 13 + i * 29) % 360, 180, 200));
        p.drawEllipse(QPoint((seed * 71 + i * 97) % w, (seed * 43 + i * 61) % h), w / 10 + i, h / 12 + i);
    }
    return image;
}

int make(const QStringList &args)
{
    if (args.size() < 2)
        return 2;
    const QString folder = args[0];
    const int count = args[1].toInt();
    const int w = args.size() > 3 ? args[2].toInt() : 640;
    const int h = args.size() > 3 ? args[3].toInt() : 480;
    const QString prefix = args.size() > 4 ? args[4] : QStringLiteral("shot");
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        QFile f(folder + QStringLiteral("/%1%2.bmp").arg(prefix).arg(i, 4, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(bitmapFile(screenshot(w, h, i))) < 0)
            return 1;
    }
    return 0;
}

struct Tally {
    int screenshots = 0, asBitmap = 0, asJpegOnly = 0, both = 0, finalFiles = 0, hidden = 0;
    int lost = 0, partial = 0, missing = 0, leftover = 0;
};

void problem(int &counter, const char *what, const QString &path)
{
    ++counter;
    std::printf("  %s: %s\n", what, path.toUtf8().constData());
}

// Whether a whole JPEG of the picture's size, and its thumbnail JPEG, exist
// under the screenshot's base or, where an older picture kept that name, under
// the base followed by "_1", "_2", ...
struct JpegPair {
    bool jpeg = false;
    bool thumbnail = false;
};

JpegPair findJpegPair(const QString &folder, const QString &base, const Picture &source)
{
    JpegPair best;
    for (int n = 0; n <= 9999; ++n) {
        const QString name = n == 0 ? base : base + QStringLiteral("_%1").arg(n);
        const QString jpeg = folder + QLatin1Char('/') + name + QStringLiteral(".jpg");
        if (n > 0 && !QFileInfo::exists(jpeg))
            break;
        Picture converted;
        if (!decodeJpeg(jpeg, &converted) || converted.width != source.width || converted.height != source.height)
            continue;
        const JpegPair pair{true, decodeJpeg(folder + QStringLiteral("/Thumbs/th_") + name + QStringLiteral(".jpg"))};
        if (pair.thumbnail)
            return pair;
        best = pair;
    }
    return best;
}

void checkScreenshot(const QString &folder, const QFileInfo &original, bool needJpeg, bool thumbs, Tally &t)
{
    const QString name = original.fileName();
    const bool bitmapHere = QFileInfo::exists(folder + QLatin1Char('/') + name);
    Picture source;
    loadBitmap(original.filePath(), &source);
    const JpegPair pair = findJpegPair(folder, baseName(name).toLower(), source);
    const bool jpegWhole = pair.jpeg;
    ++t.screenshots;
    if (bitmapHere) {
        if (readAll(folder + QLatin1Char('/') + name) != readAll(original.filePath()))
            problem(t.lost, "bitmap changed", name);
        jpegWhole ? ++t.both : ++t.asBitmap;
    } else if (jpegWhole && pair.thumbnail) {
        ++t.asJpegOnly;
    } else {
        problem(t.lost, "LOST (no bitmap, no whole JPEG pair)", name);
    }
    if (needJpeg && (!jpegWhole || (thumbs && !pair.thumbnail)))
        problem(t.missing, "not converted", name);
}

// Every file with a final (not hidden) name must be whole.
void checkFinalFiles(const QString &folder, bool noThumbBitmaps, Tally &t)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &f : files) {
        if (f.fileName().startsWith(QLatin1Char('.'))) {
            ++t.hidden;
            continue;
        }
        const QString suffix = f.suffix().toLower();
        if (suffix == QLatin1String("jpg")) {
            ++t.finalFiles;
            if (!decodeJpeg(f.filePath()))
                problem(t.partial, "PARTIAL JPEG", f.filePath());
        } else if (suffix == QLatin1String("bmp") && folder.endsWith(QLatin1String("/Thumbs"))) {
            ++t.finalFiles;
            if (!loadBitmap(f.filePath()))
                problem(t.partial, "PARTIAL thumbnail bitmap", f.filePath());
            if (noThumbBitmaps)
                problem(t.leftover, "thumbnail bitmap left", f.filePath());
        }
    }
}

int verify(const QStringList &args)
{
    if (args.size() < 2)
        return 2;
    const QString folder = args[0];
    const bool converted = args.contains(QStringLiteral("--converted"));
    const bool thumbs = args.contains(QStringLiteral("--thumbs"));
    const bool deleted = args.contains(QStringLiteral("--deleted"));
    Tally t;
    for (const QFileInfo &original : QDir(args[1]).entryInfoList({QStringLiteral("*.bmp")}, QDir::Files)) {
        checkScreenshot(folder, original, converted, thumbs, t);
        if (deleted && QFileInfo::exists(folder + QLatin1Char('/') + original.fileName()))
            problem(t.leftover, "screenshot not deleted", original.fileName());
    }
    checkFinalFiles(folder, false, t);
    checkFinalFiles(folder + QStringLiteral("/Thumbs"), converted && thumbs, t);
    std::printf("verify: %d screenshots: %d as bitmap only, %d as JPEG only, %d both; %d final files whole; "
                "%d hidden; lost %d, partial %d, not converted %d, left over %d\n",
                t.screenshots, t.asBitmap, t.asJpegOnly, t.both, t.finalFiles - t.partial, t.hidden, t.lost,
                t.partial, t.missing, t.leftover);
    return t.lost + t.partial + t.missing + t.leftover == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const std::string mode = argc > 1 ? argv[1] : "";
    const int rc = mode == "make"     ? make(args)
                   : mode == "verify" ? verify(args)
                   : mode == "order"  ? checkFlushOrder(args)
                                      : 2;
    if (rc == 2)
        std::fprintf(stderr, "usage: grelm-fault-check make <folder> <count> [w h] [prefix] | "
                             "verify <folder> <originals> [--converted] [--thumbs] [--deleted] | "
                             "order <trace> <game folder>\n");
    return rc;
}
