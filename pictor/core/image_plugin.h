#pragma once

#include <QByteArray>
#include <QString>

namespace pictor {

// Makes Qt's image I/O (QImageReader/QImageWriter, QImage::load) use our PCX reader under "pcx"
// (description "PCX-Format") and our TGA reader and writer under "tga" ("Targa image"). A file is
// recognised by its suffix or, without one, by its header. Call once before loading pictures;
// later calls do nothing.
void registerImageFormats();

// The description a format is registered with ("PCX-Format", "Targa image"); empty for others.
QString imageFormatDescription(const QByteArray& format);

}  // namespace pictor
