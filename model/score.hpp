#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/constants.hpp"
#include "common/parameters.hpp"
#include "model/instance.hpp"

// An ant's closed tour: its start, the four other tests in the order taken, its start again.
using Tour = std::array<std::int32_t, TOUR_LEN>;
using TourTable = std::array<Tour, N_ANTS>;

// How an ordering's score is made: for each fault, the 1-based position of the first test that
// detects it (0 where none of the first N_TESTS does), the sum S of those positions, and the score.
struct ScoreDerivation {
    std::array<std::int32_t, N_FAULTS> firstFound;
    float positionSum;
    float score;
};

// The score's two divisors for n tests and m faults: n · m, which S is divided by, and 2n, whose
// reciprocal is subtracted.
inline constexpr float POSITION_DIVISOR = static_cast<float>(N_TESTS * N_FAULTS);
inline constexpr float OFFSET_DIVISOR = static_cast<float>(2 * N_TESTS);

// Derives the fault-detection score ("APFD") of the first N_TESTS entries of `order`, in single
// precision: 1 - S / (n · m) - 1 / (2n), here 1 - S / 25 - 1 / 10. A tour's closing entry is
// never scored.
template <std::size_t N>
ScoreDerivation deriveScore(const std::array<std::int32_t, N>& order) {
    static_assert(N >= N_TESTS, "an order names at least every test once");
    ScoreDerivation derivation{};
    for (std::int32_t f = 0; f < N_FAULTS; ++f) {
        for (std::int32_t p = 0; p < N_TESTS; ++p) {
            if (faultMatrix[order[p]][f] == 1) {
                derivation.firstFound[f] = p + 1;
                derivation.positionSum += static_cast<float>(p + 1);
                break;
            }
        }
    }
    const float positionShare = derivation.positionSum / POSITION_DIVISOR;
    const float offset = 1.0F / OFFSET_DIVISOR;
    derivation.score = 1.0F - positionShare - offset;
    return derivation;
}

// The fault-detection score of the first N_TESTS entries of `order`.
template <std::size_t N>
float orderScore(const std::array<std::int32_t, N>& order) {
    return deriveScore(order).score;
}

// Above every score, so that when the smallest score is kept the first ant always sets bestTour;
// its negation is below every score, for when the largest is kept.
inline constexpr float NO_SCORE_YET = 10000.0F;

// The score a selection under `keep` starts from, which every tour's score beats.
inline float scoreToBeat(Keep keep) {
    return keep == Keep::Smallest ? NO_SCORE_YET : -NO_SCORE_YET;
}

// Whether `score` beats `best` under `keep`; strictly, so the first of equal scores stays kept.
inline bool beats(float score, float best, Keep keep) {
    return keep == Keep::Smallest ? best > score : score > best;
}

// selectBestAnt tells an observer how it scored each ant's tour, through the free function
//   onTourScored(observer, ant, derivation, best)
// where `best` says that the tour became the best so far. SilentScoring hears nothing.
struct SilentScoring {};
inline void onTourScored(SilentScoring& /*observer*/, std::int32_t /*ant*/,
                         const ScoreDerivation& /*derivation*/, bool /*best*/) {}

// Copies into `bestTour` the first of `tours` with the smallest score, or under Keep::Largest the
// largest, and returns that score, telling `observer` each tour's score as it is derived.
template <class Observer>
float selectBestAnt(const TourTable& tours, Tour& bestTour, Keep keep, Observer& observer) {
    float best = scoreToBeat(keep);
    for (std::int32_t a = 0; a < N_ANTS; ++a) {
        const ScoreDerivation derivation = deriveScore(tours[a]);
        const bool better = beats(derivation.score, best, keep);
        if (better) {
            best = derivation.score;
            bestTour = tours[a];
        }
        onTourScored(observer, a, derivation, better);
    }
    return best;
}

// selectBestAnt keeping the smallest score, telling no one.
float selectBestAnt(const TourTable& tours, Tour& bestTour);
