// Loading and saving a Quarn 2 text bank of exactly 65,535 bytes (the largest one that can be
// written), beside two reference points measured in the same run: a memcpy of the same number of
// bytes and QFile reading the bank's file. The goal is a few milliseconds for each.

#include <cstdio>
#include <cstring>

#include <QFile>
#include <QTemporaryDir>

#include "bench_data.h"
#include "bench_results.h"
#include "text_bank.h"

namespace {

constexpr int kBankSize = 65535;
constexpr double kGoalMilliseconds = 5.0;

// Texts of 20 to 200 characters made of phrases with accented characters, some with line
// breaks, frames taken in turn from the editor's list; the last text is lengthened so that the
// bank's end offset is exactly 65,535.
std::vector<tessel::TextBankEntry> buildEntries()
{
    const QString phrases[] = {
        QString::fromUtf16(u"Le caf\u00E9 du port ouvre \u00E0 l'aube. "),
        QString::fromUtf16(u"Tr\u00E8s cher ma\u00EEtre, la cl\u00E9 est sous la pierre. "),
        QString::fromUtf16(u"\u00A1Se\u00F1or, el faro est\u00E1 apagado! "),
        QString::fromUtf16(u"Gr\u00FC\u00DFe aus der M\u00FChle am Flu\u00DF. "),
        QStringLiteral("Take the ferry to the island.\r\n"),
        QString::fromUtf16(u"\u0152uvre d'un \u00E9l\u00E8ve, \u00A9 les \u00EEles\u2122. "),
        QString::fromUtf16(u"A\u00E7\u00E3o r\u00E1pida: n\u00E3o h\u00E1 tempo.\r\n"),
    };
    std::vector<tessel::TextBankEntry> entries;
    std::uint32_t x = 12345;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    // End offset = the last text's offset + 2 x (texts + 1) + its length in characters; texts are
    // added while that stays within the limit with the new text last.
    qint64 dataEnd = 2;  // the end word, then per text its table word, frame byte, characters and 0
    qint64 end = 0;
    for (;;) {
        tessel::TextBankEntry e;
        const int target = 20 + static_cast<int>(next() % 181);
        while (e.text.size() < target) e.text += phrases[next() % std::size(phrases)];
        e.frame = tessel::kFrameKinds[next() % std::size(tessel::kFrameKinds)].value;
        const qint64 n = static_cast<qint64>(entries.size()) + 1;
        const qint64 offset = dataEnd + 2;  // every table word moves the texts by 2
        const qint64 candidateEnd = offset + 2 * (n + 1) + e.text.size();
        if (candidateEnd > kBankSize) break;
        dataEnd = offset + 1 + tessel::EncodedLength(e.text) + 1;
        end = candidateEnd;
        entries.push_back(e);
    }
    // Each added character moves the end offset by one.
    entries.back().text += QString(static_cast<qsizetype>(kBankSize - end), u'x');
    return entries;
}

void loadBench(benchmark::State& state, const QByteArray* bank, std::size_t texts)
{
    for (auto _ : state) {
        const tessel::TextBankLoad load = tessel::readTextBank(*bank, false, nullptr);
        if (load.entries.size() != texts) {
            state.SkipWithError("readTextBank gave the wrong number of texts");
            break;
        }
        benchmark::DoNotOptimize(load.entries.data());
    }
    state.SetBytesProcessed(state.iterations() * bank->size());
}

void loadFileBench(benchmark::State& state, const QString* path, std::size_t texts)
{
    for (auto _ : state) {
        const tessel::TextBankLoad load = tessel::LoadTextFile(*path, false, nullptr);
        if (load.entries.size() != texts) {
            state.SkipWithError("LoadTextFile gave the wrong number of texts");
            break;
        }
        benchmark::DoNotOptimize(load.entries.data());
    }
    state.SetBytesProcessed(state.iterations() * kBankSize);
}

void saveBench(benchmark::State& state, const std::vector<tessel::TextBankEntry>* entries)
{
    for (auto _ : state) {
        QByteArray bank;
        if (!tessel::WriteTextBank(*entries, false, nullptr, &bank, nullptr) || bank.size() != kBankSize) {
            state.SkipWithError("WriteTextBank refused the bank or wrote the wrong size");
            break;
        }
        benchmark::DoNotOptimize(bank.constData());
    }
    state.SetBytesProcessed(state.iterations() * kBankSize);
}

void memcpyBench(benchmark::State& state, const QByteArray* bank)
{
    std::vector<char> out(static_cast<std::size_t>(bank->size()));
    for (auto _ : state) {
        std::memcpy(out.data(), bank->constData(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bank->size());
}

void fileReadBench(benchmark::State& state, const QString* path)
{
    for (auto _ : state) {
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open the bank's file");
            break;
        }
        const QByteArray all = file.readAll();
        benchmark::DoNotOptimize(all.constData());
    }
    state.SetBytesProcessed(state.iterations() * kBankSize);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<tessel::TextBankEntry> entries = buildEntries();
    QByteArray bank;
    QString error;
    if (!tessel::WriteTextBank(entries, false, nullptr, &bank, &error) || bank.size() != kBankSize) {
        std::fprintf(stderr, "textbank_bench: the generated bank is %lld bytes (%s), expected %d\n",
                     static_cast<long long>(bank.size()), qPrintable(error), kBankSize);
        return 1;
    }
    // One checked load first: the same texts and frames come back.
    const tessel::TextBankLoad check = tessel::readTextBank(bank, false, nullptr);
    if (check.entries.size() != entries.size()) {
        std::fprintf(stderr, "textbank_bench: %zu texts read back instead of %zu\n", check.entries.size(),
                     entries.size());
        return 1;
    }
    std::size_t lineBreaks = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (check.entries[i].text != entries[i].text || check.entries[i].frame != entries[i].frame) {
            std::fprintf(stderr, "textbank_bench: text %zu reads back differently\n", i + 1);
            return 1;
        }
        lineBreaks += static_cast<std::size_t>(entries[i].text.count(QStringLiteral("\r\n")));
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text042.qbt"));
    {
        QFile file(path);
        if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bank) != kBankSize) {
            std::fprintf(stderr, "textbank_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("bank: Quarn 2, %s bytes, %zu texts, %zu line breaks, in %s (warm page cache)\n",
                bench::withSeparators(kBankSize).c_str(), entries.size(), lineBreaks, qPrintable(path));

    const std::size_t texts = entries.size();
    const struct {
        const char* name;
        const char* label;
    } rows[] = {
        {"load/readTextBank", "load, readTextBank (bytes in memory):"},
        {"load/LoadTextFile", "load, LoadTextFile (from the file):   "},
        {"save/WriteTextBank", "save, WriteTextBank:                  "},
        {"reference/memcpy", "reference, memcpy of 65,535 bytes:    "},
        {"reference/QFile-readAll", "reference, QFile open + readAll:      "},
    };
    for (benchmark::internal::Benchmark* b : {benchmark::RegisterBenchmark(rows[0].name, loadBench, &bank, texts),
                                              benchmark::RegisterBenchmark(rows[1].name, loadFileBench, &path, texts),
                                              benchmark::RegisterBenchmark(rows[2].name, saveBench, &entries),
                                              benchmark::RegisterBenchmark(rows[3].name, memcpyBench, &bank),
                                              benchmark::RegisterBenchmark(rows[4].name, fileReadBench, &path)})
        b->Repetitions(5)->UseRealTime()->Unit(benchmark::kMicrosecond);
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    std::printf("\nA text bank of %s bytes (median per run; goal a few milliseconds, about %.0f ms):\n",
                bench::withSeparators(kBankSize).c_str(), kGoalMilliseconds);
    for (const auto& row : rows) {
        const double seconds = results.realSecondsPerIteration(row.name);
        if (seconds == 0.0)
            std::printf("  %s not run\n", row.label);
        else
            std::printf("  %s %8.4f ms\n", row.label, seconds * 1000.0);
    }
    return 0;
}
