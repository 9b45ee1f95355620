#pragma once

#include <array>
#include <cstdint>

#include "common/constants.hpp"
#include "model/score.hpp"

// Trail level of the directed edge from a test (row) to the next (column).
using PheromoneTable = std::array<std::array<float, N_TESTS>, N_TESTS>;

// Everything the colony keeps for the run; zero before initColony. Yes/no entries are 1 or 0.
struct ColonyState {
    PheromoneTable pheromone;
    float tau0;
    TourTable tour;
    Tour bestTour;
    std::array<std::array<std::int32_t, N_TESTS>, N_ANTS> visited;
    std::array<std::array<std::int32_t, N_FAULTS>, N_ANTS> detected;
    std::array<std::int32_t, N_ANTS> startTest;
    std::array<std::int32_t, N_TESTS> startTaken;
    float bestScore;
    std::int32_t done;
};
