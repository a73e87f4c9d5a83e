#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>

#include "suite_settings.h"

namespace pictor {

// The viewer's current palette: 256 entries kept in two forms that always describe the same
// colours. All zero (black) until a palette is loaded. Components are 8-bit, used as stored.
class Palette {
public:
    // PaletteBytes: blue, green, red per entry (the byte order of a 24-bit bitmap pixel).
    std::array<std::array<std::uint8_t, 3>, 256> bytes{};
    // PaletteColors: red + 256 x green + 65536 x blue per entry.
    std::array<std::uint32_t, 256> colors{};

    void setEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    QRgb rgb(int index) const;
    // From 768 bytes of red, green, blue.
    static Palette fromRgb(const std::uint8_t* rgb768);
    // From up to 256 entries of a picture's colour table; entries it lacks are black.
    static Palette fromColorTable(const QVector<QRgb>& table);

    // The colour table attached to pictures (the platform palette): entry i is entry i.
    QVector<QRgb> colorTable() const;
    // The lowest index whose colour is `color` (alpha ignored), or 256 when none is.
    int indexOf(QRgb color) const;
    // The index of the entry nearest to `color` (the lowest on ties).
    int nearestIndex(QRgb color) const;
    // The palette strip: 256 x 25 pixels, column x in the colour of entry x.
    QImage strip() const;

    // RAW: 768 bytes of red, green, blue.
    QByteArray toRaw() const;
    // RIFF palette: 1048 bytes ("RIFF", 1040, "PAL ", "data", 1028, 0x0300, 256, entries r g b 0).
    QByteArray toRiff() const;
    // JASC-PAL text: "JASC-PAL", "0100", "256", then one "r g b" line an entry; CR LF line ends.
    QByteArray toJasc() const;

    friend bool operator==(const Palette&, const Palette&) = default;
};

// The pseudo names of the two built-in palettes, "#resource{quarn1}" and "#resource{quarn2}": the
// suite settings' own names, so the default palette and the loader agree.
using kestrix::settings::kQuarn1Palette;
using kestrix::settings::kQuarn2Palette;

// Outcome of LoadPalette.
struct PaletteLoad {
    enum class Status {
        Loaded,
        Nothing,  // empty source or no such file: nothing changes, nothing is said
        Invalid,  // a failed RIFF check: `error` for a box titled "Invalid palette file"
        Error,    // the file could not be read
    };
    Status status = Status::Nothing;
    Palette palette;
    QString error;
    QString statusText;  // "Loading palette... RAW file" and the like
};

extern const char kInvalidPaletteTitle[];  // "Invalid palette file"

// BuildPlatformPalette: attaches the palette to an 8-bit picture as its colour table (entry i is
// entry i), which is also how a shown picture is recoloured: the pixels keep their indices. A
// picture that is not 8-bit is left as it is and false is returned.
bool BuildPlatformPalette(QImage& picture, const Palette& palette);

// The palette taken from a picture's colour table (entries it lacks are black); for a picture that
// is not 8-bit, std::nullopt: it has to become 8-bit first (ConvertTo8Bit).
std::optional<Palette> PaletteFromPicture(const QImage& picture);

// The picture as 8 bits a pixel, Qt choosing the colour table ("you might lose quality"). An 8-bit
// picture is returned as it is.
QImage ConvertTo8Bit(const QImage& picture);

// Loads a palette from "#resource{quarn1}", "#resource{quarn2}" (exact), a RAW file (exactly
// 768 bytes, whatever it begins with) or a RIFF palette (the five checks in order, each with its
// message). Entries that a truncated RIFF palette does not hold are black.
PaletteLoad LoadPalette(const QString& source);

}  // namespace pictor
