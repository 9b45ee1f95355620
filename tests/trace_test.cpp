#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "common/constants.hpp"
#include "common/parameters.hpp"
#include "tests/scripted_random.hpp"
#include "trace/trace.hpp"

namespace {

// The trace of a whole search with `parameters` in which every iteration draws its starts 0 to
// 4, so that ant k starts on test k, and then twenty construction draws of `draw`, and whether
// writeTrace said it was written.
std::pair<std::string, bool> traceWithConstructionDraws(std::int32_t draw,
                                                        const SearchParameters& parameters) {
    std::vector<std::int32_t> draws;
    for (std::int32_t it = 0; it < parameters.iterations; ++it) {
        draws.insert(draws.end(), {0, 1, 2, 3, 4});
        draws.insert(draws.end(), 20, draw);
    }
    scriptDraws(draws);
    std::FILE* file = std::tmpfile();
    const bool written = writeTrace(file, parameters);
    EXPECT_EQ(drawsTaken(), draws.size());
    std::rewind(file);
    std::string text;
    for (int c = 0; (c = std::fgetc(file)) != EOF;) {
        text.push_back(static_cast<char>(c));
    }
    std::fclose(file);
    return {text, written};
}

// The lists of moves of the trace's passes, in order.
std::vector<std::string> passMoves(const std::string& trace) {
    const std::string begin = R"({"moves":[)";
    const std::string end = R"(],"pheromone":)";
    std::vector<std::string> passes;
    for (auto at = trace.find(begin); at != std::string::npos; at = trace.find(begin, at + 1)) {
        passes.push_back(trace.substr(at, trace.find(end, at) - at));
    }
    return passes;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(Trace, RecordsTheRuleThatMadeEachMoveAndAMoveHomeWithoutADraw) {
    struct Case {
        std::int32_t draw;
        std::string rule;
    };
    const std::string home =
        R"("draw":null,"rule":"home","q":null,"weights":null,"newFaults":null,)";
    for (const Case& c : {Case{0, "trail"}, Case{20000, "faults"}}) {
        const auto [trace, written] = traceWithConstructionDraws(c.draw, BUILT_IN_PARAMETERS);
        EXPECT_TRUE(written);
        const std::string drawn = R"("draw":)" + std::to_string(c.draw) + R"(,"rule":")" + c.rule;
        const std::vector<std::string> passes = passMoves(trace);
        ASSERT_EQ(passes.size(), static_cast<std::size_t>(5 * N_ITERATIONS)) << c.rule;
        for (std::size_t p = 0; p < passes.size(); ++p) {
            const bool lastPass = p % 5 == 4;
            EXPECT_EQ(occurrences(passes[p], drawn), lastPass ? 0U : 5U) << c.rule << " pass " << p;
            EXPECT_EQ(occurrences(passes[p], home), lastPass ? 5U : 0U) << c.rule << " pass " << p;
        }
        EXPECT_EQ(occurrences(trace, R"("rule")"), static_cast<std::size_t>(25 * N_ITERATIONS));
        EXPECT_EQ(occurrences(trace, R"("startDraws":[0,1,2,3,4],"startPicks":[1,2,3,4,5],)"
                                     R"("startAnts":[1,2,3,4,5],)"
                                     R"("startHolders":[null,null,null,null,null],)"
                                     R"("starts":[1,2,3,4,5])"),
                  static_cast<std::size_t>(N_ITERATIONS));
    }
}

TEST(Trace, WritesNothingWhereANumberIsNotFinite) {
    // JSON has no NaN, which the command line refuses as a q0; the search runs with it all the
    // same, every draw exploring, and its trace is not written.
    SearchParameters parameters = BUILT_IN_PARAMETERS;
    parameters.q0 = std::numeric_limits<double>::quiet_NaN();
    parameters.iterations = 1;
    const auto [trace, written] = traceWithConstructionDraws(0, parameters);
    EXPECT_FALSE(written);
    EXPECT_EQ(trace, "");
}

}  // namespace
