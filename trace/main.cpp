// antorder-trace: runs antorder's search, the same seed, instance and iterations, and writes
// every step of it to standard output as one JSON document: each draw, each move and the rule
// that made it, and the pheromone table after each update. The web page replays the search
// from it.

#include <cstdio>
#include <cstdlib>

#include "colony/report.hpp"
#include "common/parameters.hpp"
#include "trace/trace.hpp"

int main() {
    if (!writeTrace(stdout, BUILT_IN_PARAMETERS)) {
        std::fputs("antorder-trace: the search reached a number that is not finite, which JSON "
                   "cannot hold, so no trace was written\n",
                   stderr);
        return EXIT_FAILURE;
    }
    return finishOutput("antorder-trace", "trace") ? EXIT_SUCCESS : EXIT_FAILURE;
}
