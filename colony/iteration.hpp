#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/observer.hpp"
#include "colony/transition.hpp"
#include "common/parameters.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

// Sets tau0 from the reference cycle's `length` and lays it on every pheromone entry.
void initColony(ColonyState& colony, float length);

// Builds the five ants' tours of one iteration of antorder's search and selects the best: returns
// its score and leaves its tour in bestTour. Tells no one its steps.
float runIteration(ColonyState& colony, const CostTable& cost, RandomSource& random);

// Pulls the five edges of bestTour, its closing edge included, towards 1 / bestScore, by RHO.
// Tells no one its steps.
void reinforceBestTour(ColonyState& colony);

// The steps an iteration takes, in the order it takes them. They are defined here, beside the
// templates that call them, so that a build without link-time optimisation inlines them as well.

// Moves a trail level the share `rho` of the way towards `deposit`, in double precision from the
// single-precision level, and rounds the result back to single precision.
inline float evaporateTowards(float level, double deposit, double rho) {
    return static_cast<float>(static_cast<double>(level) * (1.0 - rho) + deposit * rho);
}

// Clears every per-iteration table: visits, tours, detections and start claims.
inline void resetIteration(ColonyState& colony) {
    colony.visited = {};
    colony.tour = {};
    colony.detected = {};
    colony.startTaken = {};
}

// Marks `test` as taken by `ant`, and every fault it detects as detected by that ant.
inline void takeTest(ColonyState& colony, std::int32_t ant, std::int32_t test) {
    colony.visited[ant][test] = 1;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        if (faultMatrix[test][f] == 1) {
            colony.detected[ant][f] = 1;
        }
    }
}

// Pulls every pheromone entry, not only the edges just taken, the share `rho` towards tau0.
inline void applyLocalUpdate(ColonyState& colony, double rho) {
    for (auto& row : colony.pheromone) {
        for (float& level : row) {
            level = evaporateTowards(level, static_cast<double>(colony.tau0), rho);
        }
    }
}

// Gives each ant in turn a random start test that no earlier ant holds, redrawing while the
// drawn test is taken.
template <class Observer>
void assignStarts(ColonyState& colony, RandomSource& random, Observer& observer) {
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        std::int32_t start = 0;
        do {
            const std::int32_t draw = nextRandom(random);
            start = draw % N_TESTS;
            onStartDraw(observer, colony, k, draw, start);
        } while (colony.startTaken[start] != 0);
        colony.startTaken[start] = 1;
        colony.startTest[k] = start;
        colony.tour[k][0] = start;
        takeTest(colony, k, start);
    }
    onStartsAssigned(observer, colony);
}

// Moves every ant one step along its tour: to a new test, or back to its start once it has
// taken them all, which marks the construction done.
template <class Observer>
void constructionPass(ColonyState& colony, const CostTable& cost, RandomSource& random,
                      std::int32_t step, double q0, Observer& observer) {
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        const std::int32_t from = colony.tour[k][step - 1];
        if (hasUnvisited(colony, k)) {
            const Move move = chooseNextTest(colony, cost, random, k, from, q0, observer);
            onMove(observer, colony, k, from, move);
            colony.tour[k][step] = move.to;
            takeTest(colony, k, move.to);
        } else {
            onMove(observer, colony, k, from, Move{colony.startTest[k], NO_DRAW, 0.0F, Rule::Home});
            colony.tour[k][step] = colony.startTest[k];
            colony.done = 1;
        }
    }
}

// Runs lock-step construction passes, each followed by the local update, until the tours close.
template <class Observer>
void constructTours(ColonyState& colony, const CostTable& cost, RandomSource& random,
                    const SearchParameters& parameters, Observer& observer) {
    std::int32_t step = 0;
    colony.done = 0;
    while (colony.done == 0) {
        ++step;
        constructionPass(colony, cost, random, step, parameters.q0, observer);
        applyLocalUpdate(colony, parameters.rho);
        onPassEnd(observer, colony);
    }
}

// runIteration with `parameters`' q0, rho and selection rule, telling `observer` each of its
// steps.
template <class Observer>
float runIteration(ColonyState& colony, const CostTable& cost, RandomSource& random,
                   const SearchParameters& parameters, Observer& observer) {
    resetIteration(colony);
    assignStarts(colony, random, observer);
    constructTours(colony, cost, random, parameters, observer);
    colony.bestScore = selectBestAnt(colony.tour, colony.bestTour, parameters.keep, observer);
    return colony.bestScore;
}

// reinforceBestTour by the share `rho`, telling `observer` each edge it changes.
template <class Observer>
void reinforceBestTour(ColonyState& colony, double rho, Observer& observer) {
    const double deposit = 1.0 / static_cast<double>(colony.bestScore);
    for (std::int32_t q = 0; q < N_TESTS; ++q) {
        const std::int32_t from = colony.bestTour[q];
        const std::int32_t to = colony.bestTour[q + 1];
        float& level = colony.pheromone[from][to];
        level = evaporateTowards(level, deposit, rho);
        onEdgeReinforced(observer, from, to, deposit);
    }
}
