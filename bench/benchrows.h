#pragma once
// What the benchmarks share: a reporter that keeps the time per iteration of
// every run, and the result rows that tools/bench-report.sh gathers into one
// table. A row compares a path of ours with its floor measured in the same
// run; its ratio is ours / floor (below 1: ours is faster).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal: the report reads the rows from a pipe.
    RatioReporter() : ConsoleReporter(isatty(1) ? OO_Defaults : OO_Tabular) {}

    std::map<std::string, double> cpu;  // processor seconds per iteration
    std::map<std::string, double> real; // wall seconds per iteration
    std::map<std::string, std::map<std::string, double>> counters;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.iterations <= 0 || r.error_occurred)
                continue;
            cpu[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
            real[r.benchmark_name()] = r.real_accumulated_time / double(r.iterations);
            for (const auto& [name, c] : r.counters)
                counters[r.benchmark_name()][name] = c.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool has(const std::string& name) const { return cpu.count(name) != 0; }
};

// One line per row, tab-separated after "row": path, ours, floor, ratio,
// goal, met.
inline void printRowText(const std::string& path, const std::string& ours, const std::string& floor,
                         const std::string& ratio, const std::string& goal, bool met)
{
    std::printf("\nrow\t%s\t%s\t%s\t%s\t%s\t%s\n", path.c_str(), ours.c_str(), floor.c_str(),
                ratio.c_str(), goal.c_str(), met ? "yes" : "NO");
    std::fflush(stdout);
}

// A row whose goal is the largest ours / floor allowed.
inline void printRow(const std::string& path, const std::string& ours, const std::string& floor,
                     double ratio, double maxRatio)
{
    char r[32], g[32];
    std::snprintf(r, sizeof r, "%.2f", ratio);
    std::snprintf(g, sizeof g, "<= %.2f", maxRatio);
    printRowText(path, ours, floor, r, g, ratio <= maxRatio);
}

inline std::string ratioText(double ratio)
{
    char r[32];
    std::snprintf(r, sizeof r, "%.2f", ratio);
    return r;
}

// A time for the table: "12.3 ms", "45.6 us".
inline std::string timeText(double seconds)
{
    char b[32];
    if (seconds >= 0.1)
        std::snprintf(b, sizeof b, "%.0f ms", seconds * 1e3);
    else if (seconds >= 1e-3)
        std::snprintf(b, sizeof b, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(b, sizeof b, "%.1f us", seconds * 1e6);
    return b;
}
