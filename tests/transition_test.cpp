#include <gtest/gtest.h>

#include <vector>

#include "colony/iteration.hpp"
#include "colony/transition.hpp"
#include "tests/scripted_random.hpp"

namespace {

struct ChoiceCase {
    std::vector<std::int32_t> taken;  // tests ant 0 has taken, the last one is where it stands
    std::int32_t draw;
    std::int32_t expected;
    const char* why;
};

// Ant 0 after taking `taken` in order, on a colony at its initial, uniform pheromone level.
ColonyState colonyWithAntAfter(const std::vector<std::int32_t>& taken, CostTable& cost) {
    ColonyState colony{};
    initColony(colony, prepareCosts(cost));
    for (const std::int32_t test : taken) {
        colony.visited[0][test] = 1;
        for (std::int32_t f = 0; f < N_FAULTS; ++f) {
            colony.detected[0][f] |= faultMatrix[test][f];
        }
    }
    return colony;
}

TEST(ChooseNextTest, ExploitsBelowHalfAndExploresGreedilyAbove) {
    const std::vector<ChoiceCase> cases{
        {{0}, 0, 2, "exploiting uniform trails takes the cheapest test, 3"},
        {{0}, 16383, 2, "16383 / 32767 is just below one half and exploits"},
        {{0}, 16384, 1, "16384 / 32767 is just above one half; four tests add two faults, 2 is first"},
        {{0}, 32767, 1, "the largest draw explores"},
        {{0, 2}, 0, 1, "tests 2 and 5 cost the same; the lower index wins"},
        {{0, 3}, 32767, 2, "test 3 adds fault 3; test 2 before it adds nothing"},
        {{0, 2, 1}, 32767, 3, "no test adds a fault: the lowest unvisited, never a taken one"},
        {{0, 1, 2, 3}, 0, 4, "the only test left, exploiting"},
        {{0, 1, 2, 3}, 32767, 4, "the only test left, exploring"},
    };
    for (const ChoiceCase& c : cases) {
        CostTable cost{};
        const ColonyState colony = colonyWithAntAfter(c.taken, cost);
        RandomSource random{};
        scriptDraws({c.draw});
        EXPECT_EQ(chooseNextTest(colony, cost, random, 0, c.taken.back()), c.expected) << c.why;
        EXPECT_EQ(drawsTaken(), 1U) << c.why;
    }
}

TEST(ChooseNextTest, ExploitationFollowsTheHeaviestTrailOverSquaredCost) {
    CostTable cost{};
    ColonyState colony = colonyWithAntAfter({0}, cost);
    colony.pheromone[0][4] = 0.0667F;  // over cost 2 squared just beats tau0 over cost 1
    RandomSource random{};
    scriptDraws({0});
    EXPECT_EQ(chooseNextTest(colony, cost, random, 0, 0), 4);

    colony.pheromone[0][4] = 0.0666F;
    scriptDraws({0});
    EXPECT_EQ(chooseNextTest(colony, cost, random, 0, 0), 2);
}

TEST(HasUnvisited, AnswersWhetherAnyTestIsLeft) {
    CostTable cost{};
    EXPECT_TRUE(hasUnvisited(colonyWithAntAfter({0, 1, 2, 3}, cost), 0));
    EXPECT_FALSE(hasUnvisited(colonyWithAntAfter({4, 1, 2, 3, 0}, cost), 0));
}

}  // namespace
