// Extraction and packing of a large archive with kestrix-cli, beside tar doing the same file
// work on the same output files in the same run (warm cache), and the peak memory of extracting
// an archive of 1 GiB.
//
//   extract: 20,000 entries of about 400 MB expanded, half of them compressed (types 1 and 2),
//            `kestrix-cli extract` against `tar -xf` of a tar of the files it writes;
//   pack:    `kestrix-cli pack` of those files against `tar -cf` of the same list;
//   memory:  the peak resident size of `kestrix-cli extract` on a 1 GiB archive.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compress.h"
#include "hqr_compose.h"
#include "memory_stream.h"

extern char** environ;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr const char* kCli = KESTRIX_BIN_DIR "/kestrix-cli";
constexpr int kRuns = 3;

struct RunResult {
    double seconds = 0;
    int status = -1;
};

// Runs a program (with its output thrown away) and returns its time and exit status.
RunResult run(const std::vector<std::string>& argv, const std::string& workingDir = {})
{
    std::vector<std::string> args = argv;
    if (!workingDir.empty()) args.insert(args.begin(), {"/usr/bin/env", "-C", workingDir});
    std::vector<char*> raw;
    for (std::string& a : args) raw.push_back(a.data());
    raw.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", 01, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    RunResult r;
    if (posix_spawnp(&pid, raw[0], &actions, nullptr, raw.data(), environ) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Text-like bytes from a small vocabulary: compressible, as the games' data mostly is.
Bytes entryBytes(std::mt19937& rng, std::size_t size)
{
    Bytes b(size);
    std::size_t k = 0;
    while (k < size) {
        const unsigned word = rng() % 97;
        const unsigned length = 2 + word % 9;
        for (unsigned j = 0; j < length && k < size; ++j)
            b[k++] = static_cast<std::uint8_t>('a' + (word * 7 + j * 5) % 26);
        if (k < size) b[k++] = rng() % 6 ? ' ' : static_cast<std::uint8_t>(rng());
    }
    return b;
}

bool writeArchive(const QString& path, const std::vector<kestrix::ComposedSlot>& entries)
{
    const Bytes bytes = kestrix::composeArchive(entries);
    QString error;
    if (!kestrix::writeFileAtomically(path, bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "extract_bench: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

void check(const RunResult& r, const char* what)
{
    if (r.status != 0) {
        std::fprintf(stderr, "extract_bench: %s failed (status %d)\n", what, r.status);
        std::exit(1);
    }
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const std::string root = dir.path().toStdString();

    // 20,000 entries of 1,000 to 39,000 bytes; every second one compressed, types 1 and 2 in turn.
    std::mt19937 rng(20261210);
    std::vector<kestrix::ComposedSlot> entries;
    std::uint64_t expanded = 0;
    for (int i = 0; i < 20000; ++i) {
        const Bytes b = entryBytes(rng, 1000 + rng() % 38001);
        expanded += b.size();
        entries.push_back(i % 2 ? kestrix::ComposedSlot::stored(b)
                                : kestrix::ComposedSlot::compressed(
                                      b, i % 4 == 0 ? kestrix::EntryType::Bias2 : kestrix::EntryType::Bias3));
    }
    const std::string archive = root + "/big.hqr";
    if (!writeArchive(QString::fromStdString(archive), entries)) return 1;
    entries.clear();
    std::printf("archive: 20,000 entries, %.1f MB expanded, %.1f MB stored\n", expanded / 1e6,
                QFile(QString::fromStdString(archive)).size() / 1e6);

    // Warm the cache and make the reference tar of the files extraction writes.
    const std::string reference = root + "/ref";
    check(run({kCli, "extract", archive, "-o", reference}), "kestrix-cli extract");
    QStringList names = QDir(QString::fromStdString(reference)).entryList(QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;  // big1, big2, ..., big10
    });
    QFile list(QString::fromStdString(root + "/list.txt"));
    list.open(QIODevice::WriteOnly);
    for (const QString& n : names) list.write((n + u'\n').toUtf8());
    list.close();
    const std::string tarFile = root + "/ref.tar";
    check(run({"tar", "-cf", tarFile, "-T", root + "/list.txt"}, reference), "tar -cf");

    std::vector<double> ours, theirs;
    for (int i = 0; i < kRuns; ++i) {
        const std::string a = root + "/x" + std::to_string(i), b = root + "/t" + std::to_string(i);
        QDir().mkpath(QString::fromStdString(b));
        const RunResult x = run({kCli, "extract", archive, "-o", a});
        check(x, "kestrix-cli extract");
        ours.push_back(x.seconds);
        const RunResult t = run({"tar", "-xf", tarFile}, b);
        check(t, "tar -xf");
        theirs.push_back(t.seconds);
        QDir(QString::fromStdString(a)).removeRecursively();
        QDir(QString::fromStdString(b)).removeRecursively();
    }
    std::printf("extract all: kestrix-cli %.3f s, tar -xf %.3f s, ratio %.2f (goal at most 1.5), median of %d\n",
                median(ours), median(theirs), median(ours) / median(theirs), kRuns);

    std::vector<std::string> packArgs{kCli, "pack", root + "/re.hqr"};
    for (const QString& n : names) packArgs.push_back(n.toStdString());
    ours.clear();
    theirs.clear();
    for (int i = 0; i < kRuns; ++i) {
        const RunResult p = run(packArgs, reference);
        check(p, "kestrix-cli pack");
        ours.push_back(p.seconds);
        const RunResult t = run({"tar", "-cf", root + "/re.tar", "-T", root + "/list.txt"}, reference);
        check(t, "tar -cf");
        theirs.push_back(t.seconds);
    }
    std::printf("pack:        kestrix-cli %.3f s, tar -cf %.3f s, ratio %.2f (goal at most 1.5), median of %d\n",
                median(ours), median(theirs), median(ours) / median(theirs), kRuns);
    QDir(QString::fromStdString(reference)).removeRecursively();
    QFile::remove(QString::fromStdString(archive));

    // 1 GiB: entries just under and just over the 4,000,000-byte limit, stored and compressed.
    const Bytes payload = entryBytes(rng, kestrix::kMaxInMemoryEntry - 100000);
    const kestrix::ComposedSlot packed = kestrix::ComposedSlot::compressed(payload, kestrix::EntryType::Bias2);
    const kestrix::ComposedSlot large =
        kestrix::ComposedSlot::stored(entryBytes(rng, kestrix::kMaxInMemoryEntry + 200000));
    std::vector<kestrix::ComposedSlot> gib;
    std::uint64_t total = 0;
    for (int i = 0; total < (1ull << 30); ++i) {
        const kestrix::ComposedSlot& s = i % 3 == 0   ? large
                                         : i % 3 == 1 ? packed
                                                      : kestrix::ComposedSlot::stored(payload);
        total += s.data.size() + kestrix::kEntryHeaderSize;
        gib.push_back(s);
    }
    const std::string gibArchive = root + "/gib.hqr";
    if (!writeArchive(QString::fromStdString(gibArchive), gib)) return 1;
    gib.clear();
    // Measured through GNU time, a small process of its own: a child spawned from this one would
    // count this process's memory, shared until the child starts its program.
    const std::string peakFile = root + "/peak.txt";
    const RunResult m =
        run({"/usr/bin/time", "-f", "%M", "-o", peakFile, kCli, "extract", gibArchive, "-o", root + "/gib"});
    check(m, "kestrix-cli extract (1 GiB)");
    QFile peak(QString::fromStdString(peakFile));
    peak.open(QIODevice::ReadOnly);
    const double peakMiB = peak.readAll().trimmed().toDouble() / 1024.0;
    std::printf("memory:      extracting a %.2f GiB archive peaks at %.1f MiB (goal under 64 MiB), %.2f s\n",
                total / 1073741824.0, peakMiB, m.seconds);
    return 0;
}
