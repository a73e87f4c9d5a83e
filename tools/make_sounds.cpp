// Synthesises the suite's eight sound-effect waves (16-bit PCM, mono, 22050 Hz) and a Qt resource
// collection file that maps each to "/sfx/<number>.wav"; the build turns that into "Sonette.rcc".
//
//   make_sounds <output folder>
//
// Everything is computed, nothing is recorded: the same input gives the same bytes on every build.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "sound.h"

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kFadeSeconds = 0.004;  // edges ramp in and out so that no sound starts with a click
constexpr double kPeak = 0.55;          // loudest sample, as a fraction of full scale

using Samples = std::vector<double>;

Samples silence(double seconds)
{
    return Samples(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0);
}

double timeOf(std::size_t i)
{
    return static_cast<double>(i) / kRate;
}

// Adds a note from `start` for `length` seconds: a few harmonics with a short attack and an
// exponential decay (`decay` per second).
void addNote(Samples& s, double start, double length, double frequency, double amplitude, double decay,
             const std::vector<double>& harmonics = {1.0})
{
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
        const double t = timeOf(i);
        const double attack = std::min(1.0, t / 0.005);
        const double release = std::min(1.0, (length - t) / 0.01);
        double v = 0.0;
        for (std::size_t h = 0; h < harmonics.size(); ++h)
            v += harmonics[h] * std::sin(kTwoPi * frequency * static_cast<double>(h + 1) * t);
        s[first + i] += amplitude * attack * std::max(0.0, release) * std::exp(-decay * t) * v;
    }
}

// A sine whose frequency glides exponentially from `from` to `to` over the whole buffer, shaped by
// `envelope(position 0..1)`.
void addGlide(Samples& s, double from, double to, const std::function<double(double)>& envelope)
{
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(s.size());
        const double frequency = from * std::pow(to / from, x);
        phase += kTwoPi * frequency / kRate;
        s[i] += envelope(x) * (std::sin(phase) + 0.15 * std::sin(2.0 * phase));
    }
}

// Deterministic white noise in [-1, 1].
double noise(std::uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / static_cast<double>(1u << 23) - 1.0;
}

Samples fanfare()  // the hidden key sequence: a rising arpeggio that rings out
{
    Samples s = silence(0.58);
    const std::vector<double> brass{1.0, 0.5, 0.3, 0.12};
    addNote(s, 0.00, 0.11, 523.25, 0.5, 4.0, brass);
    addNote(s, 0.10, 0.11, 659.25, 0.5, 4.0, brass);
    addNote(s, 0.20, 0.11, 783.99, 0.5, 4.0, brass);
    addNote(s, 0.30, 0.28, 1046.50, 0.6, 3.0, brass);
    addNote(s, 0.30, 0.28, 523.25, 0.3, 3.0, brass);
    return s;
}

Samples chime()  // About: a small bell with inharmonic partials
{
    Samples s = silence(0.5);
    addNote(s, 0.0, 0.5, 880.0, 1.0, 6.0);
    addNote(s, 0.0, 0.5, 880.0 * 2.76, 0.4, 9.0);
    addNote(s, 0.0, 0.5, 880.0 * 5.40, 0.2, 14.0);
    return s;
}

Samples click()  // a button: a very short tick with a breath of noise
{
    Samples s = silence(0.06);
    std::uint32_t seed = 11;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        s[i] = std::exp(-t * 140.0) * std::sin(kTwoPi * 1800.0 * t) + 0.4 * std::exp(-t * 600.0) * noise(seed);
    }
    return s;
}

Samples softPop()  // an unmapped character: a falling bubble
{
    Samples s = silence(0.08);
    addGlide(s, 520.0, 170.0, [](double x) { return std::sin(std::numbers::pi * x); });
    return s;
}

Samples helpTone()  // help and information: two rising notes
{
    Samples s = silence(0.32);
    addNote(s, 0.00, 0.15, 659.25, 0.7, 6.0, {1.0, 0.2});
    addNote(s, 0.16, 0.16, 880.00, 0.7, 6.0, {1.0, 0.2});
    return s;
}

