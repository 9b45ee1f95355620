#pragma once

#include <cfloat>
#include <cstdint>

// Every number of the search is built in: the instance's size, the colony, its schedule and seed.
inline constexpr std::int32_t N_TESTS = 5;
inline constexpr std::int32_t N_FAULTS = 5;
inline constexpr std::int32_t N_ANTS = 5;
inline constexpr std::int32_t TOUR_LEN = N_TESTS + 1;
inline constexpr std::int32_t N_ITERATIONS = 100;
inline constexpr std::uint32_t RNG_SEED = 12345;

// Share of a trail that evaporates in each pheromone update.
inline constexpr double RHO = 0.8;

// Draws below this fraction of RAND_LIMIT exploit the trail; the rest explore.
inline constexpr double Q0 = 0.5;

// Largest draw of the random source, as the divisor that maps a draw to the unit interval.
inline constexpr float RAND_LIMIT = 32767.0F;

// Each ant starts on a test no other ant starts on, so there can be no more ants than tests.
static_assert(N_ANTS <= N_TESTS, "every ant needs a start test of its own");

// Every single-precision step of the search must round to single precision; a target that
// evaluates float arithmetic in a wider format (x87) would print another report.
static_assert(
    FLT_EVAL_METHOD == 0,
    "float arithmetic must round to float: on 32-bit x86, build with -msse2 -mfpmath=sse");
