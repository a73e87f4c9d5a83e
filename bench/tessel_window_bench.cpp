// The text viewer's window with a full 65,535-byte bank of short texts (thousands of rows): the
// load into the grid (read, model, row heights, repaint) and one edit with the offsets after it
// shifted, beside the core's read of the same file in the same run. Runs offscreen unless a
// display platform is asked for.

#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "bench_data.h"
#include "bench_results.h"
#include "library_windows.h"
#include "main_unit.h"
#include "settings_store.h"
#include "text_bank.h"
#include "text_grid_model.h"
#include "unit_edit.h"

namespace {

constexpr double kLoadGoalSeconds = 0.5;

struct Context {
    tessel::Tfrm_Main* window = nullptr;
    QString path;
    std::size_t rows = 0;
};

// Short texts ("Text 1", "Text 2", ...) with frame 1 until the bank is as large as a bank may be.
QByteArray fullBankOfShortTexts()
{
    std::vector<tessel::TextBankEntry> entries;
    QByteArray bank;
    QByteArray last;
    for (int n = 1;; ++n) {
        tessel::TextBankEntry e;
        e.text = QStringLiteral("Text %1").arg(n);
        e.frame = 1;
        e.hasFrame = true;
        entries.push_back(e);
        if (!tessel::WriteTextBank(entries, false, nullptr, &bank, nullptr)) break;
        last = bank;
    }
    return last;
}

void coreReadBench(benchmark::State& state, const Context* context)
{
    for (auto _ : state) {
        const tessel::TextBankLoad load = tessel::LoadTextFile(context->path, false, nullptr);
        if (load.entries.size() != context->rows) {
            state.SkipWithError("the core did not read every text");
            break;
        }
        benchmark::DoNotOptimize(load.entries.data());
    }
}

// LoadTextFile as "(Re)open file" runs it, then the events that paint the filled grid.
void loadBench(benchmark::State& state, const Context* context)
{
    for (auto _ : state) {
        context->window->LoadTextFile(context->path);
        QCoreApplication::processEvents();
        if (context->window->model().entries().size() != context->rows) {
            state.SkipWithError("the window did not show every text");
            break;
        }
    }
}

// An edit of the first text (one character longer), which moves every later offset.
void editBench(benchmark::State& state, const Context* context)
{
    for (auto _ : state) {
        state.PauseTiming();
        context->window->LoadTextFile(context->path);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        context->window->hg_TextButtonClick(0);
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
        std::fprintf(stderr, "tessel_window_bench: cannot make a temporary folder\n");
        return 1;
    }
    kestrix::RegistryKey::useFolderForTesting(dir.filePath(QStringLiteral("settings")));
    Context context;
    context.path = dir.filePath(QStringLiteral("full.qbt"));
    const QByteArray bank = fullBankOfShortTexts();
    QFile file(context.path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bank) != bank.size()) {
        std::fprintf(stderr, "tessel_window_bench: cannot write %s\n", qPrintable(context.path));
        return 1;
    }
    file.close();
    context.rows = tessel::readTextBank(bank, false, nullptr).entries.size();

    kestrix::SilentLibraryWindows library;
    tessel::MainWindowServices services;
    services.library = &library;
    services.playSound = [](kestrix::Sound) {};
    services.loadSfx = [] { return false; };
    services.freeSfx = [] {};
    services.programFolder = dir.path();
    services.runEditor = [](tessel::Tfrm_TextEditor& editor) {
        editor.setText(editor.text() + QStringLiteral("!"));
        return int(QDialog::Accepted);
    };
    tessel::Tfrm_Main window(services);
    window.resize(548, 302);
    window.show();
    while (!window.isStarted()) QCoreApplication::processEvents();
    context.window = &window;
    std::printf("bank: %s bytes, %s texts, window %dx%d on \"%s\"\n",
                bench::withSeparators(static_cast<std::uint64_t>(bank.size())).c_str(),
                bench::withSeparators(context.rows).c_str(), window.width(), window.height(),
                qPrintable(QGuiApplication::platformName()));

    benchmark::RegisterBenchmark("core/LoadTextFile", coreReadBench, &context)
        ->Repetitions(9)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window/LoadTextFile", loadBench, &context)
        ->Iterations(1)
        ->Repetitions(9)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window/edit", editBench, &context)
        ->Iterations(1)
        ->Repetitions(9)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    std::printf("\nThe window with %s texts (median of the runs):\n", bench::withSeparators(context.rows).c_str());
    const std::pair<const char*, const char*> lines[] = {
        {"core/LoadTextFile", "core read alone (reference):"},
        {"window/LoadTextFile", "LoadTextFile into the grid: "},
        {"window/edit", "edit of the first text:     "},
    };
    for (const auto& [name, label] : lines) {
        if (results.repetitions(name) == 0)
            std::printf("  %s not run\n", label);
        else
            std::printf("  %s %.4f s\n", label, results.realSecondsPerIteration(name));
    }
    std::printf("  goal for the load: under %.1f s\n", kLoadGoalSeconds);
    // The edits are not to be saved: a fresh load drops them, so closing asks nothing.
    window.LoadTextFile(context.path);
    window.close();
    return 0;
}
