#include "model/instance.hpp"

constexpr std::array<float, N_TESTS> execTime{4.0F, 2.0F, 1.0F, 3.0F, 2.0F};

float prepareCosts(CostTable& cost) {
    for (auto& row : cost) {
        for (std::int32_t b = 0; b < N_TESTS; ++b) {
            row[b] = execTime[b] + row[b];
        }
    }
    float length = 0.0F;
    for (std::int32_t a = 0; a < N_TESTS; ++a) {
        length += cost[a][(a + 1) % N_TESTS];
    }
    return length;
}
