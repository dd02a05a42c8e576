// The console report of a benchmark program, keeping each run's time so that the program can print
// its times as ratios to a floor measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}  // plain text, also when piped to a file

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints "  label  ratio  (time against floor)" for the runs of those names; nothing when either
    // did not run (filtered out on the command line) or the floor took no time.
    void printRatio(const std::string& label, const std::string& name, const std::string& floorName) const {
        auto time = times_.find(name), floor = times_.find(floorName);
        if (time == times_.end() || floor == times_.end() || floor->second <= 0) return;
        std::printf("  %-16s %8.2f  (%.3f ms against %.3f ms)\n", label.c_str(), time->second / floor->second,
                    time->second, floor->second);
    }

private:
    std::map<std::string, double> times_;
};
