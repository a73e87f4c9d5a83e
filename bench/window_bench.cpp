// The extractor's main window with a 65,535-entry archive: loading it into the entry list (scan,
// list model, repaint) and the selection commands on it, beside the scan alone in the same run.
// Runs offscreen unless a display platform is asked for.

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include "bench_data.h"
#include "bench_results.h"
#include "hqr_archive.h"
#include "library_windows.h"
#include "many_entries.h"
#include "settings_store.h"
#include "unit_main.h"

namespace {

constexpr std::uint32_t kEntries = 65535;
constexpr double kLoadGoalSeconds = 1.0;

struct Context {
    kestrix::Tfrm_Main* window = nullptr;
    QString path;
};

void scanBench(benchmark::State& state, const Context* context)
{
    for (auto _ : state) {
        kestrix::LoadedArchive loaded;
        QString error;
        if (!kestrix::loadArchiveFile(context->path, {}, nullptr, &loaded, &error) ||
            loaded.rows().size() != kEntries) {
            state.SkipWithError("the scan failed");
            break;
        }
        benchmark::DoNotOptimize(loaded.rows().data());
    }
}

// LoadArchive as a user's open runs it, then the events that paint the filled list.
void loadBench(benchmark::State& state, const Context* context)
{
    for (auto _ : state) {
        context->window->LoadArchive(context->path);
        QCoreApplication::processEvents();
        if (context->window->loadedArchive().rows().size() != kEntries) {
            state.SkipWithError("the window did not list every entry");
            break;
        }
    }
}

// A selection command (by its menu item) and the repaint after it, starting from the first row
// selected or, for the inversion, from every other row selected (the most ranges a selection has).
void commandBench(benchmark::State& state, const Context* context, const char* item)
{
    auto* action = context->window->findChild<QAction*>(QString::fromLatin1(item));
    std::vector<char> start(kEntries, 0);
    const bool alternate = std::string(item) == "mi_InvertSelection";
    for (std::size_t i = 0; i < start.size(); ++i) start[i] = alternate ? static_cast<char>(i % 2) : i == 0;
    for (auto _ : state) {
        state.PauseTiming();
        context->window->setSelectedRows(start);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        action->trigger();
        QCoreApplication::processEvents();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "window_bench: cannot make a temporary folder\n");
        return 1;
    }
    kestrix::RegistryKey::useFolderForTesting(dir.filePath(QStringLiteral("settings")));
    Context context;
    context.path = dir.filePath(QStringLiteral("many.hqr"));
    const std::vector<std::uint8_t> archive = bench::manyEntryArchive(kEntries);
    QFile file(context.path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(archive.data()), static_cast<qint64>(archive.size())) !=
            static_cast<qint64>(archive.size())) {
        std::fprintf(stderr, "window_bench: cannot write %s\n", qPrintable(context.path));
        return 1;
    }
    file.close();

    kestrix::SilentLibraryWindows library;
    kestrix::MainWindowServices services;
    services.library = &library;
    services.playSound = [](kestrix::Sound) {};
    services.loadSfx = [] { return false; };
    services.freeSfx = [] {};
    services.programFolder = dir.path();
    kestrix::Tfrm_Main window(services);
    window.resize(800, 600);
    window.show();
    while (!window.isStarted()) QCoreApplication::processEvents();
    context.window = &window;
    std::printf("archive: %s entries, %s bytes (warm page cache), window %dx%d on \"%s\"\n",
                bench::withSeparators(kEntries).c_str(), bench::withSeparators(archive.size()).c_str(), window.width(),
                window.height(), qPrintable(QGuiApplication::platformName()));

    benchmark::RegisterBenchmark("scan/in-process", scanBench, &context)
        ->Repetitions(9)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window/LoadArchive", loadBench, &context)
        ->Iterations(1)
        ->Repetitions(9)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    for (const char* item : {"mi_SelectEven", "mi_SelectOdd", "mi_InvertSelection"})
        benchmark::RegisterBenchmark((std::string("window/") + item).c_str(), commandBench, &context, item)
            ->Iterations(1)
            ->Repetitions(9)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    std::printf("\nThe window with %s entries (median of the runs):\n", bench::withSeparators(kEntries).c_str());
    const std::pair<const char*, const char*> lines[] = {
        {"scan/in-process", "scan alone (reference):         "},
        {"window/LoadArchive", "LoadArchive into the window:   "},
        {"window/mi_SelectEven", "Select even entries:           "},
        {"window/mi_SelectOdd", "Select odd entries:            "},
        {"window/mi_InvertSelection", "Invert selection (every other):"},
    };
    for (const auto& [name, label] : lines) {
        if (results.repetitions(name) == 0)
            std::printf("  %s not run\n", label);
        else
            std::printf("  %s %.4f s\n", label, results.realSecondsPerIteration(name));
    }
    std::printf("  goal for the load: under %.1f s\n", kLoadGoalSeconds);
    window.close();
    return 0;
}
