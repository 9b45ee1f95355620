#include "model/instance.hpp"

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
