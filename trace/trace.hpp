#pragma once

#include <cstdio>

// The trace: the search move by move, with every number each decision was made from, as one JSON
// document, written an iteration at a time. Tests, ants and faults are numbered from 1, as the
// report numbers tests; every float is written with nine significant digits and every double with
// seventeen, which read back as the same value:
//   {"instance": {"faultMatrix": 5 rows (tests) of 5 ints (faults), 1 = detects,
//                 "execTime": 5 floats, "cost": 5 rows of 5 floats, after prepareCosts,
//                 "referenceTour": [6 tests], the reference cycle,
//                 "referenceCycle": float, its cost, what prepareCosts returned,
//                 "scoreRange": [smallest, largest score over every ordering],
//                 "scoreDivisors": [n · m, 2n], the divisors of the score's two terms},
//    "parameters": {"seed", "generator": {"multiplier", "modulus", "shift"}, "ants",
//                   "iterations", "q0", "randLimit", "rho"},
//    "tau0": float, "initialScore": float, "iterations": [
//     {"iteration": 1..100, "pheromoneAtStart": 5 rows of 5 floats,
//      "startDraws": [draw, ...], "startPicks": [the test each draw names],
//      "startAnts": [the ant each draw was for],
//      "startHolders": [the ant already on the test drawn, which is drawn again, or null],
//      "starts": [5 tests],
//      "passes": [5 times {"moves": [5 times {"ant", "from", "to",
//                                             "taken": [the ant's tests before the move],
//                                             "draw" (null going home),
//                                             "rule": "trail" | "faults" | "home",
//                                             "q": the draw over the random limit, or null,
//                                             "weights": 5 floats, 0 for tests taken, or null,
//                                             "newFaults": 5 ints exploring, else null,
//                                             "detected": 5 ints, the ant's before the move}],
//                          "pheromone": 5 rows of 5 floats, after the pass's local update}],
//      "tours": [5 tours of 6 tests], "scores": [5 floats], "kept": 1..5,
//      "firstFound": 5 rows (ants) of 5 ints (faults), the position that finds it, or 0,
//      "positionSums": [5 floats], "reinforced": [5 edges [from, to]], "deposit": double,
//      "pheromone": 5 rows of 5 floats, after the global update}, ...]}

// Runs the whole search, as the program does, and writes its trace to `out`.
void writeTrace(std::FILE* out);
