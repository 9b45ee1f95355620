// antorder: orders the built-in test suite with an ant-colony search and prints how early each
// iteration's best ordering detects the known faults.

#include <array>
#include <cstdint>
#include <cstdlib>

#include "colony/colony_state.hpp"
#include "colony/iteration.hpp"
#include "colony/report.hpp"
#include "common/constants.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

int main() {
    RandomSource random{};
    seedRandom(random, RNG_SEED);

    constexpr std::array<std::int32_t, N_TESTS> identityOrder{0, 1, 2, 3, 4};
    printInitialLine(orderScore(identityOrder));

    CostTable cost{};
    ColonyState colony{};
    initColony(colony, prepareCosts(cost));
    for (std::int32_t it = 0; it < N_ITERATIONS; ++it) {
        printIterationLine(it + 1, runIteration(colony, cost, random));
        reinforceBestTour(colony);
    }
    printFinalSolution(colony.bestTour);

    if (!finishReport()) {
        return EXIT_FAILURE;
    }
    waitForKey();
    return EXIT_SUCCESS;
}
