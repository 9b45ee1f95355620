#include "colony/iteration.hpp"

#include "colony/transition.hpp"
#include "model/score.hpp"

namespace {

// Moves a trail level towards `deposit`, in double precision from the single-precision level,
// and rounds the result back to single precision.
float evaporateTowards(float level, double deposit) {
    return static_cast<float>(static_cast<double>(level) * (1.0 - RHO) + deposit * RHO);
}

// Clears every per-iteration table: visits, tours, detections and start claims.
void resetIteration(ColonyState& colony) {
    colony.visited = {};
    colony.tour = {};
    colony.detected = {};
    colony.startTaken = {};
}

// Marks `test` as taken by `ant`, and every fault it detects as detected by that ant.
void takeTest(ColonyState& colony, std::int32_t ant, std::int32_t test) {
    colony.visited[ant][test] = 1;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        if (faultMatrix[test][f] == 1) {
            colony.detected[ant][f] = 1;
        }
    }
}

// Gives each ant in turn a random start test that no earlier ant holds, redrawing while the
// drawn test is taken.
void assignStarts(ColonyState& colony, RandomSource& random) {
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        std::int32_t start = nextRandom(random) % N_TESTS;
        while (colony.startTaken[start] != 0) {
            start = nextRandom(random) % N_TESTS;
        }
        colony.startTaken[start] = 1;
        colony.startTest[k] = start;
        colony.tour[k][0] = start;
        takeTest(colony, k, start);
    }
}

// Moves every ant one step along its tour: to a new test, or back to its start once it has
// taken them all, which marks the construction done.
void constructionPass(ColonyState& colony, const CostTable& cost, RandomSource& random,
                      std::int32_t step) {
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        if (hasUnvisited(colony, k)) {
            const std::int32_t next =
                chooseNextTest(colony, cost, random, k, colony.tour[k][step - 1]);
            colony.tour[k][step] = next;
            takeTest(colony, k, next);
        } else {
            colony.tour[k][step] = colony.startTest[k];
            colony.done = 1;
        }
    }
}

// Pulls every pheromone entry, not only the edges just taken, towards tau0.
void applyLocalUpdate(ColonyState& colony) {
    for (auto& row : colony.pheromone) {
        for (float& level : row) {
            level = evaporateTowards(level, static_cast<double>(colony.tau0));
        }
    }
}

// Runs lock-step construction passes, each followed by the local update, until the tours close.
void constructTours(ColonyState& colony, const CostTable& cost, RandomSource& random) {
    std::int32_t step = 0;
    colony.done = 0;
    while (colony.done == 0) {
        ++step;
        constructionPass(colony, cost, random, step);
        applyLocalUpdate(colony);
    }
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
    resetIteration(colony);
    assignStarts(colony, random);
    constructTours(colony, cost, random);
    colony.bestScore = selectBestAnt(colony.tour, colony.bestTour);
    return colony.bestScore;
}

void reinforceBestTour(ColonyState& colony) {
    const double deposit = 1.0 / static_cast<double>(colony.bestScore);
    for (std::int32_t q = 0; q < N_TESTS; ++q) {
        float& level = colony.pheromone[colony.bestTour[q]][colony.bestTour[q + 1]];
        level = evaporateTowards(level, deposit);
    }
}
