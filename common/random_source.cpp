#include "common/random_source.hpp"

void seedRandom(RandomSource& random, std::uint32_t seed) {
    random.engine.seed(seed);
}

std::int32_t nextRandom(RandomSource& random) {
    return static_cast<std::int32_t>(random.engine() >> DRAW_SHIFT);
}
