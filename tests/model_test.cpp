#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "model/score.hpp"

namespace {

using Order = std::array<std::int32_t, N_TESTS>;

TEST(PrepareCosts, FillsEveryRowWithTheTimesAndReturnsTheCycleCost) {
    CostTable cost{};
    EXPECT_EQ(prepareCosts(cost), 12.0F);
    for (const auto& row : cost) {
        EXPECT_EQ(row, (std::array<float, N_TESTS>{4.0F, 2.0F, 1.0F, 3.0F, 2.0F}));
    }
}

TEST(OrderScore, AllOrdersFallIntoSixClasses) {
    EXPECT_EQ(std::to_string(orderScore(Order{0, 1, 2, 3, 4})), "0.540000");
    EXPECT_EQ(std::to_string(orderScore(Order{2, 0, 1, 3, 4})), "0.580000");
    EXPECT_EQ(orderScore(Order{0, 1, 3, 2, 4}), 0.5F) << "S = 10 scores exactly one half";
    std::map<std::string, int> counts;
    std::set<Order> worst;
    Order order{0, 1, 2, 3, 4};
    do {
        const std::string score = std::to_string(orderScore(order));
        ++counts[score];
        if (score == "0.380000") {
            worst.insert(order);
        }
        if (order[4] == 0) {
            EXPECT_LE(orderScore(order), 0.5F) << "test 1 last finds fault 4 last";
        }
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(counts, (std::map<std::string, int>{{"0.380000", 4},
                                                  {"0.420000", 8},
                                                  {"0.460000", 8},
                                                  {"0.500000", 28},
                                                  {"0.540000", 48},
                                                  {"0.580000", 24}}));
    EXPECT_EQ(worst, (std::set<Order>{
                         {1, 3, 2, 4, 0}, {1, 3, 4, 2, 0}, {3, 1, 2, 4, 0}, {3, 1, 4, 2, 0}}));
}

TEST(SelectBestAnt, KeepsTheFirstTourWithTheSmallestScore) {
    TourTable tours{{{0, 1, 2, 3, 4, 0},    // 0.54
                     {1, 3, 2, 4, 0, 1},    // 0.38
                     {2, 0, 1, 3, 4, 2},    // 0.58
                     {1, 3, 2, 4, 0, 4},    // 0.38: the closing entry is not scored
                     {3, 1, 2, 4, 0, 3}}};  // 0.38
    Tour best{};
    EXPECT_EQ(std::to_string(selectBestAnt(tours, best)), "0.380000");
    EXPECT_EQ(best, tours[1]);
    SilentScoring nobody;
    EXPECT_EQ(std::to_string(selectBestAnt(tours, best, Keep::Largest, nobody)), "0.580000");
    EXPECT_EQ(best, tours[2]) << "the other rule keeps the largest";

    tours.fill({2, 0, 1, 3, 4, 2});
    tours[0][5] = 4;
    EXPECT_EQ(std::to_string(selectBestAnt(tours, best)), "0.580000");
    EXPECT_EQ(best, tours[0]) << "the first ant wins a tie, closing entry and all";
    tours[0] = tours[2] = {1, 3, 2, 4, 0, 1};  // 0.38
    tours[4][5] = 0;
    EXPECT_EQ(std::to_string(selectBestAnt(tours, best, Keep::Largest, nobody)), "0.580000");
    EXPECT_EQ(best, tours[1]) << "under either rule";
}

}  // namespace
