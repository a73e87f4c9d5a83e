// Game pictures and palette files from arbitrary bytes: the sprite header, the size rules, custom
// layouts with the break-index coding, and the RAW/RIFF palette checks. Nothing may read or write
// outside a buffer, and whatever loads must have the dimensions its rules give.

#include <QFile>
#include <QTemporaryDir>

#include "fuzz_check.h"
#include "game_image.h"
#include "palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    if (size < 4) return 0;
    // The first four bytes choose a layout: custom on/off, break-index, dimensions.
    pictor::CustomLayout layout;
    layout.custom = data[0] & 1;
    layout.breakIndex = data[0] & 2;
    layout.width = data[1];
    layout.height = data[2];
    layout.begin = data[3] & 0x3F;
    layout.breakFirst = data[3];
    layout.breakLast = 255;
    const QByteArray body(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));
    const char* names[] = {"p.qsp", "p.qsr", "p.bin", "p.pal"};
    const QString path = dir.filePath(QString::fromLatin1(names[data[0] >> 6]));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 0;
        f.write(body);
    }
    pictor::Palette palette = pictor::LoadPalette(path).palette;
    const pictor::GameImageLoad indexed = pictor::LoadGameImage(path, palette, layout);
    const pictor::GameImageLoad coloured = pictor::LoadDroppedImage(path, palette, layout);
    for (const pictor::GameImageLoad* r : {&indexed, &coloured}) {
        if (r->status != pictor::GameImageLoad::Status::Loaded || r->image.isNull()) continue;
        if (layout.custom) FUZZ_CHECK(r->image.width() == layout.width && r->image.height() == layout.height);
    }
    QFile::remove(path);
    return 0;
}
