// Writes the demo archives that `make run` and the README's examples use. Every byte is made
// here, with the suite's own encoder, so the demo needs no game data. The archives are named
// like the games' own, so the extractor's per-archive defaults show on them.
//
// Usage: make_demo_data OUTPUT_FOLDER

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include <QDir>
#include <QString>

#include "hqr_compose.h"
#include "memory_stream.h"
#include "text_bank.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using kestrix::ComposedSlot;
using kestrix::EntryType;

Bytes textBytes(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

void put16(Bytes& b, std::uint16_t v)
{
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v)
{
    put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}

// A 256-colour palette (768 bytes of red, green, blue): eight ramps of 32 shades each, from
// dark to light: greys, sky blues, grass greens, earth browns, sun yellows, reds, violets, sea.
Bytes demoPalette()
{
    const int tops[8][3] = {{255, 255, 255}, {120, 180, 255}, {90, 220, 80},   {200, 140, 80},
                            {255, 230, 90},  {240, 70, 60},   {190, 110, 230}, {40, 200, 210}};
    Bytes p;
    for (int ramp = 0; ramp < 8; ++ramp)
        for (int shade = 0; shade < 32; ++shade)
            for (int c = 0; c < 3; ++c) p.push_back(static_cast<std::uint8_t>(tops[ramp][c] * (shade + 1) / 32));
    return p;
}

std::uint8_t shade(int ramp, int level)
{
    return static_cast<std::uint8_t>(ramp * 32 + std::clamp(level, 0, 31));
}

// A full-screen picture (640 x 480, one palette index a pixel): sky, a sun, hills and a sea.
Bytes demoScreen(int width, int height)
{
    Bytes img(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double fx = x * 640.0 / width, fy = y * 480.0 / height;
            const double hill = 300 + 45 * std::sin(fx / 70.0) + 18 * std::sin(fx / 23.0);
            const double dx = fx - 470, dy = fy - 110;
            const double sun = std::sqrt(dx * dx + dy * dy);
            std::uint8_t c;
            if (sun < 50)
                c = shade(4, 31 - static_cast<int>(sun / 5));
            else if (fy < hill)
                c = shade(1, 31 - static_cast<int>(fy / 14));
            else if (fy < 400)
                c = shade(2, 26 - static_cast<int>((fy - hill) / 6) + ((x / 6 + y / 5) % 3));
            else
                c = shade(7, 18 + static_cast<int>(4 * std::sin(fx / 9.0 + fy / 3.0)));
            img[static_cast<std::size_t>(y) * width + x] = c;
        }
    }
    return img;
}

// A sprite: 12-byte header (width at byte 8, height at byte 9), then one index a pixel, 0 = clear.
Bytes demoSprite(int size, int ramp, int kind)
{
    Bytes s(12, 0);
    s[8] = static_cast<std::uint8_t>(size);
    s[9] = static_cast<std::uint8_t>(size);
    const int r = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int dx = x - r, dy = y - r;
            bool inside = false;
            if (kind == 0) inside = dx * dx + dy * dy < (r - 1) * (r - 1);         // ball
            if (kind == 1) inside = std::abs(dx) + std::abs(dy) < r - 1;           // gem
            if (kind == 2) inside = std::abs(dx) < r - 2 && std::abs(dy) < r / 2;  // brick
            s.push_back(inside ? shade(ramp, 30 - (std::abs(dx) + std::abs(dy)) * 20 / size) : 0);
        }
    }
    return s;
}

// A short sound: a RIFF wave, 8-bit mono at 11025 Hz, a falling chirp of a quarter second.
Bytes demoWave(double startHz, double endHz)
{
    const int rate = 11025, count = rate / 4;
    Bytes samples;
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / count;
        phase += 2 * M_PI * (startHz + (endHz - startHz) * t) / rate;
        const double envelope = std::min(1.0, (1 - t) * 4) * std::min(1.0, t * 40);
        samples.push_back(static_cast<std::uint8_t>(128 + 100 * envelope * std::sin(phase)));
    }
    Bytes w = textBytes("RIFF");
    put32(w, static_cast<std::uint32_t>(36 + samples.size()));
    for (char c : std::string("WAVEfmt ")) w.push_back(static_cast<std::uint8_t>(c));
    put32(w, 16);
    put16(w, 1);     // PCM
    put16(w, 1);     // mono
    put32(w, rate);  // sample rate
    put32(w, rate);  // bytes a second
    put16(w, 1);     // block align
    put16(w, 8);     // bits a sample
    for (char c : std::string("data")) w.push_back(static_cast<std::uint8_t>(c));
    put32(w, static_cast<std::uint32_t>(samples.size()));
    w.insert(w.end(), samples.begin(), samples.end());
    return w;
}

