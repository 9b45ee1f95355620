#include "model/score.hpp"

// Above every score, so the first ant always sets bestTour.
constexpr float NO_SCORE_YET = 10000.0F;

float selectBestAnt(const TourTable& tours, Tour& bestTour) {
    float best = NO_SCORE_YET;
    for (const Tour& tour : tours) {
        const float score = orderScore(tour);
        if (best > score) {
            best = score;
            bestTour = tour;
        }
    }
    return best;
}
