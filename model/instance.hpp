#pragma once

#include <array>
#include <cstdint>

#include "common/constants.hpp"

// Rows are tests, columns faults: 1 = the test detects the fault.
using FaultMatrix = std::array<std::array<std::int32_t, N_FAULTS>, N_TESTS>;

// Rows are the test an ant stands on, columns the candidate next test.
using CostTable = std::array<std::array<float, N_TESTS>, N_TESTS>;

// The suite's known faults; fault 4 is found by test 1 alone.
inline constexpr FaultMatrix faultMatrix{{
    {1, 0, 0, 1, 0},
    {0, 1, 0, 0, 1},
    {1, 1, 1, 0, 0},
    {0, 1, 0, 0, 1},
    {1, 0, 1, 0, 1},
}};

// The suite in its given order, tests 1 to 5.
inline constexpr std::array<std::int32_t, N_TESTS> GIVEN_ORDER{0, 1, 2, 3, 4};

// The reference cycle, 1 -> 2 -> 3 -> 4 -> 5 -> 1, whose cost sets the initial pheromone level.
inline constexpr std::array<std::int32_t, TOUR_LEN> REFERENCE_CYCLE{0, 1, 2, 3, 4, 0};

// How long each test runs. Defined once, in instance.cpp, where the cost table is prepared from it.
extern const std::array<float, N_TESTS> execTime;

// Adds each test's execution time into its column of every row of `cost`, once at start-up, and
// returns the cost of the reference cycle.
float prepareCosts(CostTable& cost);
