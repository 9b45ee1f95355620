#pragma once

#include <array>
#include <cstdint>

#include "colony/colony_state.hpp"
#include "common/constants.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// How an ant chose the test it moved to: it followed the heaviest trail, it took the test that
// adds the most new faults, or it went home to its start once it had taken every test.
enum class Rule : std::int32_t { Trail, Faults, Home };

// The draw of a move that drew nothing: the move home.
inline constexpr std::int32_t NO_DRAW = -1;

// One step of an ant's tour: the test it moved to, the number it drew, that number as the
// fraction of RAND_LIMIT the rule compared with q0, and the rule it followed. A move home draws
// nothing: its draw is NO_DRAW and its fraction 0.
struct Move {
    std::int32_t to;
    std::int32_t draw;
    float q;
    Rule rule;
};

// A choice's weights: pheromone over squared cost, from the test an ant stands on (row) to each
// candidate (column). A choice fills only its own row.
using WeightTable = std::array<std::array<float, N_TESTS>, N_TESTS>;

// A candidate test and how many of the ant's undetected faults it would detect.
struct CityFaults {
    std::int32_t test;
    std::int32_t newFaults;
};
using CitiesFaults = std::array<CityFaults, N_TESTS>;

// True while `ant` still has a test to take in this iteration.
bool hasUnvisited(const ColonyState& colony, std::int32_t ant);

// The steps of a choice. They are defined here, as the template that calls them, so that every
// build inlines them.

// The unvisited test with the largest pheromone over squared cost from `current`, the lowest
// index among equals. Fills the row of `current` in its `WeightedPheromone`, 0 for the tests
// `ant` has taken, and tells `observer` that row.
template <class Observer>
std::int32_t heaviestTrail(const ColonyState& colony, const CostTable& cost, std::int32_t ant,
                           std::int32_t current, Observer& observer) {
    WeightTable WeightedPheromone{};
    std::int32_t best = 0;
    for (std::int32_t t = 0; t < N_TESTS; ++t) {
        if (colony.visited[ant][t] != 0) {
            WeightedPheromone[current][t] = 0.0F;
            continue;
        }
        const float squaredCost = cost[current][t] * cost[current][t];
        WeightedPheromone[current][t] = colony.pheromone[current][t] / squaredCost;
        if (WeightedPheromone[current][t] > WeightedPheromone[current][best]) {
            best = t;
        }
    }
    onTrailsWeighed(observer, WeightedPheromone[current]);
    return best;
}

// How many faults `test` detects that `ant` has not detected yet.
inline std::int32_t countNewFaults(const ColonyState& colony, std::int32_t ant, std::int32_t test) {
    std::int32_t count = 0;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        if (faultMatrix[test][f] == 1 && colony.detected[ant][f] == 0) {
            ++count;
        }
    }
    return count;
}

// The unvisited test that adds the most undetected faults, the lowest index among equals. Records
// each unvisited test's count in its `localCitiesFaults`, (0, 0) for the tests `ant` has taken,
// and tells `observer` the records.
template <class Observer>
std::int32_t mostNewFaults(const ColonyState& colony, std::int32_t ant, Observer& observer) {
    CitiesFaults localCitiesFaults{};
    for (std::int32_t t = 0; t < N_TESTS; ++t) {
        if (colony.visited[ant][t] == 0) {
            localCitiesFaults[t] = {t, countNewFaults(colony, ant, t)};
        }
    }
    onFaultsCounted(observer, localCitiesFaults);
    std::int32_t max = -1;
    std::int32_t pick = -1;
    for (std::int32_t t = 0; t < N_TESTS; ++t) {
        if (colony.visited[ant][t] == 0 && localCitiesFaults[t].newFaults > max) {
            max = localCitiesFaults[t].newFaults;
            pick = t;
        }
    }
    return pick;
}

// Picks the test `ant` takes after `current`, drawing exactly one number, after the weights:
// with a fraction of RAND_LIMIT below `q0` (Q0 in antorder's search) the ant follows the heaviest
// trail, otherwise it takes the test that adds the most new faults. Tells `observer` the weights,
// and when the ant explores, the counts of new faults. Only for an ant with a test left to take.
template <class Observer>
Move chooseNextTest(const ColonyState& colony, const CostTable& cost, RandomSource& random,
                    std::int32_t ant, std::int32_t current, double q0, Observer& observer) {
    const std::int32_t best = heaviestTrail(colony, cost, ant, current, observer);
    const std::int32_t draw = nextRandom(random);
    const float q = static_cast<float>(draw) / RAND_LIMIT;
    if (static_cast<double>(q) < q0) {
        return {best, draw, q, Rule::Trail};
    }
    return {mostNewFaults(colony, ant, observer), draw, q, Rule::Faults};
}
