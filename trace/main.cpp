// antorder-trace: runs antorder's search, by default with its seed, rule and numbers, or with
// those the options give, and writes every step of it to standard output as one JSON document:
// each draw, each move and the rule that made it, and the pheromone table after each update. The
// web page replays the search from it; `antorder-trace --help` lists the options.

#include <cstdio>
#include <cstdlib>

#include "colony/report.hpp"
#include "trace/options.hpp"
#include "trace/trace.hpp"

// The status of a command line that was refused, as other tools give it.
constexpr int EXIT_REFUSED = 2;

int main(int argc, char* argv[]) {
    const TraceCommand command = readCommandLine(argc - 1, argv + 1);
    switch (command.request) {
        case Request::Refused:
            printRefusal(stderr, command);
            return EXIT_REFUSED;
        case Request::Help:
            printUsage(stdout);
            return finishOutput("antorder-trace", "usage") ? EXIT_SUCCESS : EXIT_FAILURE;
        case Request::Version:
            printVersion(stdout);
            return finishOutput("antorder-trace", "version") ? EXIT_SUCCESS : EXIT_FAILURE;
        case Request::Trace:
            break;
    }
    if (!writeTrace(stdout, command.parameters)) {
        std::fputs(
            "antorder-trace: the search reached a number that is not finite, which JSON "
            "cannot hold, so no trace was written\n",
            stderr);
        return EXIT_FAILURE;
    }
    return finishOutput("antorder-trace", "trace") ? EXIT_SUCCESS : EXIT_FAILURE;
}
