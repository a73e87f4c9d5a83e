// Writes the demo archives that `make run` and the README's examples use. Every byte is made
// here, with the suite's own encoder, so the demo needs no game data.
//
// Usage: make_demo_data OUTPUT_FOLDER

#include <cmath>
#include <cstdio>
#include <string>

#include <QDir>
#include <QString>

#include "hqr_compose.h"
#include "memory_stream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kestrix::ComposedSlot;

Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 256-colour palette of six-bit ramps, as the games store them (768 bytes, values 0..63).
Bytes demoPalette()
{
    Bytes p(768);
    for (int i = 0; i < 256; ++i) {
        const int band = i / 32;
        const int level = (i % 32) * 2;
        p[3 * i + 0] = static_cast<std::uint8_t>((band & 1) ? level : level / 4);
        p[3 * i + 1] = static_cast<std::uint8_t>((band & 2) ? level : level / 3);
        p[3 * i + 2] = static_cast<std::uint8_t>((band & 4) ? level : level / 2);
    }
    return p;
}

// A 640 x 480 full-screen picture: sky bands, hills and a sun, one palette index per pixel.
Bytes demoScreen()
{
    Bytes img(640 * 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const double hill = 330 + 40 * std::sin(x / 70.0) + 20 * std::sin(x / 23.0);
            const double dx = x - 480, dy = y - 110;
            std::uint8_t c;
            if (dx * dx + dy * dy < 55 * 55)
                c = static_cast<std::uint8_t>(96 + 31 - static_cast<int>(std::sqrt(dx * dx + dy * dy) / 2));
            else if (y < hill)
                c = static_cast<std::uint8_t>(128 + std::min(31, y / 12));
            else
                c = static_cast<std::uint8_t>(64 + std::min(31, static_cast<int>((y - hill) / 5) + ((x / 8 + y / 8) % 3)));
            img[static_cast<std::size_t>(y) * 640 + x] = c;
        }
    }
    return img;
}

// A small sprite: a header of its own followed by a 32 x 32 diamond.
Bytes demoSprite()
{
    Bytes s;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) s.push_back(std::abs(x - 16) + std::abs(y - 16) < 14 ? 200 + (x + y) % 8 : 0);
    return s;
}

bool write(const QString& path, const Bytes& bytes)
{
    QString error;
    if (!kestrix::writeFileAtomically(path, bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "make_demo_data: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_data OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    const std::string readme =
        "Welcome to the Kestrix demo archive.\r\n"
        "Every entry in here was made by the suite itself: a palette, a full-screen picture,\r\n"
        "a sprite, this note, a blank slot and a slot that shares its entry with another.\r\n";
    const std::vector<ComposedSlot> demo = {
        ComposedSlot::stored(textBytes(readme)),
        ComposedSlot::blank(),
        ComposedSlot::compressed(demoPalette(), 1),
        ComposedSlot::compressed(demoScreen(), 2),
        ComposedSlot::doubleOf(2),
        ComposedSlot::compressed(demoSprite(), 1),
        ComposedSlot::stored(demoSprite()),
    };
    if (!write(folder + QStringLiteral("/demo.hqr"), kestrix::composeArchive(demo))) return 1;
    return 0;
}
