#include "colony/report.hpp"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Room for the whole report, which is 3,159 bytes: no score needs more than its six decimals.
constexpr std::size_t REPORT_BUFFER_SIZE = 4096;

void beginReport() {
    static std::array<char, REPORT_BUFFER_SIZE> buffer{};
    static_cast<void>(std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size()));
}

void printInitialLine(float score) {
    std::printf("initial APFD=%f \n", static_cast<double>(score));
}

void printIterationLine(std::int32_t iteration, float score) {
    std::printf("\n Iteration=%d, APFD = %f", static_cast<int>(iteration),
                static_cast<double>(score));
}

void onIterationEnd(ConsoleReport& /*report*/, std::int32_t iteration, const ColonyState& colony) {
    printIterationLine(iteration, colony.bestScore);
}

void printFinalSolution(const Tour& tour) {
    std::printf("\n Final solution: \n");
    printSolution(tour);
}

void printSolution(const Tour& tour) {
    std::printf(":");
    for (const std::int32_t test : tour) {
        std::printf("%d - ", static_cast<int>(test + 1));
    }
}

bool finishOutput(const char* program, const char* output) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
        return true;
    }
    const int cause = errno;
    std::fprintf(stderr, "%s: the %s could not be written to standard output: %s\n", program,
                 output, std::strerror(cause));
    return false;
}

void waitForKey() {
    static_cast<void>(std::getchar());
}
