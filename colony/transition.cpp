#include "colony/transition.hpp"

#include <algorithm>

namespace {

// A candidate test and how many of the ant's undetected faults it would detect.
struct CityFaults {
    std::int32_t test;
    std::int32_t newFaults;
};

// The unvisited test with the largest pheromone over squared cost from `current`, lowest index
// among equals.
std::int32_t heaviestTrail(const ColonyState& colony, const CostTable& cost, std::int32_t ant,
                           std::int32_t current) {
    std::array<std::array<float, N_TESTS>, N_TESTS> WeightedPheromone{};
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
    return best;
}

// How many faults `test` detects that `ant` has not detected yet.
std::int32_t countNewFaults(const ColonyState& colony, std::int32_t ant, std::int32_t test) {
    std::int32_t count = 0;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        if (faultMatrix[test][f] == 1 && colony.detected[ant][f] == 0) {
            ++count;
        }
    }
    return count;
}

// The unvisited test that adds the most undetected faults, lowest index among equals.
std::int32_t mostNewFaults(const ColonyState& colony, std::int32_t ant) {
    std::array<CityFaults, N_TESTS> localCitiesFaults{};
    for (std::int32_t t = 0; t < N_TESTS; ++t) {
        if (colony.visited[ant][t] == 0) {
            localCitiesFaults[t] = {t, countNewFaults(colony, ant, t)};
        }
    }
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

}  // namespace

bool hasUnvisited(const ColonyState& colony, std::int32_t ant) {
    const auto& visited = colony.visited[ant];
    return std::any_of(visited.begin(), visited.end(), [](std::int32_t v) { return v == 0; });
}

Move chooseNextTest(const ColonyState& colony, const CostTable& cost, RandomSource& random,
                    std::int32_t ant, std::int32_t current) {
    const std::int32_t best = heaviestTrail(colony, cost, ant, current);
    const std::int32_t draw = nextRandom(random);
    const float q = static_cast<float>(draw) / RAND_LIMIT;
    if (static_cast<double>(q) < Q0) {
        return {best, draw, Rule::Trail};
    }
    return {mostNewFaults(colony, ant), draw, Rule::Faults};
}
