#include <benchmark/benchmark.h>

#include "colony/iteration.hpp"
#include "colony/search.hpp"

namespace {

// A colony as the program sets it up, before its first iteration.
struct Search {
    CostTable cost{};
    ColonyState colony{};
    RandomSource random{};
    Search() {
        seedRandom(random, RNG_SEED);
        initColony(colony, prepareCosts(cost));
    }
    // One iteration: construction, selection and the global update.
    void iterate() {
        benchmark::DoNotOptimize(runIteration(colony, cost, random));
        reinforceBestTour(colony);
    }
};

// One iteration of a running colony.
void colonyIteration(benchmark::State& state) {
    Search search;
    for ([[maybe_unused]] auto _ : state) {
        search.iterate();
    }
}

// The whole search from a fresh state: set-up and every iteration, without the report.
void wholeSearch(benchmark::State& state) {
    for ([[maybe_unused]] auto _ : state) {
        CostTable cost{};
        ColonyState colony{};
        RandomSource random{};
        SilentObserver nobody;
        runSearch(colony, cost, random, BUILT_IN_PARAMETERS, nobody);
        benchmark::DoNotOptimize(colony.bestTour);
    }
}

}  // namespace

BENCHMARK(colonyIteration);
BENCHMARK(wholeSearch);
BENCHMARK_MAIN();
