// The decoder's output rate on mixed and match-heavy data, beside zlib's inflate on the same
// originals (deflated at level 6) measured in the same run.

#include <cstdio>
#include <memory>

#include <zlib.h>

#include "bench_data.h"
#include "bench_results.h"
#include "compress.h"
#include "decompress.h"

namespace {

struct Packed {
    bench::DataSet set;
    std::vector<std::uint8_t> bias2;
    std::vector<std::uint8_t> bias3;
    std::vector<std::uint8_t> zlib6;
};

// Decodes `packed` once and compares it with the original, so the figures are for a correct
// decode. Prints the first differing byte on a mismatch.
bool decodesBack(const Packed& p, const std::vector<std::uint8_t>& packed, std::uint8_t bias)
{
    const auto& original = p.set.bytes;
    std::vector<std::uint8_t> out(original.size());
    const varnel::DecodeResult r = varnel::decompress(out.data(), out.size(), packed.data(), packed.size(), bias);
    if (r.isDamaged()) {
        std::fprintf(stderr, "%s bias %d: the encoder's output does not decode (stops at %zu)\n", p.set.name.c_str(),
                     bias, r.produced);
        return false;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] != original[i]) {
            std::fprintf(stderr, "%s bias %d: round trip differs first at byte %zu (%02X instead of %02X)\n",
                         p.set.name.c_str(), bias, i, out[i], original[i]);
            return false;
        }
    }
    return true;
}

void decodeBench(benchmark::State& state, const Packed* p, const std::vector<std::uint8_t>* packed, std::uint8_t bias)
{
    std::vector<std::uint8_t> out(p->set.bytes.size());
    for (auto _ : state) {
        varnel::DecodeResult r = varnel::decompress(out.data(), out.size(), packed->data(), packed->size(), bias);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(out.size()));
}

void inflateBench(benchmark::State& state, const Packed* p)
{
    std::vector<std::uint8_t> out(p->set.bytes.size());
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        state.SkipWithError("inflateInit failed");
        return;
    }
    for (auto _ : state) {
        inflateReset(&zs);
        zs.next_in = const_cast<Bytef*>(p->zlib6.data());
        zs.avail_in = static_cast<uInt>(p->zlib6.size());
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        if (inflate(&zs, Z_FINISH) != Z_STREAM_END) {
            state.SkipWithError("inflate did not reach the end of the stream");
            break;
        }
        benchmark::ClobberMemory();
    }
    inflateEnd(&zs);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(out.size()));
}

double percentOf(std::size_t part, std::size_t whole)
{
    return 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<Packed>> sets;
    for (bench::DataSet& set : bench::allDataSets()) {
        auto p = std::make_unique<Packed>();
        p->set = std::move(set);
        const auto& b = p->set.bytes;
        p->bias2 = varnel::compress(b.data(), b.size(), 2);
        p->bias3 = varnel::compress(b.data(), b.size(), 3);
        p->zlib6 = bench::zlibCompress(b, 6);
        if (!decodesBack(*p, p->bias2, 2) || !decodesBack(*p, p->bias3, 3)) return 1;
        if (bench::zlibInflate(p->zlib6, b.size()) != b) {
            std::fprintf(stderr, "%s: zlib round trip differs\n", p->set.name.c_str());
            return 1;
        }
        std::printf("%s: %s bytes: %s\n", p->set.name.c_str(), bench::withSeparators(b.size()).c_str(),
                    p->set.origin.c_str());
        sets.push_back(std::move(p));
    }
    if (sets.empty()) return 1;

    for (const auto& p : sets) {
        const std::string& n = p->set.name;
        benchmark::RegisterBenchmark(("decode/" + n + "/bias2").c_str(), decodeBench, p.get(), &p->bias2, 2);
        benchmark::RegisterBenchmark(("decode/" + n + "/bias3").c_str(), decodeBench, p.get(), &p->bias3, 3);
        benchmark::RegisterBenchmark(("inflate/" + n + "/zlib6").c_str(), inflateBench, p.get());
    }
    bench::Results results;
    if (!results.run(argc, argv)) return 1;

    std::printf(
        "\nDecoder output rate (MB = 10^6 bytes of expanded output per second), beside zlib inflate\n"
        "on the same original deflated at level 6; size = packed bytes / original bytes.\n");
    for (const auto& p : sets) {
        const std::string& n = p->set.name;
        const std::size_t size = p->set.bytes.size();
        const double d2 = results.bytesPerSecond("decode/" + n + "/bias2");
        const double d3 = results.bytesPerSecond("decode/" + n + "/bias3");
        const double z = results.bytesPerSecond("inflate/" + n + "/zlib6");
        std::printf(
            "%s: decoder %s (bias 2), %s (bias 3); zlib inflate %s; decoder/inflate %.2f; "
            "size %.1f %% (bias 2), %.1f %% (bias 3), zlib -6 %.1f %% of %s bytes\n",
            n.c_str(), bench::rateText(d2).c_str(), bench::rateText(d3).c_str(), bench::rateText(z).c_str(),
            z > 0 ? d2 / z : 0.0, percentOf(p->bias2.size(), size), percentOf(p->bias3.size(), size),
            percentOf(p->zlib6.size(), size), bench::withSeparators(size).c_str());
    }
    return 0;
}
