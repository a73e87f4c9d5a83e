// PCX files from arbitrary bytes: the header, both decoders, run lengths past the line and the
// palette marker. Nothing may read or write outside a buffer; what loads has the header's size.

#include <QImage>

#include "fuzz_check.h"
#include "pcx_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray pcx(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QImage image;
    QString error;
    if (!pictor::loadPcx(pcx, &image, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    const auto corner = [&](int at) { return static_cast<qint16>(data[at] | data[at + 1] << 8); };
    FUZZ_CHECK(image.width() == corner(8) - corner(4) + 1);
    FUZZ_CHECK(image.height() == corner(10) - corner(6) + 1);
    FUZZ_CHECK(image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
               image.depth() <= 8);
    return 0;
}
