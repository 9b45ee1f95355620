#include <gtest/gtest.h>

#include <vector>

#include "colony/iteration.hpp"
#include "colony/observer.hpp"
#include "colony/transition.hpp"
#include "tests/scripted_random.hpp"

namespace {

struct ChoiceCase {
    std::vector<std::int32_t> taken;  // tests ant 0 has taken; it stands on the last
    std::int32_t draw;
    std::int32_t expected;
    const char* why;
    float trailTo5 = 0.0F;  // when set, the pheromone from the current test to test 5
};

TEST(ChooseNextTest, ExploitsBelowHalfAndExploresGreedilyAbove) {
    const std::vector<ChoiceCase> cases{
        {{0}, 0, 2, "uniform trails: the cheapest test, 3"},
        {{0}, 16383, 2, "16383 / 32767 is just below one half and exploits"},
        {{0}, 16384, 1, "16384 explores; four tests add two faults, test 2 is first"},
        {{0}, 32767, 1, "the largest draw explores"},
        {{0}, 0, 4, "0.0667 over cost 2 squared outweighs tau0 over cost 1", 0.0667F},
        {{0}, 0, 2, "0.0666 over cost 2 squared does not", 0.0666F},
        {{0, 2}, 0, 1, "tests 2 and 5 cost the same; the lower index wins"},
        {{0, 3}, 32767, 2, "test 3 adds fault 3; test 2 before it adds nothing"},
        {{0, 2, 1}, 32767, 3, "nothing new left: the lowest unvisited test, never a taken one"},
        {{0, 1, 2, 3}, 0, 4, "the only test left, exploiting"},
        {{0, 1, 2, 3}, 32767, 4, "the only test left, exploring"},
    };
    for (const ChoiceCase& c : cases) {
        CostTable cost{};
        ColonyState colony{};
        initColony(colony, prepareCosts(cost));
        for (const std::int32_t test : c.taken) {
            colony.visited[0][test] = 1;
            for (std::int32_t f = 0; f < N_FAULTS; ++f) {
                colony.detected[0][f] |= faultMatrix[test][f];
            }
        }
        if (c.trailTo5 > 0.0F) {
            colony.pheromone[c.taken.back()][4] = c.trailTo5;
        }
        RandomSource random{};
        SilentObserver nobody;
        scriptDraws({c.draw});
        EXPECT_TRUE(hasUnvisited(colony, 0));
        const Move move = chooseNextTest(colony, cost, random, 0, c.taken.back(), Q0, nobody);
        EXPECT_EQ(move.to, c.expected) << c.why;
        EXPECT_EQ(move.draw, c.draw) << c.why;
        EXPECT_EQ(drawsTaken(), 1U) << c.why;
    }
}

}  // namespace
