// The catalogue of commercial label sheets: loading and listing every installed template file,
// and searching the loaded list as the user types.
#include "sheets/SheetCatalogue.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QString folder;

void BM_LoadAndListCatalogue(benchmark::State& state) {
    size_t shown = 0;
    for (auto _ : state) {
        SheetCatalogue catalogue;
        catalogue.Load(folder);
        benchmark::DoNotOptimize(catalogue.Makers());
        shown = catalogue.Find({}, {}).size();
    }
    state.counters["sheets"] = static_cast<double>(shown);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(shown));
}
BENCHMARK(BM_LoadAndListCatalogue)->Unit(benchmark::kMillisecond);

void BM_ReadTemplateFolder(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTemplateFolder(folder));
}
BENCHMARK(BM_ReadTemplateFolder)->Unit(benchmark::kMillisecond);

void BM_SearchCatalogue(benchmark::State& state) {
    SheetCatalogue catalogue;
    catalogue.Load(folder);
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.Find({}, QStringLiteral("hisago 86.4")));
}
BENCHMARK(BM_SearchCatalogue)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    folder = InstalledTemplateFolder();
    if (folder.isEmpty()) {
        std::fprintf(stderr, "no label templates installed (apt install glabels-data)\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
