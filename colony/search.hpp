#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/iteration.hpp"
#include "colony/observer.hpp"
#include "common/constants.hpp"
#include "common/parameters.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// The whole search, as every entry of the program runs it, with `parameters`: seeds the random
// source, prepares the cost table, sets the colony up from the reference cycle, then runs every
// iteration, each followed by the global update along the tour it selected. Tells `observer` each
// step. antorder runs it with BUILT_IN_PARAMETERS; it is inlined into its caller before the
// compiler plans the loops, which then see antorder's parameters as the constants they are, and
// run as many instructions as they did when the search named its constants itself.
template <class Observer>
[[gnu::always_inline]] inline void runSearch(ColonyState& colony, CostTable& cost,
                                             RandomSource& random,
                                             const SearchParameters& parameters,
                                             Observer& observer) {
    seedRandom(random, parameters.seed);
    const float cycle = prepareCosts(cost);
    initColony(colony, cycle);
    onSearchStart(observer, colony, cost, cycle);
    for (std::int32_t iteration = 1; iteration <= parameters.iterations; ++iteration) {
        onIterationStart(observer, iteration, colony);
        runIteration(colony, cost, random, parameters, observer);
        onIterationEnd(observer, iteration, colony);
        reinforceBestTour(colony, parameters.rho, observer);
        onGlobalUpdate(observer, colony);
    }
}