// A stand-in for a music entry: a form header that the extractor's smart extension recognises.
Bytes demoMusic()
{
    Bytes m = textBytes("FORM");
    put32(m, 64);
    for (char c : std::string("XMIDFORM")) m.push_back(static_cast<std::uint8_t>(c));
    for (int i = 0; i < 64; ++i) m.push_back(static_cast<std::uint8_t>((i * 37) & 0x7F));
    return m;
}

// A Quarn 2 text bank made with the suite's writer: frame byte, then the text.
Bytes demoBank(const std::vector<std::pair<int, QString>>& texts)
{
    std::vector<tessel::TextBankEntry> entries;
    for (const auto& [frame, text] : texts) {
        tessel::TextBankEntry e;
        e.frame = frame;
        e.hasFrame = true;
        e.text = text;
        entries.push_back(e);
    }
    QByteArray bank;
    tessel::WriteTextBank(entries, false, nullptr, &bank, nullptr);
    return Bytes(bank.begin(), bank.end());
}

// Data that sits between the banks of a text archive: a small table of numbers.
Bytes demoTable(int count)
{
    Bytes t;
    for (int i = 0; i < count; ++i) put16(t, static_cast<std::uint16_t>(i * 3 + 1));
    return t;
}

bool write(const QString& folder, const char* name, const std::vector<ComposedSlot>& entries)
{
    const Bytes bytes = kestrix::composeArchive(entries);
    QString error;
    if (!kestrix::writeFileAtomically(folder + u'/' + QLatin1String(name), bytes.data(), bytes.size(), &error)) {
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
        "Welcome to the Kestrix demo archives.\r\n"
        "Every entry in them was made by the suite itself: palettes, pictures, sprites, sounds,\r\n"
        "a note like this one, blank slots and slots that share their entry with another.\r\n";

    // The text bank of text.hqr's second entry, as a file of its own for the text viewer.
    const Bytes bank = demoBank({
        {1, QStringLiteral("Welcome to the demo text bank.")},
        {3, QStringLiteral("A big frame holds\r\ntwo lines of text.")},
        {33, QStringLiteral("Radio: \u00e9t\u00e9 au ch\u00e2teau, M\u00fcller's caf\u00e9, se\u00f1or!")},
        {65, QStringLiteral("A lantern: it lights the cellar \u00a9 the lamplighters' guild\u2122.")},
        {129, QStringLiteral("The end of the demo.")},
    });
    QString bankError;
    if (!kestrix::writeFileAtomically(folder + QStringLiteral("/demo.qbt"), bank.data(), bank.size(), &bankError)) {
        std::fprintf(stderr, "make_demo_data: %s\n", qPrintable(bankError));
        return 1;
    }

    // Resources: a palette, a full-screen picture with its palette after it, a square picture,
    // a note, a music entry, a blank slot and a slot sharing the palette. All three entry types.
    const bool ok =
        write(
            folder, "ress.hqr",
            {ComposedSlot::compressed(demoPalette(), EntryType::Bias2),
             ComposedSlot::compressed(demoScreen(640, 480), EntryType::Bias3),
             ComposedSlot::compressed(demoPalette(), EntryType::Bias2), ComposedSlot::blank(),
             ComposedSlot::compressed(demoScreen(256, 256), EntryType::Bias2), ComposedSlot::stored(textBytes(readme)),
             ComposedSlot::stored(demoMusic()), ComposedSlot::doubleOf(0)}) &&
        write(folder, "sprites.hqr",
              {ComposedSlot::stored(demoSprite(32, 0, 0)),
               ComposedSlot::compressed(demoSprite(48, 5, 1), EntryType::Bias2),
               ComposedSlot::compressed(demoSprite(40, 3, 2), EntryType::Bias3), ComposedSlot::blank(),
               ComposedSlot::compressed(demoSprite(64, 6, 0), EntryType::Bias3), ComposedSlot::doubleOf(1),
               ComposedSlot::stored(demoSprite(24, 7, 1))}) &&
        write(
            folder, "samples.hqr",
            {ComposedSlot::stored(demoWave(880, 220)), ComposedSlot::compressed(demoWave(300, 1200), EntryType::Bias2),
             ComposedSlot::blank(), ComposedSlot::compressed(demoWave(660, 440), EntryType::Bias3)}) &&
        // Text archives hold data at odd entries and text banks at even ones.
        write(folder, "text.hqr",
              {ComposedSlot::stored(demoTable(12)), ComposedSlot::stored(bank), ComposedSlot::stored(demoTable(30)),
               ComposedSlot::compressed(demoBank({
                                            {9, QStringLiteral("Second bank, first text.")},
                                            {17, QStringLiteral("North shore lighthouse")},
                                            {1, QStringLiteral("\u00bfDo you hear the bells? \u00a1Yes!")},
                                        }),
                                        EntryType::Bias2)});
    return ok ? 0 : 1;
}