Samples whoosh()  // a menu opens: noise through a filter that opens and closes
{
    Samples s = silence(0.25);
    std::uint32_t seed = 7;
    double low = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(s.size());
        const double cutoff = 300.0 + 2700.0 * std::sin(std::numbers::pi * x);
        const double a = 1.0 - std::exp(-kTwoPi * cutoff / kRate);
        low += a * (noise(seed) - low);
        s[i] = std::sin(std::numbers::pi * x) * low;
    }
    return s;
}

Samples doneChord()  // end of a load or an extraction: a major chord
{
    Samples s = silence(0.45);
    const std::vector<double> soft{1.0, 0.25};
    addNote(s, 0.0, 0.45, 523.25, 0.5, 5.0, soft);
    addNote(s, 0.0, 0.45, 659.25, 0.4, 5.0, soft);
    addNote(s, 0.0, 0.45, 783.99, 0.4, 5.0, soft);
    return s;
}

Samples windowSweep()  // a window opens: a quick rising sweep
{
    Samples s = silence(0.2);
    addGlide(s, 300.0, 900.0, [](double x) { return x < 0.7 ? 1.0 : (1.0 - x) / 0.3; });
    return s;
}

// Fades the edges, scales the peak to kPeak and converts to 16-bit little-endian PCM.
std::vector<std::uint8_t> toPcm(Samples s)
{
    const auto fade = static_cast<std::size_t>(kFadeSeconds * kRate);
    for (std::size_t i = 0; i < fade && i < s.size(); ++i) {
        const double g = static_cast<double>(i) / static_cast<double>(fade);
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
    double peak = 0.0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    const double gain = peak > 0.0 ? kPeak / peak : 0.0;

    std::vector<std::uint8_t> pcm;
    pcm.reserve(s.size() * 2);
    for (double v : s) {
        const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(v * gain, -1.0, 1.0) * 32767.0));
        const auto u = static_cast<std::uint16_t>(sample);
        pcm.push_back(static_cast<std::uint8_t>(u & 0xFF));
        pcm.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return pcm;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    // Byte by byte: a range insert here draws a false overflow warning from GCC 12 at -O2.
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// A canonical 44-byte RIFF/WAVE header (format 1, PCM) followed by the samples.
std::vector<std::uint8_t> wave(const std::vector<std::uint8_t>& pcm)
{
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(36 + pcm.size()));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kRate);
    put32(out, kRate * 2);  // bytes per second
    put16(out, 2);          // bytes per frame
    put16(out, 16);         // bits per sample
    putTag(out, "data");
    put32(out, static_cast<std::uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

bool writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

struct SoundWave {
    kestrix::Sound sound;
    Samples (*make)();
};

using kestrix::Sound;
const SoundWave kSounds[] = {
    {Sound::HiddenSequence, fanfare}, {Sound::About, chime},
    {Sound::ButtonClick, click},      {Sound::UnknownCharacter, softPop},
    {Sound::Help, helpTone},          {Sound::PopupMenu, whoosh},
    {Sound::OperationEnd, doneChord}, {Sound::WindowShown, windowSweep},
};
static_assert(std::size(kSounds) == kestrix::kAllSounds.size(), "one wave per sound");

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    std::string qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/sfx\">\n";
    for (const SoundWave& sound : kSounds) {
        const std::string name = std::to_string(kestrix::SoundNumber(sound.sound)) + ".wav";
        const std::vector<std::uint8_t> bytes = wave(toPcm(sound.make()));
        if (!writeFile(folder / name, std::string(bytes.begin(), bytes.end()))) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
        qrc += "  <file alias=\"" + name + "\">" + name + "</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    if (!writeFile(folder / "sounds.qrc", qrc)) {
        std::fprintf(stderr, "make_sounds: cannot write %s\n", (folder / "sounds.qrc").c_str());
        return 1;
    }
    return 0;
}
