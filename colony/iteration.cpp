#include "colony/iteration.hpp"

void initColony(ColonyState& colony, float length) {
    const float cycleWeight = length * static_cast<float>(N_TESTS);
    colony.tau0 = static_cast<float>(1.0 / static_cast<double>(cycleWeight));
    for (auto& row : colony.pheromone) {
        row.fill(colony.tau0);
    }
}

float runIteration(ColonyState& colony, const CostTable& cost, RandomSource& random) {
    SilentObserver nobody;
    return runIteration(colony, cost, random, BUILT_IN_PARAMETERS, nobody);
}

void reinforceBestTour(ColonyState& colony) {
    SilentObserver nobody;
    reinforceBestTour(colony, RHO, nobody);
}
