#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "colony/iteration.hpp"
#include "tests/scripted_random.hpp"

namespace {

constexpr float TAU0 = 0.016666668F;
constexpr std::array<std::int32_t, N_TESTS> ALL_TESTS{0, 1, 2, 3, 4};

struct Colony {
    CostTable cost{};
    ColonyState state{};
    RandomSource random{};
};

// A colony set up as the program sets it up, before its first iteration.
Colony freshColony() {
    Colony colony;
    initColony(colony.state, prepareCosts(colony.cost));
    return colony;
}

// Start draws 0..4, so ant k starts on test k, then twenty construction draws of `draw`.
std::vector<std::int32_t> startsInOrderThen(std::int32_t draw) {
    std::vector<std::int32_t> draws{0, 1, 2, 3, 4};
    draws.insert(draws.end(), 20, draw);
    return draws;
}

bool isEdgeOf(const Tour& tour, std::int32_t a, std::int32_t b) {
    for (std::int32_t q = 0; q < N_TESTS; ++q) {
        if (tour[q] == a && tour[q + 1] == b) {
            return true;
        }
    }
    return false;
}

TEST(InitColony, LaysTheInitialLevelOnEveryEntry) {
    const Colony colony = freshColony();
    EXPECT_EQ(colony.state.tau0, TAU0);
    for (const auto& row : colony.state.pheromone) {
        EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](float p) { return p == TAU0; }));
    }
}

struct FirstIterationCase {
    std::int32_t constructionDraw;
    TourTable tours;
    std::int32_t bestAnt;
    float reinforced;
};

TEST(RunIteration, WorkedFirstIterationsBuildSelectAndReinforce) {
    const std::vector<FirstIterationCase> cases{
        {0,
         {{{0, 2, 1, 4, 3, 0}, {1, 2, 4, 3, 0, 1}, {2, 1, 4, 3, 0, 2}, {3, 2, 1, 4, 0, 3},
           {4, 2, 1, 3, 0, 4}}},
         1, 1.7424637F},
        {20000,
         {{{0, 1, 2, 3, 4, 0}, {1, 0, 2, 3, 4, 1}, {2, 0, 1, 3, 4, 2}, {3, 0, 2, 1, 4, 3},
           {4, 0, 1, 2, 3, 4}}},
         0, 1.4848149F},
    };
    for (const FirstIterationCase& c : cases) {
        Colony colony = freshColony();
        scriptDraws(startsInOrderThen(c.constructionDraw));
        const float score = runIteration(colony.state, colony.cost, colony.random);
        EXPECT_EQ(score, orderScore(c.tours[c.bestAnt]));
        EXPECT_EQ(drawsTaken(), 25U);
        EXPECT_EQ(colony.state.tour, c.tours);
        EXPECT_EQ(colony.state.bestTour, c.tours[c.bestAnt]);
        EXPECT_EQ(colony.state.pheromone, freshColony().state.pheromone)
            << "local updates keep a uniform table at tau0";

        reinforceBestTour(colony.state);
        for (std::int32_t a = 0; a < N_TESTS; ++a) {
            for (std::int32_t b = 0; b < N_TESTS; ++b) {
                const bool onBest = isEdgeOf(colony.state.bestTour, a, b);
                EXPECT_EQ(colony.state.pheromone[a][b], onBest ? c.reinforced : TAU0)
                    << "edge " << a + 1 << " -> " << b + 1;
            }
        }
    }
}

TEST(ReinforceBestTour, DepositDecaysTowardsTau0OverTheNextIteration) {
    Colony colony = freshColony();
    colony.state.bestScore = 0.5F;
    colony.state.bestTour = {0, 1, 2, 3, 4, 0};
    reinforceBestTour(colony.state);
    EXPECT_EQ(colony.state.pheromone[4][0], 1.6033334F) << "the closing edge is reinforced";
    EXPECT_EQ(colony.state.pheromone[0][4], TAU0) << "the reverse edge is not";

    scriptDraws(startsInOrderThen(0));
    runIteration(colony.state, colony.cost, colony.random);
    EXPECT_EQ(colony.state.pheromone[4][0], 0.0171744F);
}

TEST(PheromoneUpdates, AreEvaluatedInDoublePrecisionFromSingleValues) {
    Colony colony = freshColony();
    colony.state.bestTour = {0, 1, 2, 3, 4, 0};
    colony.state.bestScore = orderScore(colony.state.bestTour);
    colony.state.pheromone[0][1] = 2.54382682F;
    reinforceBestTour(colony.state);
    EXPECT_EQ(colony.state.pheromone[0][1], 1.99024689F) << "single precision gives 1.99024701";

    colony.state.pheromone[0][0] = 1.4248879F;  // a loop edge: only local updates touch it
    scriptDraws(startsInOrderThen(0));
    runIteration(colony.state, colony.cost, colony.random);
    EXPECT_EQ(colony.state.pheromone[0][0], 0.0171172991F) << "single precision gives 0.0171172973";
}

TEST(RunIteration, RedrawsStartsAlreadyTaken) {
    Colony colony = freshColony();
    std::vector<std::int32_t> draws{3, 8, 13, 1, 6, 0, 4, 9, 32767};
    draws.insert(draws.end(), 20, 0);
    scriptDraws(draws);
    runIteration(colony.state, colony.cost, colony.random);
    EXPECT_EQ(drawsTaken(), draws.size());
    EXPECT_EQ(colony.state.startTest, (std::array<std::int32_t, N_ANTS>{3, 1, 0, 4, 2}));
}

TEST(RunIteration, EveryTourIsACycleThroughAllTestsOverManyIterations) {
    Colony colony = freshColony();
    std::mt19937 engine(7);
    std::uniform_int_distribution<std::int32_t> draw(0, 32767);
    std::vector<std::int32_t> draws(20000);
    std::generate(draws.begin(), draws.end(), [&] { return draw(engine); });
    scriptDraws(draws);
    for (int it = 0; it < 200; ++it) {
        runIteration(colony.state, colony.cost, colony.random);
        reinforceBestTour(colony.state);
        const auto& starts = colony.state.startTest;
        EXPECT_TRUE(std::is_permutation(starts.begin(), starts.end(), ALL_TESTS.begin()));
        for (const Tour& tour : colony.state.tour) {
            EXPECT_TRUE(std::is_permutation(tour.begin(), tour.begin() + N_TESTS, ALL_TESTS.begin()));
            EXPECT_EQ(tour[N_TESTS], tour[0]);
        }
        for (const auto& row : colony.state.pheromone) {
            EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](float p) { return p > 0.0F; }));
        }
    }
}

}  // namespace
