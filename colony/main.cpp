// antorder: orders the built-in test suite with an ant-colony search and prints the
// fault-detection score of the ordering each iteration keeps: the one with the smallest score,
// which detects the known faults latest. The last ordering kept ends the report.

#include <cstdlib>

#include "colony/colony_state.hpp"
#include "colony/report.hpp"
#include "colony/search.hpp"
#include "common/parameters.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

int main() {
    // The report is held until its end and then written at once.
    beginReport();

    // The suite in its given order, tests 1 to 5.
    printInitialLine(orderScore(GIVEN_ORDER));

    // The search, with a line for each iteration, then the ordering the last one kept.
    RandomSource random{};
    CostTable cost{};
    ColonyState colony{};
    ConsoleReport report;
    runSearch(colony, cost, random, BUILT_IN_PARAMETERS, report);
    printFinalSolution(colony.bestTour);

    // A report that could not be written is a failure, not something to wait on.
    if (!finishOutput("antorder", "report")) {
        return EXIT_FAILURE;
    }
    waitForKey();
    return EXIT_SUCCESS;
}
