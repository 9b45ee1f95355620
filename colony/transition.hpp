#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// True while `ant` still has a test to take in this iteration.
bool hasUnvisited(const ColonyState& colony, std::int32_t ant);

// Picks the test `ant` takes after `current`, drawing exactly one number: below Q0 the ant
// follows the heaviest trail, otherwise it takes the test that adds the most new faults.
// Only for an ant with a test left to take.
std::int32_t chooseNextTest(const ColonyState& colony, const CostTable& cost, RandomSource& random,
                            std::int32_t ant, std::int32_t current);
