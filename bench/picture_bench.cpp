// Decoding a 640 x 480 game picture with a palette into a picture (the viewer's index path, file
// read included), beside reading the same file's bytes and a plain copy of them, in one run.

#include <cstdio>
#include <cstring>

#include <QFile>
#include <QTemporaryDir>

#include "bench_results.h"
#include "game_image.h"
#include "palette.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr double kGoalMs = 2.0;

void decodeBench(benchmark::State& state, const QString* path)
{
    pictor::Palette palette = pictor::LoadPalette(QString::fromLatin1(pictor::kQuarn1Palette)).palette;
    for (auto _ : state) {
        const pictor::GameImageLoad r = pictor::LoadGameImage(*path, palette, {});
        if (r.image.width() != kWidth) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(r.image.constBits());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
}

void readBench(benchmark::State& state, const QString* path)
{
    for (auto _ : state) {
        QFile file(*path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
}

void copyBench(benchmark::State& state)
{
    std::vector<char> from(kWidth * kHeight, 7), to(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight);
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("screen.qim"));
    {
        QByteArray pixels(kWidth * kHeight, '\0');
        for (int i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<char>((i % kWidth) / 3 + (i / kWidth) / 4);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(pixels) != pixels.size()) {
            std::fprintf(stderr, "picture_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    benchmark::RegisterBenchmark("decode/640x480-game-picture", decodeBench, &path)
        ->Repetitions(5)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("reference/read-file", readBench, &path)
        ->Repetitions(5)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("reference/memcpy-307200", copyBench)->Repetitions(5)->Unit(benchmark::kMicrosecond);

    bench::Results results;
    if (!results.run(argc, argv)) return 1;
    const double decodeMs = results.realSecondsPerIteration("decode/640x480-game-picture") * 1000;
    std::printf(
        "Decoding a 640 x 480 game picture with a palette (file read included): %.3f ms (goal under %.0f ms);\n"
        "reading the file alone %.3f ms, copying its bytes %.3f ms (medians of 5 repetitions)\n",
        decodeMs, kGoalMs, results.realSecondsPerIteration("reference/read-file") * 1000,
        results.realSecondsPerIteration("reference/memcpy-307200") * 1000);
    return 0;
}
