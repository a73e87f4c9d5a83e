// TGA files from arbitrary bytes: the six header checks, both row orders, short files, and the
// writer on whatever loads. A file that loads is written and read back to the same picture.

#include <QImage>

#include "fuzz_check.h"
#include "tga_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray tga(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QImage image;
    QString error;
    QString notice;
    if (!pictor::loadTga(tga, &image, &error, &notice)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(size >= 786u + static_cast<size_t>(image.width()) * image.height());
    FUZZ_CHECK(image.format() == QImage::Format_Indexed8);

    QByteArray written;
    FUZZ_CHECK(pictor::saveTga(image, &written, &error));
    QImage back;
    FUZZ_CHECK(pictor::loadTga(written, &back, &error));
    FUZZ_CHECK(back == image);
    return 0;
}
