// antorder-trace: runs antorder's search, the same seed, instance and iterations, and writes
// every step of it to standard output as one JSON document: each draw, each move and the rule
// that made it, and the pheromone table after each update. The web page replays the search
// from it.

#include <cstdio>
#include <cstdlib>

#include "colony/colony_state.hpp"
#include "colony/report.hpp"
#include "colony/search.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "trace/trace.hpp"

int main() {
    RandomSource random{};
    CostTable cost{};
    ColonyState colony{};
    TraceWriter writer{stdout, 0, 0, 0};
    runSearch(colony, cost, random, writer);
    endTrace(writer);
    return finishOutput("antorder-trace", "trace") ? EXIT_SUCCESS : EXIT_FAILURE;
}
