// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving a conversion log of 1,000 to 100,000 entries.
#include "persistence/atomic_file.h"
#include "persistence/log_file.h"
#include "persistence/tracked_file.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace meridal;

// Entries as the window writes them, about 35 bytes each.
std::vector<std::string> logOf(int entries)
{
    std::vector<std::string> log;
    log.reserve(static_cast<std::size_t>(entries));
    char line[80];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof line, "%d.%d in  =  %.6f ft", i, i % 10, (i + (i % 10) / 10.0) / 12.0);
        log.emplace_back(line);
    }
    return log;
}

std::string temporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "meridal-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

void BM_LoadLogFile(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    const std::string path = (std::filesystem::path(folder) / logFileName).string();
    const std::string bytes = logBytes(logOf(static_cast<int>(state.range(0))));
    std::string error;
    if (!writeFileAtomically(path, bytes, error))
        state.SkipWithError(error.c_str());
    for (auto _ : state) {
        TrackedFile file(path, TrackedFile::TheirChange::Keep);
        OpenedLog opened = openLog(file);
        if (opened.entries.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("the log did not load whole");
        benchmark::DoNotOptimize(opened.entries.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    std::filesystem::remove_all(folder);
}

void BM_SaveLogFile(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    const std::string path = (std::filesystem::path(folder) / logFileName).string();
    const std::vector<std::string> log = logOf(static_cast<int>(state.range(0)));
    std::string error;
    for (auto _ : state) {
        if (!writeFileAtomically(path, logBytes(log), error))
            state.SkipWithError(error.c_str());
    }
    std::filesystem::remove_all(folder);
}

// The machine is shared: with --benchmark_repetitions the least time is the steadiest figure.
double least(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

#define MERIDAL_SIZES                                                                                        \
    ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", least)
BENCHMARK(BM_LoadLogFile) MERIDAL_SIZES;
BENCHMARK(BM_SaveLogFile) MERIDAL_SIZES;

} // namespace
