#include "model/score.hpp"

float selectBestAnt(const TourTable& tours, Tour& bestTour) {
    SilentScoring nobody;
    return selectBestAnt(tours, bestTour, Keep::Smallest, nobody);
}
