#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>

#include "common/constants.hpp"
#include "common/random_source.hpp"

namespace {

const std::string program = ANTORDER_EXE;

// Runs `command` through the shell; returns what it wrote to the pipe and its exit status.
std::pair<std::string, int> runShell(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        output.push_back(static_cast<char>(c));
    }
    const int status = pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string recordedReport() {
    std::ifstream file(EXPECTED_REPORT, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(RandomSource, IsTheStandardMinimalStandardEngineShiftedTo15Bits) {
    RandomSource random{};
    seedRandom(random, RNG_SEED);
    EXPECT_EQ(nextRandom(random), 595905495 >> 16) << "12345 * 48271 mod (2^31 - 1)";
    seedRandom(random, 1);
    for (int i = 1; i < 10000; ++i) {
        ASSERT_LE(nextRandom(random), 32767);
    }
    EXPECT_EQ(nextRandom(random), 399268537 >> 16) << "the 10000th value the standard fixes";
}

TEST(Program, PrintsTheRecordedReportAndEndsAtEndOfInput) {
    const auto [report, status] = runShell(program + " ignored arguments </dev/null");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(report, recordedReport());

    std::string iterations;
    for (int it = 1; it <= N_ITERATIONS; ++it) {
        iterations +=
            "\n Iteration=" + std::to_string(it) + ", APFD = 0\\.(?:38|42|46|50|54|58)0000";
    }
    const std::regex shape("initial APFD=0\\.540000 \n" + iterations +
                           "\n Final solution: \n:([1-5]) - ([1-5] - ){4}\\1 - ");
    ASSERT_TRUE(std::regex_match(report, shape));
    const std::string last = report.substr(report.rfind(':'));
    for (const char test : std::string("12345")) {
        EXPECT_NE(last.find(test), std::string::npos) << "the final tour visits every test";
    }
}

TEST(Program, FailsWithAMessageWhenTheReportCannotBeWritten) {
    // The failure shows with status 1 and a message whether the C library buffers standard
    // output or, under stdbuf -o0, does not; the trace fails the same way, naming itself. That
    // the report goes out in one write, the one-write checks show.
    const std::string fullDevice = " </dev/null 2>&1 >/dev/full";
    const std::string unbuffered = "stdbuf -o0 " + program;
    const std::string trace = ANTORDER_TRACE_EXE;
    for (const auto& [command, start, cause] :
         {std::tuple{program + fullDevice, "antorder: the report ", "No space left on device"},
          std::tuple{program + " </dev/null 2>&1 >&-", "antorder: the report ",
                     "Bad file descriptor"},
          std::tuple{unbuffered + fullDevice, "antorder: the report ", "No space left on device"},
          std::tuple{trace + fullDevice, "antorder-trace: the trace ",
                     "No space left on device"}}) {
        const auto [message, status] = runShell(command);
        EXPECT_EQ(status, 1) << command;
        EXPECT_EQ(message.rfind(start, 0), 0U) << message;
        EXPECT_NE(message.find(cause), std::string::npos) << message;
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
    close(output[1]);
    std::string report(recordedReport().size(), '\0');
    pollfd readable{output[0], POLLIN, 0};
    for (std::size_t got = 0; got < report.size();) {
        ASSERT_GT(poll(&readable, 1, 10000), 0) << "the report did not arrive in full";
        const ssize_t n = read(output[0], &report[got], report.size() - got);
        ASSERT_GT(n, 0) << "the program ended before the report was read";
        got += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(report, recordedReport());
    EXPECT_EQ(poll(&readable, 1, 200), 0) << "the program must keep waiting for Enter";
    ASSERT_EQ(write(input[1], "\n", 1), 1);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
}

}  // namespace
