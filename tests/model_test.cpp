#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>

#include "model/instance.hpp"
#include "model/score.hpp"

namespace {

using Order = std::array<std::int32_t, N_TESTS>;

std::string printed(float score) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%f", static_cast<double>(score));
    return text.data();
}

TEST(PrepareCosts, EveryRowHoldsTheExecutionTimesAndTheCycleCostsTwelve) {
    CostTable cost{};
    EXPECT_EQ(prepareCosts(cost), 12.0F);
    for (const auto& row : cost) {
        EXPECT_EQ(row, (std::array<float, N_TESTS>{4.0F, 2.0F, 1.0F, 3.0F, 2.0F}));
    }
}

TEST(OrderScore, AllOrdersFallIntoSixClassesWithTheExpectedCounts) {
    std::map<std::string, int> counts;
    Order order{0, 1, 2, 3, 4};
    do {
        ++counts[printed(orderScore(order))];
        if (order[4] == 0) {
            EXPECT_LE(orderScore(order), 0.5F) << "test 1 last leaves fault 4 late";
        }
    } while (std::next_permutation(order.begin(), order.end()));
    const std::map<std::string, int> expected{{"0.380000", 4},  {"0.420000", 8},
                                              {"0.460000", 8},  {"0.500000", 28},
                                              {"0.540000", 48}, {"0.580000", 24}};
    EXPECT_EQ(counts, expected);
}

TEST(OrderScore, NamedOrdersScoreTheirClass) {
    const std::array<std::pair<Order, const char*>, 6> cases{{
        {{0, 1, 2, 3, 4}, "0.540000"},
        {{2, 0, 1, 3, 4}, "0.580000"},
        {{1, 3, 2, 4, 0}, "0.380000"},
        {{1, 3, 4, 2, 0}, "0.380000"},
        {{3, 1, 2, 4, 0}, "0.380000"},
        {{3, 1, 4, 2, 0}, "0.380000"},
    }};
    for (const auto& [order, score] : cases) {
        EXPECT_EQ(printed(orderScore(order)), score);
    }
    EXPECT_EQ(orderScore(Order{0, 1, 3, 2, 4}), 0.5F) << "S = 10 scores exactly one half";
}

TEST(SelectBestAnt, KeepsTheFirstOfTheSmallestScores) {
    TourTable tours{{
        {0, 1, 2, 3, 4, 0},  // 0.54
        {1, 3, 2, 4, 0, 1},  // 0.38
        {2, 0, 1, 3, 4, 2},  // 0.58
        {1, 3, 2, 4, 0, 4},  // 0.38, a later tie with another closing entry
        {3, 1, 2, 4, 0, 3},  // 0.38
    }};
    Tour best{};
    EXPECT_EQ(selectBestAnt(tours, best), orderScore(tours[1]));
    EXPECT_EQ(best, tours[1]);

    tours.fill({2, 0, 1, 3, 4, 2});
    tours[0][5] = 4;
    EXPECT_EQ(selectBestAnt(tours, best), orderScore(tours[1])) << "the closing entry is not scored";
    EXPECT_EQ(best, tours[0]) << "among equal scores the first ant wins, closing entry and all";
}

}  // namespace
