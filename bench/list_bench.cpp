// Listing a 65,535-entry archive: the scan in-process and the whole `kestrix-cli list` process
// with its output thrown away, each the median of several runs, beside the 0.25 s goal.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "bench_data.h"
#include "bench_results.h"
#include "hqr_archive.h"
#include "many_entries.h"

extern char** environ;

namespace {

constexpr std::uint32_t kEntries = 65535;
constexpr double kGoalSeconds = 0.25;
constexpr const char* kCli = KESTRIX_BIN_DIR "/kestrix-cli";

// Runs `kestrix-cli list archive` with its standard output sent to /dev/null; returns its exit
// status (-1 when it could not be started or did not exit normally).
int runCliList(const std::string& archive)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = kCli;
    std::string command = "list";
    std::string path = archive;
    char* args[] = {program.data(), command.data(), path.data(), nullptr};
    pid_t pid = 0;
    const int started = posix_spawn(&pid, kCli, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

void scanBench(benchmark::State& state, const QString* path)
{
    for (auto _ : state) {
        kestrix::ArchiveScan scan;
        QString error;
        if (!kestrix::scanArchiveFile(*path, {}, nullptr, &scan, &error) || scan.rows.size() != kEntries) {
            state.SkipWithError("the scan failed or listed the wrong number of entries");
            break;
        }
        benchmark::DoNotOptimize(scan.rows.data());
    }
}

void cliBench(benchmark::State& state, const std::string* path)
{
    for (auto _ : state) {
        if (runCliList(*path) != 0) {
            state.SkipWithError("kestrix-cli list failed");
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (access(kCli, X_OK) != 0) {
        std::fprintf(stderr, "list_bench: %s is missing; build kestrix-cli first\n", kCli);
        return 1;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "list_bench: cannot make a temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("many.hqr"));
    const std::vector<std::uint8_t> archive = bench::manyEntryArchive(kEntries);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(archive.data()), static_cast<qint64>(archive.size())) !=
                static_cast<qint64>(archive.size())) {
            std::fprintf(stderr, "list_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    // One checked run of the tool first: the header line and one line per entry.
    QProcess check;
    check.start(QString::fromUtf8(kCli), {QStringLiteral("list"), path});
    check.waitForFinished(60000);
    const QByteArray listing = check.readAllStandardOutput();
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0 || listing.count('\n') != kEntries + 1) {
        std::fprintf(stderr, "list_bench: kestrix-cli list printed %lld lines (exit %d), expected %u\n",
                     static_cast<long long>(listing.count('\n')), check.exitCode(), kEntries + 1);
        return 1;
    }
    std::printf("archive: %s entries, %s bytes, in %s (warm page cache)\n", bench::withSeparators(kEntries).c_str(),
                bench::withSeparators(archive.size()).c_str(), qPrintable(path));

    const std::string pathUtf8 = path.toStdString();
    benchmark::RegisterBenchmark("scan/in-process", scanBench, &path)
        ->Repetitions(9)
        ->MinTime(0.2)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("process/kestrix-cli-list", cliBench, &pathUtf8)
        ->Iterations(1)
        ->Repetitions(15)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    std::printf("\nListing %s entries:\n", bench::withSeparators(kEntries).c_str());
    for (const auto& [name, label] : {std::pair{"scan/in-process", "scanArchiveFile in-process:          "},
                                      std::pair{"process/kestrix-cli-list", "kestrix-cli list ARCHIVE > /dev/null:"}}) {
        const int runs = results.repetitions(name);
        if (runs == 0)
            std::printf("  %s not run\n", label);
        else
            std::printf("  %s %.4f s (median of %d runs), goal %.2f s\n", label, results.realSecondsPerIteration(name),
                        runs, kGoalSeconds);
    }
    return 0;
}
