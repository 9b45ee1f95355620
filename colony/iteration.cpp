#include "colony/iteration.hpp"

namespace {

// Moves a trail level towards `deposit`, in double precision from the single-precision level,
// and rounds the result back to single precision.
float evaporateTowards(float level, double deposit) {
    return static_cast<float>(static_cast<double>(level) * (1.0 - RHO) + deposit * RHO);
}

}  // namespace

void initColony(ColonyState& colony, float length) {
    const float cycleWeight = length * static_cast<float>(N_TESTS);
    colony.tau0 = static_cast<float>(1.0 / static_cast<double>(cycleWeight));
    for (auto& row : colony.pheromone) {
        row.fill(colony.tau0);
    }
}

float runIteration(ColonyState& colony, const CostTable& cost, RandomSource& random) {
    SilentObserver nobody;
    return runIteration(colony, cost, random, nobody);
}

void reinforceBestTour(ColonyState& colony) {
    const double deposit = 1.0 / static_cast<double>(colony.bestScore);
    for (std::int32_t q = 0; q < N_TESTS; ++q) {
        float& level = colony.pheromone[colony.bestTour[q]][colony.bestTour[q + 1]];
        level = evaporateTowards(level, deposit);
    }
}

void resetIteration(ColonyState& colony) {
    colony.visited = {};
    colony.tour = {};
    colony.detected = {};
    colony.startTaken = {};
}

void takeTest(ColonyState& colony, std::int32_t ant, std::int32_t test) {
    colony.visited[ant][test] = 1;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        if (faultMatrix[test][f] == 1) {
            colony.detected[ant][f] = 1;
        }
    }
}

void applyLocalUpdate(ColonyState& colony) {
    for (auto& row : colony.pheromone) {
        for (float& level : row) {
            level = evaporateTowards(level, static_cast<double>(colony.tau0));
        }
    }
}
