#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/constants.hpp"
#include "model/instance.hpp"

// An ant's closed tour: its start, the four other tests in the order taken, its start again.
using Tour = std::array<std::int32_t, TOUR_LEN>;
using TourTable = std::array<Tour, N_ANTS>;

// Fault-detection score ("APFD") of the first N_TESTS entries of `order`, in single precision:
// 1 - S / 25 - 1 / 10, where S sums the 1-based position of the first test detecting each fault.
// A tour's closing entry is never scored.
template <std::size_t N>
float orderScore(const std::array<std::int32_t, N>& order) {
    static_assert(N >= N_TESTS, "an order names at least every test once");
    float positionSum = 0.0F;
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        for (std::int32_t p = 0; p < N_TESTS; ++p) {
            if (faultMatrix[order[p]][f] == 1) {
                positionSum += static_cast<float>(p + 1);
                break;
            }
        }
    }
    const float positionShare = positionSum / 25.0F;
    const float tenth = 1.0F / 10.0F;
    return 1.0F - positionShare - tenth;
}

// Copies into `bestTour` the first of `tours` with the smallest score and returns that score.
float selectBestAnt(const TourTable& tours, Tour& bestTour);
