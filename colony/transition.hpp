#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// How an ant chose the test it moved to: it followed the heaviest trail, it took the test that
// adds the most new faults, or it went home to its start once it had taken every test.
enum class Rule : std::int32_t { Trail, Faults, Home };

// The draw of a move that drew nothing: the move home.
inline constexpr std::int32_t NO_DRAW = -1;

// One step of an ant's tour: the test it moved to, the number it drew, and the rule it followed.
struct Move {
    std::int32_t to;
    std::int32_t draw;
    Rule rule;
};

// True while `ant` still has a test to take in this iteration.
bool hasUnvisited(const ColonyState& colony, std::int32_t ant);

// Picks the test `ant` takes after `current`, drawing exactly one number: below Q0 the ant
// follows the heaviest trail, otherwise it takes the test that adds the most new faults. The move
// tells the draw and the rule that made it. Only for an ant with a test left to take.
Move chooseNextTest(const ColonyState& colony, const CostTable& cost, RandomSource& random,
                    std::int32_t ant, std::int32_t current);
