#pragma once

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {

// Runs the registered benchmarks with Google Benchmark's usual console output and keeps the
// per-repetition results, so that main() can print a summary of figures from the same run.
class Results {
public:
    // Reads Google Benchmark's own options from the command line and runs what they select.
    // Returns false (after printing why) when an option is not understood.
    bool run(int argc, char** argv);

    // Median over the repetitions of the benchmark registered as `name`: its bytes_per_second
    // counter, and its real time per iteration in seconds. Both are 0 when it did not run
    // (filtered out or failed).
    double bytesPerSecond(const std::string& name) const;
    double realSecondsPerIteration(const std::string& name) const;
    // Number of repetitions measured for `name`.
    int repetitions(const std::string& name) const;

private:
    std::vector<benchmark::BenchmarkReporter::Run> m_runs;
};

}  // namespace bench
