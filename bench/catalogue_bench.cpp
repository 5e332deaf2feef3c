// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving catalogues of 1,000 to 100,000 units spread over 20 dimensions.
#include "persistence/atomic_file.h"
#include "persistence/catalogue_file.h"
#include "resources/resource_module.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace meridal;

constexpr int dimensionCount = 20;

// No string table: a failed load would only lose its message text.
class NoResources final : public Resources {
  public:
    std::optional<std::string_view> find(unsigned, unsigned) const override { return std::nullopt; }
};

const Resources& strings()
{
    static const NoResources resources;
    return resources;
}

// A catalogue file of `units` units, in the layout the program writes (about 60 bytes a unit).
std::string catalogueText(int units)
{
    std::string text = "<root>\r\n\t<config dim=\"Dimension 0\" su=\"u0\" eu=\"u1\" sv=12/>\r\n";
    char line[160];
    for (int d = 0; d < dimensionCount; ++d) {
        std::snprintf(line, sizeof line, "\t<dimension label=\"Dimension %d\" baseunit=\"u%d\">\r\n", d, d);
        text += line;
        for (int u = d; u < units; u += dimensionCount) {
            std::snprintf(line, sizeof line, "\t\t<unit label=\"unit %d\" cf=%.12g offset=%d/>\r\n", u,
                          1.0 + u * 0.000123456789, u % 7);
            text += line;
        }
        text += "\t</dimension>\r\n";
    }
    text += "</root>";
    return text;
}

std::string temporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "meridal-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

void BM_LoadCatalogueFile(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    const std::string path = (std::filesystem::path(folder) / catalogueFileName).string();
    const std::string text = catalogueText(static_cast<int>(state.range(0)));
    std::string error;
    if (!writeFileAtomically(path, text, error))
        state.SkipWithError(error.c_str());
    for (auto _ : state) {
        auto catalogue = std::make_unique<UnitCatalogue>();
        LoadResult result = readCatalogue(path, *catalogue, strings());
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(catalogue.get());
        // The program loads once, into a fresh heap, and keeps its catalogue until the
        // window closes: neither tearing it down nor tidying the heap after that is part of
        // a load.
        state.PauseTiming();
        catalogue.reset();
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    std::filesystem::remove_all(folder);
}

void BM_SaveCatalogueFile(benchmark::State& state)
{
    const std::string folder = temporaryFolder();
    const std::string path = (std::filesystem::path(folder) / catalogueFileName).string();
    UnitCatalogue catalogue;
    readCatalogueText(catalogueText(static_cast<int>(state.range(0))), catalogue, strings());
    std::string error;
    for (auto _ : state) {
        if (!writeCatalogue(path, catalogue, error))
            state.SkipWithError(error.c_str());
    }
    std::filesystem::remove_all(folder);
}

// The save without the file system: the bytes alone.
void BM_CatalogueBytes(benchmark::State& state)
{
    UnitCatalogue catalogue;
    readCatalogueText(catalogueText(static_cast<int>(state.range(0))), catalogue, strings());
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogueBytes(catalogue));
}

// The machine is shared: with --benchmark_repetitions the least time is the steadiest figure.
double least(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

#define MERIDAL_SIZES                                                                                        \
    ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", least)
BENCHMARK(BM_LoadCatalogueFile) MERIDAL_SIZES;
BENCHMARK(BM_SaveCatalogueFile) MERIDAL_SIZES;
BENCHMARK(BM_CatalogueBytes) MERIDAL_SIZES;

} // namespace
