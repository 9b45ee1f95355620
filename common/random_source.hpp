#pragma once

#include <cstdint>
#include <random>

// The search's one source of draws, integers 0..32767 inclusive.
// std::minstd_rand is used because the C++ standard fixes its sequence, so every compiler and
// platform prints the same report; std::rand differs between C libraries (and exceeds 32767 on
// glibc), and the standard distributions differ between library implementations.
struct RandomSource {
    std::minstd_rand engine;
};

// Keeps the top 15 of the engine's 31 bits, so draws run from 0 to 32767.
inline constexpr unsigned DRAW_SHIFT = 16U;

// Restarts the source's sequence from `seed`.
void seedRandom(RandomSource& random, std::uint32_t seed);

// Advances the source by one draw: the engine's next value shifted right by 16 bits.
std::int32_t nextRandom(RandomSource& random);
