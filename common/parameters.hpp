#pragma once

#include <cstdint>

#include "common/constants.hpp"

// Which score an iteration keeps: the smallest, as antorder's search does, or the largest, the
// usual rule of the fault-detection measure, which antorder-trace offers for comparison. Either
// way the first of equal scores, the lowest ant, is kept.
enum class Keep : std::int32_t { Smallest, Largest };

// The numbers a search runs with, passed to it as one value: the seed of the random source, the
// share of draws that exploit the trail, the share of a trail that evaporates in each update, the
// number of iterations and the selection rule.
struct SearchParameters {
    std::uint32_t seed;
    double q0;
    double rho;
    std::int32_t iterations;
    Keep keep;
};

// The search antorder runs, with every number built in.
inline constexpr SearchParameters BUILT_IN_PARAMETERS{RNG_SEED, Q0, RHO, N_ITERATIONS,
                                                      Keep::Smallest};
