#include "ratio_reporter.h"

#include <cstdio>

namespace koa::bench {

namespace {

// "group/name" without benchmark arguments or repetition suffixes.
std::string Group(const std::string& name) {
    const auto slash = name.find('/');
    return slash == std::string::npos ? name : name.substr(0, slash);
}

} // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // With repetitions, the median stands for the benchmark.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median))
            continue;
        const std::string name = run.run_name.str();
        const auto allocs = run.counters.find("allocs");
        const double perIteration = run.GetAdjustedCPUTime() *
                                    benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        if (results_.count(name) == 0)
            order_.push_back(name);
        results_[name] = {perIteration, allocs == run.counters.end() ? -1.0 : allocs->second.value};
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %14s %14s %8s %8s\n", "benchmark", "time/iter", "baseline", "ratio",
                "allocs");
    for (const std::string& name : order_) {
        const std::string group = Group(name);
        if (name == group + "/baseline")
            continue;
        const Result& own = results_[name];
        const auto base = results_.find(group + "/baseline");
        std::printf("%-44s %12.1f ns", name.c_str(), own.nanoseconds);
        if (base != results_.end())
            std::printf(" %12.1f ns %8.2f", base->second.nanoseconds,
                        base->second.nanoseconds / own.nanoseconds);
        else
            std::printf(" %14s %8s", "-", "-");
        if (own.allocations >= 0)
            std::printf(" %8.2f", own.allocations);
        std::printf("\n");
    }
    std::fflush(stdout);
}

} // namespace koa::bench
