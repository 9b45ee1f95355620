#pragma once

#include "colony/colony_state.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"

// Sets tau0 from the reference cycle's `length` and lays it on every pheromone entry.
void initColony(ColonyState& colony, float length);

// Builds the five ants' tours of one iteration and selects the best: returns its score and
// leaves its tour in bestTour.
float runIteration(ColonyState& colony, const CostTable& cost, RandomSource& random);

// Pulls the five edges of bestTour, its closing edge included, towards 1 / bestScore.
void reinforceBestTour(ColonyState& colony);
