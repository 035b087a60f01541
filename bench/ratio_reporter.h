#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace koa::bench {

// Prints Google Benchmark's usual table, then for every benchmark "group/name" its speed
// relative to "group/baseline" of the same run: baseline time / own time, so 1.0 is as fast as
// the baseline and 0.5 half as fast; with repetitions, of the medians. Counters named allocs are
// repeated beside the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : benchmark::ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

  private:
    struct Result {
        double nanoseconds;
        double allocations;
    };
    std::vector<std::string> order_;
    std::map<std::string, Result> results_;
};

} // namespace koa::bench
