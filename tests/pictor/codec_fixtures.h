#pragma once

// Helpers shared by the PCX and TGA codec tests: fixtures made by other programs and their
// references, files built here from the published layouts, and reading pictures back.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace codec_fixtures {

using Indices = std::vector<int>;

QString fixturePath(const QString& name);

QByteArray readFixture(const QString& name);

// A ".ref" file beside a fixture, as Pillow reads the fixture: "width height colours", one
// "r g b" line per palette entry, then one index per pixel, rows top to bottom.
struct Reference {
    int width = 0;
    int height = 0;
    QList<QRgb> palette;
    Indices indices;
};

Reference readReference(const QString& name);

Indices indicesOf(const QImage& image);

// Per-pixel colours (opaque), rows top to bottom.
std::vector<QRgb> coloursOf(const QImage& image);

QString tool(const char* name);

QByteArray runTool(const QString& program, const QStringList& args);

// The colour of each pixel as ImageMagick reads the file (`convert FILE txt:-`).
std::vector<QRgb> magickColours(const QString& path, int width, int height);

enum class Kind { Pcx, Tga };

bool load(Kind kind, const QByteArray& data, QImage* out, QString* error, QString* notice = nullptr);

QByteArray bytes(std::initializer_list<int> values);

void put16(QByteArray& data, int at, int value);

int get32(const QByteArray& data, int at);

// ---- PCX files made here, from the published layout ----
struct PcxLayout {
    int bits = 8;
    int planes = 1;
    int xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    int bytesPerLine = 0;
    QList<QRgb> palette16;  // header colours of a 16-colour file
};

QByteArray pcxHeader(const PcxLayout& l);

// The run-length coding of one line: runs of 2 to 63 equal bytes as 0xC0 + n, value; a single
// byte of 0xC0 or more as the run 0xC1, value.
QByteArray encodeLine(const QByteArray& line);

// A 16-colour picture (1 bit, 4 planes) of the given indices, bytes per line even as the layout
// asks.
QByteArray makePcx16(int width, int height, const Indices& indices, const QList<QRgb>& palette);

QList<QRgb> palette16();

QByteArray palette256Block();

Indices patternIndices(int count, int modulo, int seed);

// ---- TGA files made here ----
// An uncompressed colour-mapped 8-bit TGA: header, 256 colours (blue, green, red), the rows in
// file order, then `trailer`.
QByteArray makeTga(int width, int height, const QByteArray& rows, int descriptor, const QByteArray& trailer = {});

QRgb tgaColour(int i);

inline const QByteArray kTgaFooter = QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.") + QByteArray(1, '\0');

QImage indexedImage(int width, int height, const Indices& indices, const QList<QRgb>& colours);

QList<QRgb> distinctColours();

}  // namespace codec_fixtures
