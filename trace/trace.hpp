#pragma once

#include <cstdio>

// The trace: the search move by move, as one JSON document written while the search runs. Tests
// and ants are numbered from 1, as the report numbers tests, and every float is written with nine
// significant digits, which read back as the same single-precision value:
//   {"tau0": float, "initialScore": float, "iterations": [
//     {"iteration": 1..100, "startDraws": [draw, ...], "starts": [5 tests],
//      "passes": [5 times {"moves": [5 times {"ant", "from", "to", "draw" (null going home),
//                                             "rule": "trail" | "faults" | "home"}],
//                          "pheromone": 5 rows of 5 floats, after the pass's local update}],
//      "tours": [5 tours of 6 tests], "scores": [5 floats], "kept": 1..5,
//      "pheromone": 5 rows of 5 floats, after the global update}, ...]}

// Runs the whole search, as the program does, and writes its trace to `out`.
void writeTrace(std::FILE* out);
