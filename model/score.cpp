#include "model/score.hpp"

float selectBestAnt(const TourTable& tours, Tour& bestTour) {
    float best = 10000.0F;
    for (const Tour& tour : tours) {
        const float score = orderScore(tour);
        if (best > score) {
            best = score;
            bestTour = tour;
        }
    }
    return best;
}
