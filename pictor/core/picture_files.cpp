#include "picture_files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include "gif_io.h"
#include "jpeg_io.h"
#include "memory_stream.h"
#include "pcx_codec.h"
#include "tga_codec.h"

namespace pictor {

const char kOnly8BitMessage[] = "Sorry, only 8bit bitmaps are supported...";

namespace {

bool readAll(const QString& path, QByteArray* data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    *data = file.readAll();
    return true;
}

// Qt's own writers (BMP, PNG) into memory first, so a failure leaves no partial file.
bool saveWithQt(const QImage& image, const QString& path, const char* format, QString* error)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) {
        *error = QStringLiteral("%1: the picture could not be written as %2").arg(path, QLatin1String(format));
        return false;
    }
    return kestrix::writeFileAtomically(path, data, error);
}

}  // namespace

PictureOpen openPicture(const QString& path)
{
    PictureOpen r;
    const QString suffix = QFileInfo(path).suffix().toLower();
    auto fail = [&r](const QString& error) {
        r.status = PictureOpen::Status::Error;
        r.error = error;
        return r;
    };
    QByteArray data;
    if (suffix == QLatin1String("gif")) {
        if (!readGif(path, &r.image, &r.error)) return fail(r.error);
    } else if (suffix == QLatin1String("jpg")) {
        if (!readJpeg(path, &r.image, &r.error)) return fail(r.error);
    } else if (suffix == QLatin1String("bmp") || suffix == QLatin1String("png")) {
        if (!readAll(path, &data, &r.error)) return fail(r.error);
        if (!r.image.loadFromData(data, suffix == QLatin1String("bmp") ? "BMP" : "PNG"))
            return fail(QStringLiteral("%1: not a valid %2 picture").arg(path, suffix.toUpper()));
    } else if (suffix == QLatin1String("pcx")) {
        if (!readAll(path, &data, &r.error)) return fail(r.error);
        if (!loadPcx(data, &r.image, &r.error)) return fail(r.error);
    } else if (suffix == QLatin1String("tga")) {
        if (!readAll(path, &data, &r.error)) return fail(r.error);
        if (!loadTga(data, &r.image, &r.error, &r.notice)) return fail(r.error);
    } else {
        return r;  // Ignored
    }
    r.status = PictureOpen::Status::Loaded;
    return r;
}

ExportFormat exportFormatFor(int filterIndex)
{
    return filterIndex >= 1 && filterIndex <= 6 ? static_cast<ExportFormat>(filterIndex) : ExportFormat::Bmp8;
}

bool exportPicture(const QImage& image, const QString& path, ExportFormat format, QString* error)
{
    if (image.isNull()) {
        *error = QStringLiteral("%1: there is no picture to write").arg(path);
        return false;
    }
    switch (format) {
    case ExportFormat::Bmp8:
        return saveWithQt(image, path, "BMP", error);
    case ExportFormat::Bmp24:
        return saveWithQt(image.convertToFormat(QImage::Format_RGB888), path, "BMP", error);
    case ExportFormat::Gif:
        return writeGif(image, path, error);
    case ExportFormat::Jpeg:
        return writeJpeg(image, path, error);
    case ExportFormat::Tga: {
        QByteArray data;
        if (!saveTga(image, &data, error)) return false;
        return kestrix::writeFileAtomically(path, data, error);
    }
    case ExportFormat::Png:
        return saveWithQt(image, path, "PNG", error);
    }
    return false;
}

QimSave SaveAsQim(const QImage& image, const QString& path, bool anyName)
{
    QimSave r;
    if (!anyName && QFileInfo(path).suffix().toLower() != QLatin1String("qim")) return r;  // NotQim
    if (image.format() != QImage::Format_Indexed8) {
        r.status = QimSave::Status::Not8Bit;
        r.error = QString::fromLatin1(kOnly8BitMessage);
        return r;
    }
    QByteArray data;
    data.reserve(static_cast<qsizetype>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y)
        data.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width());
    if (!kestrix::writeFileAtomically(path, data, &r.error)) {
        r.status = QimSave::Status::Error;
        return r;
    }
    r.status = QimSave::Status::Written;
    return r;
}

}  // namespace pictor
