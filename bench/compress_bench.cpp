// The encoder's input rate on mixed and match-heavy data beside zlib's deflate at level 6, and
// its compressed sizes beside zlib -6 and beside a plain greedy longest-match parse.

#include <algorithm>
#include <cstdio>
#include <memory>

#include <zlib.h>

#include "bench_data.h"
#include "bench_results.h"
#include "compress.h"
#include "decompress.h"

namespace {

constexpr std::size_t kSampleSize = 256 * 1024;

// Size of the stream a greedy parse gives: at every item start, the longest match over the
// whole window (found by trying every distance), taken when it is at least `bias` long, else a
// literal. Slow on purpose: it is the reference the encoder must never do worse than.
std::size_t greedySize(const std::uint8_t* data, std::size_t size, std::size_t bias)
{
    const std::size_t longest = 15 + bias;
    std::size_t items = 0;
    std::size_t bytes = 0;
    for (std::size_t p = 0; p < size; ++items) {
        const std::size_t cap = std::min(longest, size - p);
        const std::size_t reach = std::min<std::size_t>(4096, p);
        std::size_t best = 0;
        for (std::size_t distance = 1; distance <= reach && best < cap; ++distance) {
            const std::uint8_t* from = data + p - distance;
            std::size_t len = 0;
            while (len < cap && from[len] == data[p + len]) ++len;
            best = std::max(best, len);
        }
        if (best >= bias) {
            bytes += 2;
            p += best;
        } else {
            bytes += 1;
            ++p;
        }
    }
    return bytes + (items + 7) / 8;
}

bool roundTrips(const std::string& name, const std::vector<std::uint8_t>& original,
                const std::vector<std::uint8_t>& packed, std::uint8_t bias)
{
    std::vector<std::uint8_t> out(original.size());
    const auto r = varnel::decompress(out.data(), out.size(), packed.data(), packed.size(), bias);
    const auto diff = std::mismatch(out.begin(), out.end(), original.begin());
    if (!r.isDamaged() && diff.first == out.end()) return true;
    std::fprintf(stderr, "%s bias %d: round trip fails (decoder stops at %zu, first difference at byte %zu)\n",
                 name.c_str(), bias, r.produced, static_cast<std::size_t>(diff.first - out.begin()));
    return false;
}

void encodeBench(benchmark::State& state, const bench::DataSet* set, std::uint8_t bias)
{
    for (auto _ : state) {
        std::vector<std::uint8_t> packed = varnel::compress(set->bytes.data(), set->bytes.size(), bias);
        benchmark::DoNotOptimize(packed.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(set->bytes.size()));
}

void deflateBench(benchmark::State& state, const bench::DataSet* set)
{
    std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(set->bytes.size())));
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        if (compress2(out.data(), &size, set->bytes.data(), static_cast<uLong>(set->bytes.size()), 6) != Z_OK) {
            state.SkipWithError("compress2 failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(set->bytes.size()));
}

double percentOf(std::size_t part, std::size_t whole)
{
    return 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<bench::DataSet>> sets;
    for (bench::DataSet& set : bench::allDataSets()) {
        std::printf("%s: %s bytes: %s\n", set.name.c_str(), bench::withSeparators(set.bytes.size()).c_str(),
                    set.origin.c_str());
        sets.push_back(std::make_unique<bench::DataSet>(std::move(set)));
    }
    if (sets.empty()) return 1;

    for (const auto& s : sets) {
        benchmark::RegisterBenchmark(("encode/" + s->name + "/bias2").c_str(), encodeBench, s.get(), 2);
        benchmark::RegisterBenchmark(("encode/" + s->name + "/bias3").c_str(), encodeBench, s.get(), 3);
        benchmark::RegisterBenchmark(("deflate/" + s->name + "/zlib6").c_str(), deflateBench, s.get());
    }
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    bool ok = true;
    std::printf(
        "\nEncoder input rate (MB = 10^6 input bytes per second) beside zlib deflate -6, and sizes\n"
        "(packed / original) beside zlib -6:\n");
    for (const auto& s : sets) {
        const auto& b = s->bytes;
        const auto p2 = varnel::compress(b.data(), b.size(), 2);
        const auto p3 = varnel::compress(b.data(), b.size(), 3);
        const auto z6 = bench::zlibCompress(b, 6);
        ok = roundTrips(s->name, b, p2, 2) && roundTrips(s->name, b, p3, 3) && ok;
        const std::string e2 = bench::rateText(results.bytesPerSecond("encode/" + s->name + "/bias2"));
        const std::string e3 = bench::rateText(results.bytesPerSecond("encode/" + s->name + "/bias3"));
        const std::string z = bench::rateText(results.bytesPerSecond("deflate/" + s->name + "/zlib6"));
        std::printf(
            "%s: encoder %s (bias 2), %s (bias 3); zlib deflate -6 %s; "
            "size %s (%.1f %%, bias 2), %s (%.1f %%, bias 3), zlib -6 %s (%.1f %%) of %s bytes\n",
            s->name.c_str(), e2.c_str(), e3.c_str(), z.c_str(), bench::withSeparators(p2.size()).c_str(),
            percentOf(p2.size(), b.size()), bench::withSeparators(p3.size()).c_str(), percentOf(p3.size(), b.size()),
            bench::withSeparators(z6.size()).c_str(), percentOf(z6.size(), b.size()),
            bench::withSeparators(b.size()).c_str());
    }

    std::printf(
        "\nSizes on a %s-byte sample from the middle of each data set, beside a greedy longest-match\n"
        "parse over the full window (the encoder must never be larger):\n",
        bench::withSeparators(kSampleSize).c_str());
    for (const auto& s : sets) {
        const std::size_t n = std::min(kSampleSize, s->bytes.size());
        const std::size_t start = (s->bytes.size() - n) / 2;
        const std::uint8_t* sample = s->bytes.data() + start;
        for (const std::uint8_t bias : {std::uint8_t{2}, std::uint8_t{3}}) {
            const std::size_t ours = varnel::compress(sample, n, bias).size();
            const std::size_t greedy = greedySize(sample, n, bias);
            std::printf("%s at %s, bias %d: encoder %s bytes, greedy %s bytes (encoder = %.2f %% of greedy)%s\n",
                        s->name.c_str(), bench::withSeparators(start).c_str(), bias,
                        bench::withSeparators(ours).c_str(), bench::withSeparators(greedy).c_str(),
                        percentOf(ours, greedy), ours > greedy ? "  LARGER THAN GREEDY" : "");
            ok = ok && ours <= greedy;
        }
        const std::vector<std::uint8_t> sampleBytes(sample, sample + n);
        std::printf("%s at %s: zlib -6 %s bytes\n", s->name.c_str(), bench::withSeparators(start).c_str(),
                    bench::withSeparators(bench::zlibCompress(sampleBytes, 6).size()).c_str());
    }
    return ok ? 0 : 1;
}
