#pragma once

#include <QImage>
#include <QString>

namespace pictor {

// Outcome of opening an ordinary picture.
struct PictureOpen {
    enum class Status {
        Loaded,   // `image` holds the picture
        Ignored,  // an extension the viewer does not open: nothing loaded
        Error,    // `error` is the decoder's message (the PCX and TGA readers' texts as they stand)
    };
    Status status = Status::Ignored;
    QImage image;
    QString error;
    QString notice;  // a message shown before the error (the TGA reader's colour count)
};

// Opens an ordinary picture by its extension in lower case: ".gif" (8 bits with the GIF's
// palette), ".bmp" (any depth), ".jpg" (24 bits; ".jpeg" is not recognised), ".pcx", ".tga" and
// ".png" (as stored: indexed PNGs stay 8-bit).
PictureOpen openPicture(const QString& path);

// Export formats, by the index of the save dialog's filter.
enum class ExportFormat { Bmp8 = 1, Bmp24 = 2, Gif = 3, Jpeg = 4, Tga = 5, Png = 6 };
// The format for a filter index; any other index writes as index 1.
ExportFormat exportFormatFor(int filterIndex);

// Writes `image` in `format`, whatever the file name's extension: BMP as the picture is (8-bit
// for game pictures) or converted to 24 bits, GIF with its two comments, JPEG at quality 100 in
// colour, TGA (8-bit pictures only), PNG (indexed where the picture is 8-bit, so the palette and
// the indices survive). False with `error` on failure; no partial file is left behind.
bool exportPicture(const QImage& image, const QString& path, ExportFormat format, QString* error);

// Outcome of SaveAsQim.
struct QimSave {
    enum class Status { Written, NotQim, Not8Bit, Error };
    Status status = Status::NotQim;
    QString error;
};
extern const char kOnly8BitMessage[];  // "Sorry, only 8bit bitmaps are supported..."

// Writes the picture's indices as a headerless game image (rows top to bottom, width bytes each),
// only when `path` ends in ".qim" (any case); other names write nothing. `anyName` writes whatever
// the name (kestrix-cli's explicit format). 8-bit pictures only.
QimSave SaveAsQim(const QImage& image, const QString& path, bool anyName = false);

}  // namespace pictor
