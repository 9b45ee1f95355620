#include "tests/scripted_random.hpp"

#include <gtest/gtest.h>

#include "common/random_source.hpp"

namespace {
std::vector<std::int32_t> script;
std::size_t taken = 0;
}  // namespace

void scriptDraws(std::vector<std::int32_t> draws) {
    script = std::move(draws);
    taken = 0;
}

std::size_t drawsTaken() {
    return taken;
}

std::int32_t nextRandom(RandomSource& /*random*/) {
    EXPECT_LT(taken, script.size()) << "the colony drew more numbers than were scripted";
    return taken < script.size() ? script[taken++] : 0;
}

void seedRandom(RandomSource& /*random*/, std::uint32_t /*seed*/) {}
