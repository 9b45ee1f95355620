#include "model/instance.hpp"

constexpr std::array<float, N_TESTS> execTime{4.0F, 2.0F, 1.0F, 3.0F, 2.0F};

float prepareCosts(CostTable& cost) {
    for (auto& row : cost) {
        for (std::int32_t b = 0; b < N_TESTS; ++b) {
            row[b] = execTime[b] + row[b];
        }
    }
    float length = 0.0F;
    for (std::int32_t q = 0; q < N_TESTS; ++q) {
        length += cost[REFERENCE_CYCLE[q]][REFERENCE_CYCLE[q + 1]];
    }
    return length;
}
