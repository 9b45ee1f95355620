#include "common/random_source.hpp"

void seedRandom(RandomSource& random, std::uint32_t seed) {
    random.engine.seed(seed);
}

// Keeps the top 15 of the engine's 31 bits, so draws run from 0 to 32767.
constexpr unsigned DRAW_SHIFT = 16U;

std::int32_t nextRandom(RandomSource& random) {
    return static_cast<std::int32_t>(random.engine() >> DRAW_SHIFT);
}
