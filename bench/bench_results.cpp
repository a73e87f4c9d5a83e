#include "bench_results.h"

#include <unistd.h>

#include <algorithm>

namespace bench {
namespace {

class CapturingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal: a passed-in reporter does not follow --benchmark_color.
    explicit CapturingReporter(std::vector<Run>* runs)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular), m_runs(runs)
    {
    }
    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& r : reports)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) m_runs->push_back(r);
        ConsoleReporter::ReportRuns(reports);
    }

private:
    std::vector<Run>* m_runs;
};

double median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

}  // namespace

bool Results::run(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
    CapturingReporter reporter(&m_runs);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}

double Results::bytesPerSecond(const std::string& name) const
{
    std::vector<double> values;
    for (const auto& r : m_runs) {
        if (r.run_name.function_name != name) continue;
        const auto it = r.counters.find("bytes_per_second");
        if (it != r.counters.end()) values.push_back(it->second.value);
    }
    return median(values);
}

double Results::realSecondsPerIteration(const std::string& name) const
{
    std::vector<double> values;
    for (const auto& r : m_runs)
        if (r.run_name.function_name == name && r.iterations > 0)
            values.push_back(r.real_accumulated_time / static_cast<double>(r.iterations));
    return median(values);
}

int Results::repetitions(const std::string& name) const
{
    return static_cast<int>(
        std::count_if(m_runs.begin(), m_runs.end(), [&](const auto& r) { return r.run_name.function_name == name; }));
}

}  // namespace bench
