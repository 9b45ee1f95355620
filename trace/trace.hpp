#pragma once

#include <cstdint>
#include <cstdio>

#include "colony/colony_state.hpp"
#include "colony/transition.hpp"

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

// The search's observer that writes the trace to `out`. It counts what it has written of the
// lists it is in, to put a comma before every item but the first.
struct TraceWriter {
    std::FILE* out;
    std::int32_t startDraws;
    std::int32_t passes;
    std::int32_t moves;
};

void onSearchStart(TraceWriter& writer, const ColonyState& colony);
void onIterationStart(TraceWriter& writer, std::int32_t iteration);
void onStartDraw(TraceWriter& writer, std::int32_t draw);
void onStartsAssigned(TraceWriter& writer, const ColonyState& colony);
void onMove(TraceWriter& writer, std::int32_t ant, std::int32_t from, const Move& move);
void onPassEnd(TraceWriter& writer, const ColonyState& colony);
void onIterationEnd(TraceWriter& writer, std::int32_t iteration, const ColonyState& colony);
void onGlobalUpdate(TraceWriter& writer, const ColonyState& colony);

// Closes the document once the search is over.
void endTrace(TraceWriter& writer);
