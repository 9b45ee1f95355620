#include <gtest/gtest.h>

#include <vector>

#include "colony/iteration.hpp"
#include "tests/scripted_random.hpp"

namespace {

constexpr float TAU0 = 0.016666668F;

// A colony set up as the program sets it up, before its first iteration.
struct Colony {
    CostTable cost{};
    ColonyState state{};
    RandomSource random{};
    Colony() {
        initColony(state, prepareCosts(cost));
    }
    float iterate() {
        return runIteration(state, cost, random);
    }
};

// Start draws 0..4, so ant k starts on test k, then twenty construction draws of `draw`.
std::vector<std::int32_t> startsInOrderThen(std::int32_t draw) {
    std::vector<std::int32_t> draws{0, 1, 2, 3, 4};
    draws.insert(draws.end(), 20, draw);
    return draws;
}

struct FirstIterationCase {
    std::int32_t constructionDraw;
    TourTable tours;
    std::int32_t bestAnt;
    float reinforced;
};

TEST(RunIteration, WorkedFirstIterationsBuildSelectAndReinforce) {
    const std::vector<FirstIterationCase> cases{
        {0,  // every move exploits: the cheapest test left
         {{{0, 2, 1, 4, 3, 0},
           {1, 2, 4, 3, 0, 1},
           {2, 1, 4, 3, 0, 2},
           {3, 2, 1, 4, 0, 3},
           {4, 2, 1, 3, 0, 4}}},
         1,
         1.7424637F},
        {20000,  // every move explores: the most new faults
         {{{0, 1, 2, 3, 4, 0},
           {1, 0, 2, 3, 4, 1},
           {2, 0, 1, 3, 4, 2},
           {3, 0, 2, 1, 4, 3},
           {4, 0, 1, 2, 3, 4}}},
         0,
         1.4848149F},
    };
    for (const FirstIterationCase& c : cases) {
        Colony colony;
        scriptDraws(startsInOrderThen(c.constructionDraw));
        EXPECT_EQ(colony.iterate(), orderScore(c.tours[c.bestAnt]));
        EXPECT_EQ(drawsTaken(), 25U);
        EXPECT_EQ(colony.state.tour, c.tours);
        EXPECT_EQ(colony.state.bestTour, c.tours[c.bestAnt]);

        reinforceBestTour(colony.state);
        const Tour& best = colony.state.bestTour;
        for (std::int32_t a = 0; a < N_TESTS; ++a) {
            for (std::int32_t b = 0; b < N_TESTS; ++b) {
                const bool onBest = std::find(best.begin(), best.end() - 1, a)[1] == b;
                EXPECT_EQ(colony.state.pheromone[a][b], onBest ? c.reinforced : TAU0)
                    << "edge " << a + 1 << " -> " << b + 1;
            }
        }
    }
}

TEST(PheromoneUpdates, AreEvaluatedInDoubleFromSingleLevels) {
    Colony colony;
    colony.state.bestTour = {0, 1, 2, 3, 4, 0};
    colony.state.bestScore = 0.5F;
    colony.state.pheromone[0][1] = 1.93485296F;
    reinforceBestTour(colony.state);
    EXPECT_EQ(colony.state.pheromone[0][1], 1.98697054F) << "single precision gives 1.98697066";
    EXPECT_EQ(colony.state.pheromone[4][0], 1.6033334F) << "the closing edge is reinforced";
    EXPECT_EQ(colony.state.pheromone[0][4], TAU0) << "the reverse edge is not";

    colony.state.pheromone[0][0] = 1.4248879F;  // a loop edge: only local updates touch it
    scriptDraws(startsInOrderThen(0));
    colony.iterate();
    EXPECT_EQ(colony.state.pheromone[4][0], 0.0171744F) << "five local updates decay the deposit";
    EXPECT_EQ(colony.state.pheromone[0][0], 0.0171172991F) << "single precision gives 0.0171172973";
}

TEST(RunIteration, RedrawsStartsAlreadyTaken) {
    Colony colony;
    std::vector<std::int32_t> draws{3, 8, 13, 1, 6, 0, 4, 9, 32767};
    draws.insert(draws.end(), 20, 0);
    scriptDraws(draws);
    colony.iterate();
    EXPECT_EQ(drawsTaken(), draws.size());
    EXPECT_EQ(colony.state.startTest, (std::array<std::int32_t, N_ANTS>{3, 1, 0, 4, 2}));
    for (const Tour& tour : colony.state.tour) {
        EXPECT_EQ(tour[N_TESTS], tour[0]);
    }
}

}  // namespace
