#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Colony tests link this source in place of the program's generator: each draw is the next
// value of the script the test set, whatever RandomSource is passed, and seeding does nothing.
void scriptDraws(std::vector<std::int32_t> draws);

// How many draws the colony code has taken since the script was set.
std::size_t drawsTaken();
