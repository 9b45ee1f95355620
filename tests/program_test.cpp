#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/constants.hpp"
#include "common/random_source.hpp"

namespace {

struct ProcessRun {
    std::string output;
    int status;
};

// Runs `command` through the shell and collects what it writes to the pipe.
ProcessRun runShell(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    ProcessRun run{"", -1};
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        run.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::string program = ANTORDER_EXE;

TEST(RandomSource, IsTheStandardMinimalStandardEngineShiftedTo15Bits) {
    RandomSource random{};
    seedRandom(random, RNG_SEED);
    EXPECT_EQ(nextRandom(random), 595905495 >> 16) << "12345 * 48271 mod (2^31 - 1)";
    seedRandom(random, 1);
    for (int i = 1; i < 10000; ++i) {
        const std::int32_t draw = nextRandom(random);
        ASSERT_TRUE(draw >= 0 && draw <= 32767) << draw;
    }
    EXPECT_EQ(nextRandom(random), 399268537 >> 16) << "the 10000th value the standard fixes";
}

TEST(Program, PrintsTheRecordedReportAndEndsAtEndOfInput) {
    std::ifstream file(EXPECTED_REPORT, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(file), {}};
    const ProcessRun run = runShell(program + " ignored arguments </dev/null");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, expected);
}

TEST(Program, ReportHasOneLinePerIterationAndAClosedFinalTour) {
    const ProcessRun run = runShell(program + " </dev/null");
    const std::vector<std::string> lines = linesOf(run.output);
    ASSERT_EQ(lines.size(), 104U);
    EXPECT_EQ(lines[0], "initial APFD=0.540000 ");
    EXPECT_EQ(lines[1], "");
    const std::set<std::string> scores{"0.380000", "0.420000", "0.460000",
                                       "0.500000", "0.540000", "0.580000"};
    for (int it = 1; it <= N_ITERATIONS; ++it) {
        const std::string prefix = " Iteration=" + std::to_string(it) + ", APFD = ";
        const std::string& line = lines[static_cast<std::size_t>(it + 1)];
        EXPECT_EQ(line.substr(0, prefix.size()), prefix);
        EXPECT_EQ(scores.count(line.substr(prefix.size())), 1U) << line;
    }
    EXPECT_EQ(lines[102], " Final solution: ");
    std::array<int, TOUR_LEN> tour{};
    ASSERT_EQ(std::sscanf(lines[103].c_str(), ":%d - %d - %d - %d - %d - %d - ", &tour[0], &tour[1],
                          &tour[2], &tour[3], &tour[4], &tour[5]),
              TOUR_LEN);
    EXPECT_TRUE(std::is_permutation(tour.begin(), tour.begin() + 5,
                                    std::array<int, 5>{1, 2, 3, 4, 5}.begin()));
    EXPECT_EQ(tour[5], tour[0]);
    EXPECT_EQ(run.output.back(), ' ') << "no newline after the final tour";
}

TEST(Program, FailsWithAMessageWhenTheReportCannotBeWritten) {
    const std::array<std::pair<const char*, const char*>, 2> cases{{
        {">/dev/full", "No space left on device"},
        {">&-", "Bad file descriptor"},
    }};
    for (const auto& [redirect, cause] : cases) {
        const ProcessRun run = runShell(program + " </dev/null 2>&1 " + redirect);
        EXPECT_EQ(run.status, 1) << redirect;
        EXPECT_EQ(run.output.rfind("antorder: ", 0), 0U) << run.output;
        EXPECT_NE(run.output.find(cause), std::string::npos) << run.output;
    }
}

TEST(Program, ShowsTheWholeReportWhileWaitingForEnter) {
    std::array<int, 2> input{};
    std::array<int, 2> output{};
    ASSERT_EQ(pipe(input.data()), 0);
    ASSERT_EQ(pipe(output.data()), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    std::string report;
    std::array<char, 4096> buffer{};
    pollfd readable{output[0], POLLIN, 0};
    while (report.size() < 3000 || report.back() != ' ') {
        ASSERT_GT(poll(&readable, 1, 10000), 0) << "the report did not arrive while waiting";
        const ssize_t n = read(output[0], buffer.data(), buffer.size());
        ASSERT_GT(n, 0) << "the program ended before Enter";
        report.append(buffer.data(), static_cast<std::size_t>(n));
    }
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the program must still wait for Enter";
    ASSERT_EQ(write(input[1], "\n", 1), 1);
    close(input[1]);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(linesOf(report).size(), 104U);
    close(output[0]);
}

}  // namespace
