#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/iteration.hpp"
#include "colony/observer.hpp"
#include "common/constants.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// The whole search, as every entry of the program runs it: seeds the random source, prepares the
// cost table, sets the colony up from the reference cycle, then runs every iteration, each
// followed by the global update along the tour it selected. Tells `observer` each step.
template <class Observer>
void runSearch(ColonyState& colony, CostTable& cost, RandomSource& random, Observer& observer) {
    seedRandom(random, RNG_SEED);
    const float cycle = prepareCosts(cost);
    initColony(colony, cycle);
    onSearchStart(observer, colony, cost, cycle);
    for (std::int32_t iteration = 1; iteration <= N_ITERATIONS; ++iteration) {
        onIterationStart(observer, iteration, colony);
        runIteration(colony, cost, random, observer);
        onIterationEnd(observer, iteration, colony);
        reinforceBestTour(colony, observer);
        onGlobalUpdate(observer, colony);
    }
}
